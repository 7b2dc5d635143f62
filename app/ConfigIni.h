// Sys/Config.ini: section [Startup], Boolean key "onestart", written as the
// INI convention of the original editor does (1 / 0).  Other sections and
// keys of the file are kept as they are.
#pragma once

#include <string>
#include <string_view>

// Reads a Boolean: a missing file, section or key gives the default; an
// integer value is true when non-zero; "true"/"false" are also understood.
bool IniReadBool(std::string_view content, std::string_view section, std::string_view key, bool def);
// Returns the content with key set in section (added when missing).
std::string IniWriteBool(std::string_view content, std::string_view section, std::string_view key,
                         bool value);

// The start-up step: reads onestart (default true) and, when true, stores
// false.  The file is created when missing; a file with onestart already
// false is left untouched.  File errors throw qx::InOutError.
void MarkFirstStartDone(const std::string& fsPath);
