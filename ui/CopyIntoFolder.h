// Copying a file the user chose into one of the project's folders (the
// texture library, models/): never over a different file of the same name
// without asking, and never leaving a half-written file behind.
#pragma once

#include <functional>
#include <string>

namespace qx {

enum class CopyResult { Copied, AlreadyThere, Declined };

// Copies `source` to `target` (file-system paths) through a temporary beside
// the target and a rename.  The target itself (the same file) or a file of
// the same bytes is AlreadyThere; a different file of that name is replaced
// only when `replace` agrees.  Throws qx::InOutError when reading or writing
// fails; the target is then as it was.
CopyResult CopyKeepingOthers(const std::string& source, const std::string& target,
                             const std::function<bool()>& replace);

}  // namespace qx
