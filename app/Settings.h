// The user's settings file (Config.ini beside the program, or the user's own
// when the installation cannot be written).  Settings are a convenience:
// a file that cannot be read or written is a line on standard error, never
// a reason to refuse what the user does.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

// The file's content; empty when it is missing or unreadable.
std::string ReadSettings();
// Writes `change` of the content back (a temporary file, then a rename).
void ChangeSettings(const std::function<std::string(std::string_view content)>& change);

// A window's top-left corner on the screen as the user last left it,
// section [Windows], key `name`: "X Y" in integers.
std::optional<std::pair<int, int>> SavedWindowPlace(std::string_view name);
void SaveWindowPlace(std::string_view name, int x, int y);
