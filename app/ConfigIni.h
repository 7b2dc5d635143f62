// The editor's settings file Config.ini: section [Startup], Boolean key
// "onestart", written as the INI convention of the original editor does
// (1 / 0), and section [Projects], keys Recent1 .. Recent8: the recently
// opened project folders, latest first (UTF-8 file-system paths).  Other
// sections and keys of the file are kept as they are.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

inline constexpr size_t kRecentProjects = 8;

// Reads a Boolean: a missing file, section or key gives the default; an
// integer value is true when non-zero; "true"/"false" are also understood.
bool IniReadBool(std::string_view content, std::string_view section, std::string_view key, bool def);
std::optional<std::string> IniReadString(std::string_view content, std::string_view section, std::string_view key);
// Return the content with key set in section (added when missing).
std::string IniWriteString(std::string_view content, std::string_view section, std::string_view key,
                           std::string_view value);
std::string IniWriteBool(std::string_view content, std::string_view section, std::string_view key,
                         bool value);

std::vector<std::string> IniReadRecentProjects(std::string_view content);
std::string IniWriteRecentProjects(std::string_view content, const std::vector<std::string>& folders);
// Moves (or adds) `folder` to the front, keeping at most kRecentProjects.
void PutFirst(std::vector<std::string>& folders, const std::string& folder);

// The start-up step: reads onestart (default true) and, when true, stores
// false.  The file is created when missing; a file with onestart already
// false is left untouched.  File errors throw qx::InOutError.
void MarkFirstStartDone(const std::string& fsPath);
