// Everything the generator lays out in the installation folder, as
// (relative path, bytes) pairs, and the write that leaves unchanged files
// alone.  Sys/Config.ini is not among them: the editor writes it.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace qx::data {

struct InstallationFile {
    std::string path;  // relative, with slashes
    std::string bytes;
};

std::vector<InstallationFile> InstallationFiles();

// Writes the file under root unless it already holds exactly these bytes,
// creating folders as needed.  Returns whether it wrote.  Throws on failure.
bool WriteIfChanged(const std::filesystem::path& root, const InstallationFile& file);

}  // namespace qx::data
