#include "NumberText.h"

#include "Errors.h"
#include "UserLocale.h"

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
    std::string digits;
    int exponent10 = 0;
};

Digits RoundTo15Digits(double magnitude)
{
    // 120 fraction digits hold the exact decimal expansion of every single-
    // precision value (the smallest subnormal needs 105), so the rounding
    // below works on exact digits and never rounds twice.
    char buffer[160];
    std::snprintf(buffer, sizeof buffer, "%.120e", magnitude);
    // Fixed buffers: the edit fields are refreshed every frame, and this
    // must not touch the heap (the 15 kept digits fit the string's own buffer).
    char all[160];
    size_t count = 0;
    const char* p = buffer;
    for (; *p != 'e'; ++p)
        if (IsDigit(*p))
            all[count++] = *p;
    const int sciExponent = std::atoi(p + 1);

    Digits result;
    result.exponent10 = sciExponent + 1;
    char kept[15];
    size_t keptCount = count < 15 ? count : 15;
    std::memcpy(kept, all, keptCount);
    if (count > 15 && all[15] >= '5') {
        int i = static_cast<int>(keptCount) - 1;
        while (i >= 0 && kept[i] == '9') {
            kept[i] = '0';
            --i;
        }
        if (i >= 0) {
            ++kept[i];
        } else {
            // 999...9 rounds up to 1000...0 with one more in the exponent.
            kept[0] = '1';
            ++result.exponent10;
        }
    }
    while (keptCount > 0 && kept[keptCount - 1] == '0')
        --keptCount;
    result.digits.assign(kept, keptCount);
    return result;
}

std::string FixedText(const Digits& d)
{
    const int n = static_cast<int>(d.digits.size());
    const int e = d.exponent10;
    std::string text;
    if (e <= 0) {
        text = "0";
        text += g_decimalSeparator;
        text.append(static_cast<size_t>(-e), '0');
        text += d.digits;
        return text;
    }
    if (n <= e) {
        text = d.digits;
        text.append(static_cast<size_t>(e - n), '0');
        return text;
    }
    text = d.digits.substr(0, static_cast<size_t>(e));
    text += g_decimalSeparator;
    text += d.digits.substr(static_cast<size_t>(e));
    return text;
}

std::string ScientificText(const Digits& d)
{
    std::string text(1, d.digits[0]);
    if (d.digits.size() > 1) {
        text += g_decimalSeparator;
        text += d.digits.substr(1);
    }
    text += 'E';
    text += std::to_string(d.exponent10 - 1);
    return text;
}

// Blanks, sign, digits with the process separator, optional exponent,
// blanks; nothing else.
enum class PlainParse { Number, NotANumber, OutOfRange };

PlainParse ParsePlainDecimal(std::string_view text, double& value)
{
    size_t i = 0;
    const size_t n = text.size();
    while (i < n && IsBlank(text[i]))
        ++i;
    std::string normal;
    if (i < n && (text[i] == '+' || text[i] == '-'))
        normal += text[i++];
    int mantissaDigits = 0;
    while (i < n && IsDigit(text[i])) {
        normal += text[i++];
        ++mantissaDigits;
    }
    if (i < n && text[i] == g_decimalSeparator) {
        normal += '.';
        ++i;
        while (i < n && IsDigit(text[i])) {
            normal += text[i++];
            ++mantissaDigits;
        }
    }
    if (mantissaDigits == 0)
        return PlainParse::NotANumber;
    if (i < n && (text[i] == 'e' || text[i] == 'E')) {
        normal += 'e';
        ++i;
        if (i < n && (text[i] == '+' || text[i] == '-'))
            normal += text[i++];
        int exponentDigits = 0;
        while (i < n && IsDigit(text[i])) {
            normal += text[i++];
            ++exponentDigits;
        }
        if (exponentDigits == 0)
            return PlainParse::NotANumber;
    }
    while (i < n && IsBlank(text[i]))
        ++i;
    if (i != n)
        return PlainParse::NotANumber;

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

std::string FloatToEditText(float value)
{
    const double exact = value;
    if (std::isnan(exact))
        return "NAN";
    if (std::isinf(exact))
        return exact < 0 ? "-INF" : "INF";
    if (exact == 0.0)
        return "0";
    const Digits d = RoundTo15Digits(std::fabs(exact));
    std::string text = exact < 0 ? "-" : "";
    if (d.exponent10 >= -3 && d.exponent10 <= 15)
        text += FixedText(d);
    else
        text += ScientificText(d);
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
        throw ConvertError("'" + std::string(text) + "' is not a valid integer value");
    return *value;
}

}  // namespace qx

std::string IntToEditText(int32_t value) { return std::to_string(value); }

bool IntToBool(int32_t value) { return value != 0; }
