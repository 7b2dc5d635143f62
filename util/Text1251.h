// Code page 1251 <-> UTF-8.  The model keeps 1251 bytes; widgets and source
// literals are UTF-8, so conversion happens at that boundary only.
#pragma once

#include <string>
#include <string_view>

// Every byte maps to one character (0x98, unassigned, maps to U+FFFD).
std::string Cp1251ToUtf8(std::string_view bytes);
// Characters without a 1251 byte become '?'.  Malformed UTF-8 bytes also.
std::string Utf8ToCp1251(std::string_view utf8);

// Shorthand for literals: Cp("_Игрок") is the 1251 spelling of a UTF-8 literal.
inline std::string Cp(std::string_view utf8) { return Utf8ToCp1251(utf8); }
