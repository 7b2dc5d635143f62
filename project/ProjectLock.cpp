#include "ProjectLock.h"

#include <cerrno>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <unistd.h>

#include "Errors.h"
#include "Paths.h"

namespace qx {

namespace {

int LockPid(const std::string& fsFolder)
{
    std::ifstream in(fsFolder + kProjectLockFile);
    int pid = 0;
    if (!(in >> pid) || pid <= 0)
        return 0;
    return pid;
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
