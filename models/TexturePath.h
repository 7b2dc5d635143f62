// Texture names in model files were written on a system that ignores letter
// case; this file system does not.
#pragma once

#include <string>

namespace qx {

// designPath (1251 bytes) in the file system's encoding (UTF-8, separators
// kept) when that file exists; otherwise designPath itself when a file is
// named by those bytes (copied from Windows as it was); otherwise the same path with its file name
// replaced by the name of the one file of that folder that differs from it
// only in letter case (ASCII and Cyrillic, in either spelling), the first in byte order when
// several do; the path as it stands when none does.
std::string FindFileIgnoringCase(const std::string& designPath);

}  // namespace qx
