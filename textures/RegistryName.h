// The name an entry is registered under: the file-name part of its path.
#pragma once

#include <string>
#include <string_view>

namespace qx {

// The characters after the last "\", "/" or ":" (a drive letter counts as a
// folder, as in "C:wall.bmp").
std::string RegistryFileName(std::string_view path);

}  // namespace qx
