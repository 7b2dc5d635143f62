#include "FileSet.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <map>
#include <set>
#include <sys/stat.h>
#include <unistd.h>

#include "Errors.h"
#include "Paths.h"

namespace qx {

namespace {

struct Pending {
    const FileToWrite* file = nullptr;
    std::string temp;
    std::string backup;  // empty: there was no previous file
    bool movedAside = false;  // the previous file is only at backup now
    bool placed = false;
};

[[noreturn]] void Fail(const FileToWrite& file, int code)
{
    const char* description = strerrordesc_np(code);
    std::string text = file.displayName + ": I/O error " + std::to_string(code);
    if (description != nullptr)
        text += std::string(" (") + description + ")";
    throw InOutError(text);
}

void RemoveQuietly(const std::string& path)
{
    if (!path.empty())
        ::unlink(path.c_str());
}

// Puts every file back as it was and removes what the step left behind.
void RollBack(std::vector<Pending>& pending)
{
    for (auto it = pending.rbegin(); it != pending.rend(); ++it) {
        if (it->placed || it->movedAside) {
            if (it->backup.empty())
                ::unlink(it->file->fsPath.c_str());
            else if (std::rename(it->backup.c_str(), it->file->fsPath.c_str()) == 0)
                it->backup.clear();
        }
        RemoveQuietly(it->temp);
        RemoveQuietly(it->backup);
    }
}

}  // namespace

void WriteFilesTogether(const std::vector<FileToWrite>& files)
{
    // The last entry for a path wins, as writing them in turn would give.
    std::map<std::string, const FileToWrite*> last;
    for (const FileToWrite& f : files)
        last[f.fsPath] = &f;
    std::vector<Pending> pending;
    for (const FileToWrite& f : files)
        if (last[f.fsPath] == &f)
            pending.push_back(Pending{&f, {}, {}, false, false});

    for (Pending& p : pending) {
        try {
            p.temp = WriteTemporaryBeside(p.file->fsPath, p.file->bytes, false);
        } catch (const InOutError&) {
            const int code = errno;
            RollBack(pending);
            Fail(*p.file, code);
        }
    }
    // One flush of the file systems holding the temporaries instead of one
    // per file: every new file is on disk before any old one is replaced.
    std::set<dev_t> flushed;
    for (Pending& p : pending) {
        struct stat info {};
        if (::stat(p.temp.c_str(), &info) != 0 || !flushed.insert(info.st_dev).second)
            continue;
        const int fd = ::open(p.temp.c_str(), O_RDONLY | O_CLOEXEC);
        const int code = fd < 0 || ::syncfs(fd) != 0 ? errno : 0;
        if (fd >= 0)
            ::close(fd);
        if (code != 0) {
            RollBack(pending);
            Fail(*p.file, code);
        }
    }
    unsigned counter = 0;
    for (Pending& p : pending) {
        const std::string& target = p.file->fsPath;
        struct stat info {};
        int code = 0;
        if (::lstat(target.c_str(), &info) == 0) {
            if (S_ISDIR(info.st_mode)) {
                code = EISDIR;
            } else {
                const std::string backup =
                    target + ".~old" + std::to_string(::getpid()) + "-" + std::to_string(counter++);
                // A hard link keeps the old file in place until the rename;
                // where the file system has none, the old file moves aside.
                if (::link(target.c_str(), backup.c_str()) == 0) {
                    p.backup = backup;
                } else if (errno == EPERM || errno == EOPNOTSUPP || errno == ENOSYS || errno == EMLINK) {
                    if (std::rename(target.c_str(), backup.c_str()) == 0) {
                        p.backup = backup;
                        p.movedAside = true;
                    } else {
                        code = errno;
                    }
                } else {
                    code = errno;
                }
            }
        } else if (errno != ENOENT) {
            code = errno;
        }
        if (code == 0 && std::rename(p.temp.c_str(), target.c_str()) != 0)
            code = errno;
        if (code != 0) {
            RollBack(pending);
            Fail(*p.file, code);
        }
        p.temp.clear();
        p.placed = true;
    }
    for (Pending& p : pending)
        RemoveQuietly(p.backup);
}

}  // namespace qx
