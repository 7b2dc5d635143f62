// A lock file in the open project's folder, so that a second editor opening
// the same project is warned before two of them save over each other.  It
// holds the owner's process id on its first line; a lock whose process is
// gone (a crash), or is now another program's, is ignored and taken over.
#pragma once

#include <string>

namespace qx {

inline constexpr const char* kProjectLockFile = "qxvantor.lock";

// The id of another running editor holding the lock of `fsFolder`; 0 when
// there is none (no lock, a stale one, or this process's own).
int LockOwner(const std::string& fsFolder);
// Writes this process's lock unless another running editor holds one.
// False when it could not (held, or the folder cannot be written).
bool TakeProjectLock(const std::string& fsFolder);
// Removes the lock when it is this process's.
void ReleaseProjectLock(const std::string& fsFolder);

}  // namespace qx
