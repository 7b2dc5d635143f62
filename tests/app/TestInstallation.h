// A test installation folder: the start-up data the editor reads from its
// current folder, made by the same generator as the real installation.
#pragma once

#include <filesystem>

namespace apptest {

void WriteStartupFiles(const std::filesystem::path& root);

}  // namespace apptest
