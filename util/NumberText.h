// Number and word helpers shared by every edit field, the texture list, the
// tree files and the Blender-export reader.  Texts are 8-bit bytes.
//
// The process decimal separator starts as the user's locale's (taken once by
// InitDecimalSeparatorFromLocale) and may be changed at any time.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "UserLocale.h"

char DecimalSeparator();
void SetDecimalSeparator(char separator);
// Reads the user's LC_NUMERIC decimal point (default "." when unknown).
void InitDecimalSeparatorFromLocale();


// 15 significant digits of the exact value (a tie rounds away from zero),
// fixed for exponents -3..15, else scientific; "NAN", "INF", "-INF".
std::string FloatToEditText(float value);
// The same text appended to `text` (no allocation once its buffer is large
// enough): the writers of the project files format millions of reals.
void AppendFloatToEditText(std::string& text, float value);
// Throws qx::ConvertError with "Could not convert variant of type (String)
// into type (Double)" on text that neither the locale nor the process
// separator reads as a number, and on a value beyond the float range.
float EditTextToFloat(std::string_view text);
// 0 on any malformed input; "$", "x", "0x" prefixes read hexadecimal.
int32_t EditTextToInt(std::string_view text);
namespace qx {
// The same grammar for the files' integers: malformed text throws
// qx::ConvertError "'%s' is not a valid integer value".
int32_t StrictTextToInt(std::string_view text);

// The one decimal grammar of the program: a sign, digits with at most one of
// `points` among them, an optional exponent ("e" or "E", a sign, digits);
// the whole text and nothing else.  Writes the number the way from_chars and
// strtod read it (a "-" but no "+", "." as the point) into `out`, at most
// `outSize` characters, and returns its length: 0 for a text outside the
// grammar or too long for the buffer.
size_t NormalizeDecimal(std::string_view text, std::string_view points, char* out, size_t outSize);

// Whether `text` in ASCII upper case is `upper`.
bool EqualsNoCase(std::string_view text, std::string_view upper);

// The project files' reals: that grammar with "," or ".", plus "NAN" and a
// signed "INF" in any letter case.  Each value is the nearest single (through
// a double, a value half-way between two singles after the first rounding
// would round again); beyond the range an infinity, below it a zero.  False
// for anything else.
bool ParseFileReal(std::string_view token, float& value);
bool ParseFileReal(std::string_view token, double& value);
// The files' Booleans: "True"/"False" in any letter case, or a number (0 is
// false); anything else throws qx::ConvertError "'%s' is not a valid
// boolean value".
bool TokenToBool(std::string_view token);
}  // namespace qx
std::string IntToEditText(int32_t value);

// How far a field's text is from a number, so that typing is never
// interrupted: a number, the beginning of one (what a user has typed so far:
// "", "-", "1,", "1e"), or neither.
enum class FieldText { Number, Beginning, NotANumber };
// `parses` says whether a text is a number of the field's grammar; a text
// that some digit completes is its beginning.
FieldText ClassifyFieldText(std::string_view text, bool (*parses)(std::string_view));
FieldText ClassifyRealText(std::string_view text);   // EditTextToFloat's grammar
FieldText ClassifyIntText(std::string_view text);    // StrictTextToInt's grammar
bool IntToBool(int32_t value);

// Both "\" and "/" separate the parts of a path.
std::string PathFolder(std::string_view path);
std::string PathFileName(std::string_view path);

struct WordBounds {
    bool found = false;
    int start = 0;  // 1-based
    int length = 0;
};
WordBounds NthWordBounds(std::string_view text, std::string_view delimiters, uint8_t n);
std::string NthWord(std::string_view text, std::string_view delimiters, uint8_t n);
