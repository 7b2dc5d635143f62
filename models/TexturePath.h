// Texture names in model files were written on a system that ignores letter
// case; this file system does not.
#pragma once

#include <string>

namespace qx {

// designPath itself when that file exists; otherwise the same path with its
// file name replaced by the name of the one file of that folder that differs
// from it only in letter case (ASCII and code page 1251 Cyrillic), the first
// in byte order when several do; designPath when none does.
std::string FindFileIgnoringCase(const std::string& designPath);

}  // namespace qx
