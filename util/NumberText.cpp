#include "NumberText.h"

#include "Errors.h"
#include "UserLocale.h"

#include <charconv>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <cstdlib>
#include <limits>
#include <optional>

namespace {

using qx::IsBlank;

char g_decimalSeparator = '.';

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// The significant digits of a finite non-zero value, rounded half away from
// zero to at most 15 digits, trailing zeros removed; exponent10 is E of
// 0.d1d2... x 10^E.
struct Digits {
    char digits[16];
    int count = 0;
    int exponent10 = 0;
};

// to_chars rounds the exact binary value correctly but sends a tie to the
// even digit; the editor's text sends it away from zero.  A tie needs the
// exact expansion to end at the 16th digit, which for a single m * 2^-k
// (m odd) means m * 5^k has exactly 16 digits; that case is redone here.
bool TieDigits(float value, Digits& d)
{
    int exponent2 = 0;
    const double fraction = std::frexp(static_cast<double>(std::fabs(value)), &exponent2);
    uint64_t m = static_cast<uint64_t>(std::ldexp(fraction, 24));
    int k = 24 - exponent2;  // value = m * 2^-k
    while (m != 0 && (m & 1) == 0 && k > 0) {
        m >>= 1;
        --k;
    }
    if (k <= 0 || k > 27)
        return false;  // integers never tie; beyond 5^27 m * 5^k exceeds 16 digits
    unsigned __int128 n = m;
    for (int i = 0; i < k; ++i)
        n *= 5;
    const unsigned __int128 low = 1000000000000000ull;  // 10^15
    if (n < low || n >= low * 10)
        return false;
    uint64_t rounded = static_cast<uint64_t>((n + 5) / 10);
    d.exponent10 = 16 - k;
    if (rounded == 1000000000000000ull) {
        rounded /= 10;
        ++d.exponent10;
    }
    char buffer[24];
    const auto end = std::to_chars(buffer, buffer + sizeof buffer, rounded).ptr;
    d.count = static_cast<int>(end - buffer);
    std::memcpy(d.digits, buffer, static_cast<size_t>(d.count));
    return true;
}

Digits RoundTo15Digits(float value)
{
    Digits d;
    if (!TieDigits(value, d)) {
        char buffer[40];
        const auto end = std::to_chars(buffer, buffer + sizeof buffer, std::fabs(static_cast<double>(value)),
                                       std::chars_format::scientific, 14)
                             .ptr;
        // "d.dddddddddddddde[+-]XX"
        d.digits[0] = buffer[0];
        std::memcpy(d.digits + 1, buffer + 2, 14);
        d.count = 15;
        const char* e = static_cast<const char*>(std::memchr(buffer, 'e', static_cast<size_t>(end - buffer)));
        int exponent = 0;
        std::from_chars(e + (e[1] == '+' ? 2 : 1), end, exponent);
        d.exponent10 = exponent + 1;
    }
    while (d.count > 1 && d.digits[d.count - 1] == '0')
        --d.count;
    return d;
}

void AppendFixed(std::string& text, const Digits& d)
{
    const int n = d.count;
    const int e = d.exponent10;
    if (e <= 0) {
        text += '0';
        text += g_decimalSeparator;
        text.append(static_cast<size_t>(-e), '0');
        text.append(d.digits, static_cast<size_t>(n));
        return;
    }
    if (n <= e) {
        text.append(d.digits, static_cast<size_t>(n));
        text.append(static_cast<size_t>(e - n), '0');
        return;
    }
    text.append(d.digits, static_cast<size_t>(e));
    text += g_decimalSeparator;
    text.append(d.digits + e, static_cast<size_t>(n - e));
}

void AppendScientific(std::string& text, const Digits& d)
{
    text += d.digits[0];
    if (d.count > 1) {
        text += g_decimalSeparator;
        text.append(d.digits + 1, static_cast<size_t>(d.count - 1));
    }
    text += 'E';
    char buffer[8];
    const auto end = std::to_chars(buffer, buffer + sizeof buffer, d.exponent10 - 1).ptr;
    text.append(buffer, end);
}

// Blanks, sign, digits with the process separator, optional exponent,
// blanks; nothing else.
enum class PlainParse { Number, NotANumber, OutOfRange };

PlainParse ParsePlainDecimal(std::string_view text, double& value)
{
    while (!text.empty() && IsBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back()))
        text.remove_suffix(1);
    std::string normal(text.size() + 1, '\0');
    const size_t length = qx::NormalizeDecimal(text, std::string_view(&g_decimalSeparator, 1), normal.data(), normal.size());
    if (length == 0)
        return PlainParse::NotANumber;
    normal.resize(length);

    errno = 0;
    const double parsed = strtod_l(normal.c_str(), nullptr, qx::CLocale());
    if (errno == ERANGE && std::isinf(parsed))
        return PlainParse::OutOfRange;
    value = parsed;
    return PlainParse::Number;
}

[[noreturn]] void ThrowNotADouble()
{
    throw qx::ConvertError("Could not convert variant of type (String) into type (Double)");
}

}  // namespace

char DecimalSeparator() { return g_decimalSeparator; }

void SetDecimalSeparator(char separator) { g_decimalSeparator = separator; }

void InitDecimalSeparatorFromLocale() { g_decimalSeparator = qx::UserLocaleDecimalPoint(); }

void AppendFloatToEditText(std::string& text, float value)
{
    if (std::isnan(value)) {
        text += "NAN";
        return;
    }
    if (std::isinf(value)) {
        text += value < 0 ? "-INF" : "INF";
        return;
    }
    if (value == 0) {
        text += '0';
        return;
    }
    const Digits d = RoundTo15Digits(value);
    if (value < 0)
        text += '-';
    if (d.exponent10 >= -3 && d.exponent10 <= 15)
        AppendFixed(text, d);
    else
        AppendScientific(text, d);
}

std::string FloatToEditText(float value)
{
    std::string text;
    AppendFloatToEditText(text, value);
    return text;
}

float EditTextToFloat(std::string_view text)
{
    double value = 0.0;
    switch (qx::ParseUserLocaleNumber(text, value)) {
    case qx::LocaleParse::Number:
        break;
    case qx::LocaleParse::OutOfRange:
        ThrowNotADouble();
    case qx::LocaleParse::NotANumber:
        if (ParsePlainDecimal(text, value) != PlainParse::Number)
            ThrowNotADouble();
        break;
    }
    // A double beyond the single range would become an infinity in the model
    // (a box of infinite size); it is as much out of range as 1E400.
    const float result = static_cast<float>(value);
    if (std::isinf(result))
        ThrowNotADouble();
    return result;
}

namespace {

// The integer grammar of the edit fields and the files: blanks, a sign, an
// optional "$", "x" or "0x" prefix for hexadecimal, digits; nothing else.
std::optional<int32_t> ParseEditInt(std::string_view text)
{
    size_t i = 0;
    const size_t n = text.size();
    while (i < n && text[i] == ' ')
        ++i;
    bool negative = false;
    if (i < n && (text[i] == '-' || text[i] == '+'))
        negative = text[i++] == '-';

    int base = 10;
    if (i < n && (text[i] == '$' || text[i] == 'x' || text[i] == 'X')) {
        base = 16;
        ++i;
    } else if (i + 1 < n && text[i] == '0' && (text[i + 1] == 'x' || text[i + 1] == 'X')) {
        base = 16;
        i += 2;
    }
    if (i == n)
        return std::nullopt;

    // The limit is 2^31 so that exactly -2147483648 fits.
    const int64_t limit = static_cast<int64_t>(std::numeric_limits<int32_t>::max()) + 1;
    int64_t magnitude = 0;
    for (; i < n; ++i) {
        const char c = text[i];
        int digit;
        if (IsDigit(c))
            digit = c - '0';
        else if (base == 16 && c >= 'a' && c <= 'f')
            digit = c - 'a' + 10;
        else if (base == 16 && c >= 'A' && c <= 'F')
            digit = c - 'A' + 10;
        else
            return std::nullopt;
        magnitude = magnitude * base + digit;
        if (magnitude > limit)
            return std::nullopt;
    }
    if (negative)
        return static_cast<int32_t>(-magnitude);
    if (magnitude == limit)
        return std::nullopt;
    return static_cast<int32_t>(magnitude);
}

}  // namespace

int32_t EditTextToInt(std::string_view text) { return ParseEditInt(text).value_or(0); }

namespace qx {

int32_t StrictTextToInt(std::string_view text)
{
    const std::optional<int32_t> value = ParseEditInt(text);
    if (!value)
        throw ConvertError::NotValid(text, "integer");
    return *value;
}

}  // namespace qx

std::string IntToEditText(int32_t value) { return std::to_string(value); }

FieldText ClassifyFieldText(std::string_view text, bool (*parses)(std::string_view))
{
    if (parses(text))
        return FieldText::Number;
    // Short texts only: a field holds a number, not a document.
    if (text.size() > 64)
        return FieldText::NotANumber;
    std::string completed(text);
    for (const char digit : {'0', '1'}) {
        completed.resize(text.size());
        completed += digit;
        if (parses(completed))
            return FieldText::Beginning;
    }
    return FieldText::NotANumber;
}

FieldText ClassifyRealText(std::string_view text)
{
    return ClassifyFieldText(text, [](std::string_view t) {
        try {
            EditTextToFloat(t);
            return true;
        } catch (const qx::ConvertError&) {
            return false;
        }
    });
}

FieldText ClassifyIntText(std::string_view text)
{
    return ClassifyFieldText(text, [](std::string_view t) { return ParseEditInt(t).has_value(); });
}

bool IntToBool(int32_t value) { return value != 0; }

namespace qx {

size_t NormalizeDecimal(std::string_view text, std::string_view points, char* out, size_t outSize)
{
    size_t i = 0, n = 0;
    const auto put = [&](char c) {
        if (n < outSize)
            out[n] = c;
        ++n;
    };
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        if (text[i] == '-')
            put('-');
        ++i;
    }
    int mantissaDigits = 0;
    while (i < text.size() && IsDigit(text[i])) {
        put(text[i++]);
        ++mantissaDigits;
    }
    if (i < text.size() && points.find(text[i]) != std::string_view::npos) {
        put('.');
        ++i;
        while (i < text.size() && IsDigit(text[i])) {
            put(text[i++]);
            ++mantissaDigits;
        }
    }
    if (mantissaDigits == 0)
        return 0;
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        put('e');
        ++i;
        if (i < text.size() && (text[i] == '-' || text[i] == '+'))
            put(text[i++]);
        int exponentDigits = 0;
        while (i < text.size() && IsDigit(text[i])) {
            put(text[i++]);
            ++exponentDigits;
        }
        if (exponentDigits == 0)
            return 0;
    }
    return i == text.size() && n <= outSize ? n : 0;
}

bool EqualsNoCase(std::string_view text, std::string_view upper)
{
    if (text.size() != upper.size())
        return false;
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i] >= 'a' && text[i] <= 'z' ? static_cast<char>(text[i] - 'a' + 'A') : text[i];
        if (c != upper[i])
            return false;
    }
    return true;
}

namespace {

template <typename Real>
bool ParseFileRealAs(std::string_view token, Real& value)
{
    constexpr Real kInfinity = std::numeric_limits<Real>::infinity();
    if (EqualsNoCase(token, "NAN")) {
        value = std::numeric_limits<Real>::quiet_NaN();
        return true;
    }
    const bool negative = !token.empty() && token[0] == '-';
    std::string_view body = token;
    if (!body.empty() && (body[0] == '-' || body[0] == '+'))
        body.remove_prefix(1);
    if (EqualsNoCase(body, "INF")) {
        value = negative ? -kInfinity : kInfinity;
        return true;
    }
    // The files' reals are short: a stack buffer keeps the load free of
    // allocations.
    char buffer[64];
    const size_t n = NormalizeDecimal(token, ",.", buffer, sizeof buffer);
    if (n == 0)
        return false;
    const auto result = std::from_chars(buffer, buffer + n, value);
    if (result.ec == std::errc::result_out_of_range) {
        // Beyond the range even after rounding: an infinity or zero, as the
        // masked floating-point exceptions of the original gave.
        const bool tiny = std::string_view(buffer, n).find("e-") != std::string_view::npos;
        value = tiny ? (negative ? -Real(0) : Real(0)) : (negative ? -kInfinity : kInfinity);
        return true;
    }
    return result.ec == std::errc() && result.ptr == buffer + n;
}

}  // namespace

bool ParseFileReal(std::string_view token, float& value) { return ParseFileRealAs(token, value); }
bool ParseFileReal(std::string_view token, double& value) { return ParseFileRealAs(token, value); }

bool TokenToBool(std::string_view token)
{
    if (EqualsNoCase(token, "TRUE"))
        return true;
    if (EqualsNoCase(token, "FALSE"))
        return false;
    double value = 0;
    if (!ParseFileReal(token, value))
        throw ConvertError::NotValid(token, "boolean");
    return value != 0;
}

}  // namespace qx
