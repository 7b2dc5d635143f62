// Texture names in model files were written on a system that ignores letter
// case; this file system does not.
#pragma once

#include <string>

namespace qx {

// fsFolder + designPath (1251 bytes) in the file system's encoding (UTF-8,
// separators kept) when that file exists; otherwise fsFolder + designPath
// itself when a file is named by those bytes (copied from Windows as it
// was); otherwise the same path with its file name replaced by the name of
// the one file of that folder that differs from it only in letter case
// (ASCII and Cyrillic, in either spelling), the first in byte order when
// several do; the path as it stands when none does.  fsFolder is a
// file-system path (a command line's, say), empty or ending in a separator.
std::string FindFileIgnoringCase(const std::string& designPath, const std::string& fsFolder = {});

}  // namespace qx
