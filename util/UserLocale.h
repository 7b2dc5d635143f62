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

}  // namespace qx
