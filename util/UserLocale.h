// The number syntax of the user's locale, kept apart from the C locale the
// rest of the process runs under (LC_NUMERIC of the process is never changed).
#pragma once

#include <clocale>
#include <locale.h>
#include <string_view>

namespace qx {

enum class LocaleParse { Number, NotANumber, OutOfRange };

// Decimal numbers only: blanks, sign, digits, the locale's decimal point and
// an exponent.  "inf", "nan" and hexadecimal floats are not edit-field
// numbers.  Trailing blanks are allowed, anything else after the number is
// not.  OutOfRange when the magnitude overflows a double.
LocaleParse ParseUserLocaleNumber(std::string_view text, double& value);

// The "C" locale, for locale-independent strtod_l.
locale_t CLocale();

}  // namespace qx
