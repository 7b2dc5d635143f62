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

// The editor's executable as installed.
constexpr const char* kEditorProgram = "qxvantor";

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

// The name a process runs under: its executable's file name, or, where the
// executable cannot be read (another user's process), its command name.
// Empty when /proc tells neither.
std::string ProgramName(const std::string& procFolder)
{
    char target[4096];
    const ssize_t length = ::readlink((procFolder + "/exe").c_str(), target, sizeof target - 1);
    if (length > 0) {
        std::string path(target, static_cast<size_t>(length));
        // A program rebuilt or updated while it runs still is that program.
        if (const std::string gone = " (deleted)"; path.ends_with(gone))
            path.resize(path.size() - gone.size());
        return path.substr(path.rfind('/') + 1);
    }
    try {
        const std::string command = ReadWholeFile(procFolder + "/comm");
        return command.substr(0, command.find('\n'));
    } catch (const Error&) {
        return std::string();
    }
}

// Whether the process is an editor: the program this one is (the tests'
// editors run in the test program), or the editor of another installation.
// A process id the system gave to another program since the lock was
// written is none.  Where /proc does not tell (not mounted, or hiding other
// users' processes) the lock is believed.
bool RunsAnEditor(int pid)
{
    const std::string own = ProgramName("/proc/self");
    const std::string other = ProgramName("/proc/" + std::to_string(pid));
    if (own.empty() || other.empty())
        return true;
    // The command name is the executable's, cut to 15 bytes.
    const auto same = [&other](const std::string& name) { return other == name || other == name.substr(0, 15); };
    return same(own) || same(kEditorProgram);
}

}  // namespace

int LockOwner(const std::string& fsFolder)
{
    const int pid = LockPid(fsFolder);
    if (pid == 0 || pid == ::getpid() || !Running(pid) || !RunsAnEditor(pid))
        return 0;
    return pid;
}

bool TakeProjectLock(const std::string& fsFolder)
{
    if (LockOwner(fsFolder) != 0)
        return false;
    try {
        WriteWholeFile(fsFolder + kProjectLockFile, IntToEditText(::getpid()) + "\n");
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
