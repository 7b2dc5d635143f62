#include "CopyIntoFolder.h"

#include <sys/stat.h>

#include "Paths.h"

namespace qx {

CopyResult CopyKeepingOthers(const std::string& source, const std::string& target,
                             const std::function<bool()>& replace)
{
    struct stat from {}, existing {};
    const bool exists = ::stat(target.c_str(), &existing) == 0;
    if (exists && ::stat(source.c_str(), &from) == 0 && from.st_dev == existing.st_dev &&
        from.st_ino == existing.st_ino)
        return CopyResult::AlreadyThere;
    const std::string bytes = ReadWholeFile(source);
    if (exists) {
        if (S_ISREG(existing.st_mode) && ReadWholeFile(target) == bytes)
            return CopyResult::AlreadyThere;
        if (!replace || !replace())
            return CopyResult::Declined;
    }
    WriteWholeFile(target, bytes);
    return CopyResult::Copied;
}

}  // namespace qx
