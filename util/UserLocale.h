// The number syntax of the user's locale, read from the environment into a
// locale object of its own.  The process's LC_NUMERIC is pinned to "C" by the
// application object, so printf and strtod never use the user's separator;
// only the edit fields (through NumberText.h) do.
#pragma once

#include <clocale>
#include <locale.h>
#include <string_view>

namespace qx {

// The blanks number texts may carry before and after the number.
inline bool IsBlank(char c) { return c == ' ' || c == '\t'; }

enum class LocaleParse { Number, NotANumber, OutOfRange };

// Decimal numbers only: blanks, sign, digits, the locale's decimal point and
// an exponent.  "inf", "nan" and hexadecimal floats are not edit-field
// numbers.  Trailing blanks are allowed, anything else after the number is
// not.  OutOfRange when the magnitude overflows a double.
LocaleParse ParseUserLocaleNumber(std::string_view text, double& value);

// The "C" locale, for locale-independent strtod_l.
locale_t CLocale();

// The user's locale as the number parser sees it: named by LC_ALL,
// LC_NUMERIC or LANG at first use, or by SetUserLocale.
char UserLocaleDecimalPoint();
// Replaces the user's locale by a named one ("" = the environment's again).
// False, and the previous locale kept, when the system does not know the name.
bool SetUserLocale(const char* name);
// Makes the user's locale behave as one whose decimal point is `point`
// without needing it installed (0 = no override).  Tests use it to run under
// a comma locale on machines that only have "C".
void SetUserLocaleDecimalPointOverride(char point);

}  // namespace qx
