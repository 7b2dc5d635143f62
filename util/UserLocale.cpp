#include "UserLocale.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <langinfo.h>
#include <string>

namespace qx {

namespace {

struct UserLocaleState {
    locale_t locale = nullptr;  // LC_NUMERIC of the user; null = not yet made
    char overridePoint = 0;
};

UserLocaleState& State()
{
    static UserLocaleState state;
    return state;
}

locale_t MakeNumericLocale(const char* name)
{
    return newlocale(LC_NUMERIC_MASK, name, static_cast<locale_t>(nullptr));
}

locale_t UserLocale()
{
    UserLocaleState& state = State();
    if (!state.locale) {
        // A LANG naming a locale that is not generated must not leave the
        // parser without a locale: "C" reads the same numbers as "en_US".
        state.locale = MakeNumericLocale("");
        if (!state.locale)
            state.locale = MakeNumericLocale("C");
    }
    return state.locale;
}

char LocaleRadix(locale_t locale)
{
    const char* radix = nl_langinfo_l(RADIXCHAR, locale);
    // Multi-byte points (some Arabic locales) cannot occur in 1251 text.
    if (radix && radix[0] != '\0' && radix[1] == '\0')
        return radix[0];
    return '.';
}

bool IsNumberByte(char c, char point)
{
    return (c >= '0' && c <= '9') || c == '+' || c == '-' || c == 'e' || c == 'E' || c == point
        || IsBlank(c);
}

}  // namespace

locale_t CLocale()
{
    static locale_t c = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
    return c;
}

char UserLocaleDecimalPoint()
{
    if (State().overridePoint != 0)
        return State().overridePoint;
    return LocaleRadix(UserLocale());
}

bool SetUserLocale(const char* name)
{
    locale_t fresh = MakeNumericLocale(name);
    if (!fresh)
        return false;
    UserLocaleState& state = State();
    if (state.locale)
        freelocale(state.locale);
    state.locale = fresh;
    return true;
}

void SetUserLocaleDecimalPointOverride(char point) { State().overridePoint = point; }

LocaleParse ParseUserLocaleNumber(std::string_view text, double& value)
{
    const char point = UserLocaleDecimalPoint();
    std::string buffer(text);
    for (char& c : buffer) {
        if (!IsNumberByte(c, point))
            return LocaleParse::NotANumber;
        // A simulated locale is read as "C" with its point swapped in; a point
        // of "C" in the text is then foreign, as it would be to the real one.
        if (State().overridePoint != 0 && point != '.') {
            if (c == '.')
                return LocaleParse::NotANumber;
            if (c == point)
                c = '.';
        }
    }
    locale_t locale = State().overridePoint != 0 ? CLocale() : UserLocale();

    const char* begin = buffer.c_str();
    char* end = nullptr;
    errno = 0;
    const double parsed = strtod_l(begin, &end, locale);
    if (end == begin)
        return LocaleParse::NotANumber;
    while (IsBlank(*end))
        ++end;
    if (*end != '\0')
        return LocaleParse::NotANumber;
    if (errno == ERANGE && std::isinf(parsed))
        return LocaleParse::OutOfRange;
    value = parsed;
    return LocaleParse::Number;
}

}  // namespace qx
