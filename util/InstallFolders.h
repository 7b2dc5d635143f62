// Where an installation keeps its data.  A build's dist folder (or a copy of
// it) holds everything beside the executables; installed under a prefix the
// executables are in PREFIX/bin and the data in PREFIX/share/qxvantor.
#pragma once

#include <string>

namespace qx {

// Relative to the executables' folder.
inline constexpr const char* kSharedDataFolder = "../share/qxvantor/";

// `exeFolder` (with its trailing "/") when it holds `probe` (a relative
// path), else its share folder when that does; empty when neither does.
std::string InstalledDataFolder(const std::string& exeFolder, const std::string& probe);

// Whether this process may create files in `fsFolder` (false when it does
// not exist).
bool CanWriteFolder(const std::string& fsFolder);

}  // namespace qx
