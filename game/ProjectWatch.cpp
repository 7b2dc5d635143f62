#include "ProjectWatch.h"

#include <filesystem>
#include <sys/stat.h>

#include "FileSet.h"
#include "Project.h"
#include "ProjectLock.h"

namespace qx {

FileStamp StampOf(const std::string& fsPath)
{
    struct stat info {};
    if (::stat(fsPath.c_str(), &info) != 0)
        return FileStamp();
    FileStamp s;
    s.inode = info.st_ino;
    s.size = static_cast<uint64_t>(info.st_size);
    s.modified = int64_t{info.st_mtim.tv_sec} * 1000000000 + info.st_mtim.tv_nsec;
    s.changed = int64_t{info.st_ctim.tv_sec} * 1000000000 + info.st_ctim.tv_nsec;
    return s;
}

ProjectStamps StampProject(const std::string& fsFolder)
{
    namespace fs = std::filesystem;
    ProjectStamps stamps;
    std::error_code ec;
    for (auto it = fs::recursive_directory_iterator(fsFolder, ec); !ec && it != fs::recursive_directory_iterator();
         it.increment(ec)) {
        const std::string name = it->path().filename().string();
        if (it->is_directory(ec)) {
            // Only the pictures and models lie deeper than the folder's own files.
            if (it.depth() == 0 && name + "/" != "textures/" && name + "/" != kModelFolder)
                it.disable_recursion_pending();
            continue;
        }
        if (name == kSaveJournal || name == kProjectLockFile || name.find(".~") != std::string::npos)
            continue;
        const std::string path = it->path().string();
        stamps.emplace(path, StampOf(path));
    }
    return stamps;
}

bool SaveUnderWay(const std::string& fsFolder) { return StampOf(fsFolder + kSaveJournal) != FileStamp(); }

}  // namespace qx
