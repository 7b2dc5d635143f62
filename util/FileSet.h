// Writing several files as one step: either every file gets its new bytes,
// or every file keeps (or gets back) what it held before.  Each file is
// written to a temporary beside it first; only when all are written are they
// renamed into place, the previous files kept aside (hard links) until the
// last rename succeeded and put back if one fails.
#pragma once

#include <string>
#include <vector>

namespace qx {

struct FileToWrite {
    std::string fsPath;       // where it goes (file-system form)
    std::string displayName;  // how an error names it
    std::string bytes;
};

// Throws qx::InOutError "NAME: I/O error N (reason)" naming the file that
// failed; the files are then as they were before the call.  A later entry
// for the same path replaces an earlier one.
void WriteFilesTogether(const std::vector<FileToWrite>& files);

}  // namespace qx
