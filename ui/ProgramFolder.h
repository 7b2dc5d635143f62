// The executable's folder (the design's D), in the file system's encoding
// with a trailing "/": where the project and the game runtime are.  Tests
// name another folder before the windows are made.
#pragma once

#include <string>

namespace qx {

std::string ExecutableFolder();
// Non-empty: used instead of the executable's folder.
std::string& ExecutableFolderOverride();

}  // namespace qx
