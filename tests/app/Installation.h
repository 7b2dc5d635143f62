// A test installation folder: the start-up files the editor reads from its
// current folder.
#pragma once

#include <filesystem>

namespace apptest {

// Writes Sys/Api (trees and icon files) under root.
void WriteStartupFiles(const std::filesystem::path& root);

}  // namespace apptest
