#include "ProjectLock.h"

#include <cerrno>
#include <csignal>
#include <filesystem>
#include <unistd.h>

#include "Errors.h"
#include "NumberText.h"
#include "Paths.h"

namespace qx {

namespace {

// The id on the lock's first line, read with the files' integer grammar;
// 0 for no lock or one that holds no id.
int LockPid(const std::string& fsFolder)
{
    std::error_code ec;
    if (!std::filesystem::is_regular_file(fsFolder + kProjectLockFile, ec))
        return 0;
    try {
        const std::string text = ReadWholeFile(fsFolder + kProjectLockFile);
        const int pid = StrictTextToInt(std::string_view(text).substr(0, text.find_first_of("\r\n")));
        return pid > 0 ? pid : 0;
    } catch (const Error&) {
        return 0;
    }
}

bool Running(int pid) { return ::kill(pid, 0) == 0 || errno == EPERM; }

}  // namespace

int LockOwner(const std::string& fsFolder)
{
    const int pid = LockPid(fsFolder);
    if (pid == 0 || pid == ::getpid() || !Running(pid))
        return 0;
    return pid;
}

bool TakeProjectLock(const std::string& fsFolder)
{
    if (LockOwner(fsFolder) != 0)
        return false;
    try {
        WriteWholeFile(fsFolder + kProjectLockFile, std::to_string(::getpid()) + "\n");
    } catch (const Error&) {
        return false;
    }
    return true;
}

void ReleaseProjectLock(const std::string& fsFolder)
{
    if (LockPid(fsFolder) != ::getpid())
        return;
    std::error_code ec;
    std::filesystem::remove(fsFolder + kProjectLockFile, ec);
}

}  // namespace qx
