// The all-or-nothing save step under a crash: a child process that saves is
// killed before each of the step's disk operations in turn, and the
// recovery must leave the old set or the new one, nothing else.  The disk
// operations are interposed in this program (they reach libc afterwards),
// which also shows what the step flushes.
#include "FileSet.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <dlfcn.h>
#include <fcntl.h>
#include <signal.h>
#include <stdio.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <filesystem>
#include <map>
#include <mutex>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

std::atomic<int> g_killAt{-1};  // the disk operation before which the process dies
std::atomic<int> g_operations{0};
std::atomic<int> g_wholeDiskFlushes{0};
std::mutex g_eventsMutex;
std::vector<std::string> g_events;  // "sync NAME", "rename NAME" (file names only)

void Operation()
{
    if (g_killAt >= 0 && g_operations++ == g_killAt)
        ::kill(::getpid(), SIGKILL);
}

void Record(const std::string& what, const std::string& path)
{
    std::lock_guard lock(g_eventsMutex);
    g_events.push_back(what + " " + fs::path(path).filename().string());
}

template <typename F>
F Real(const char* name)
{
    return reinterpret_cast<F>(::dlsym(RTLD_NEXT, name));
}

}  // namespace

extern "C" {

int rename(const char* from, const char* to)
{
    Operation();
    Record("rename", from);
    static const auto real = Real<int (*)(const char*, const char*)>("rename");
    return real(from, to);
}

int renameat2(int fromDir, const char* from, int toDir, const char* to, unsigned flags)
{
    Operation();
    Record("rename", from);
    static const auto real = Real<int (*)(int, const char*, int, const char*, unsigned)>("renameat2");
    return real(fromDir, from, toDir, to, flags);
}

int link(const char* from, const char* to)
{
    Operation();
    static const auto real = Real<int (*)(const char*, const char*)>("link");
    return real(from, to);
}

int unlink(const char* path)
{
    Operation();
    static const auto real = Real<int (*)(const char*)>("unlink");
    return real(path);
}

int fdatasync(int fd)
{
    Operation();
    char path[4096];
    const ssize_t n = ::readlink(("/proc/self/fd/" + std::to_string(fd)).c_str(), path, sizeof path - 1);
    Record("sync", std::string(path, n > 0 ? static_cast<size_t>(n) : 0));
    static const auto real = Real<int (*)(int)>("fdatasync");
    return real(fd);
}

int fsync(int fd)
{
    Operation();
    static const auto real = Real<int (*)(int)>("fsync");
    return real(fd);
}

int syncfs(int fd)
{
    ++g_wholeDiskFlushes;
    static const auto real = Real<int (*)(int)>("syncfs");
    return real(fd);
}

}  // extern "C"

namespace {

using Files = std::map<std::string, std::string>;

Files Snapshot(const fs::path& folder)
{
    Files files;
    for (const auto& entry : fs::directory_iterator(folder))
        files[entry.path().filename().string()] = qxtest::ReadFileBytes(entry.path());
    return files;
}

void Lay(const fs::path& folder, const Files& files)
{
    fs::remove_all(folder);
    fs::create_directory(folder);
    for (const auto& [name, bytes] : files)
        qxtest::WriteFileBytes(folder / name, bytes);
}

// Two files replaced, one new, a file named in 1251 bytes moved to its UTF-8
// name and rewritten there, and one removed (a renamed object's old file).
const Files kOld = {{"a.qxobj", "old a"}, {"b.qxmap", "old b"}, {"\xC4.qxobj", "old d"}, {"gone.qxobj", "old g"}};
const Files kNew = {{"a.qxobj", "new a"}, {"b.qxmap", "new b"}, {"c.qxobj", "new c"}, {"Д.qxobj", "new d"}};

void SaveNew(const std::string& folder)
{
    std::vector<qx::FileToWrite> files;
    for (const auto& [name, bytes] : kNew)
        files.push_back({folder + name, name, bytes});
    // A removal of a file the step writes, or of none, is no removal.
    qx::WriteFilesTogether(folder, files, {{folder + "\xC4.qxobj", folder + "Д.qxobj"}},
                           {folder + "gone.qxobj", folder + "a.qxobj", folder + "never.qxobj"});
}

TEST(FileSet, FlushesOnlyItsOwnFilesEachBeforeItsRename)
{
    qxtest::TempDir dir;
    const fs::path folder = dir / "Saves";
    Lay(folder, kOld);
    g_events.clear();
    g_wholeDiskFlushes = 0;
    SaveNew(folder.string() + "/");
    EXPECT_EQ(Snapshot(folder), kNew);
    EXPECT_EQ(g_wholeDiskFlushes, 0);
    for (const auto& [name, bytes] : kNew) {
        SCOPED_TRACE(name);
        size_t synced = g_events.size(), renamed = g_events.size();
        for (size_t i = 0; i < g_events.size(); ++i) {
            if (g_events[i].rfind("sync " + name + ".~", 0) == 0)
                synced = std::min(synced, i);
            if (g_events[i].rfind("rename " + name + ".~", 0) == 0 && g_events[i].find(".~old") == std::string::npos)
                renamed = std::min(renamed, i);
        }
        EXPECT_LT(synced, renamed);
        EXPECT_LT(renamed, g_events.size());
    }
}

TEST(FileSet, KilledAtAnyPointRecoversTheOldSetOrTheNewOne)
{
    qxtest::TempDir dir;
    const fs::path folder = dir / "Saves";
    const std::string fsFolder = folder.string() + "/";
    int completed = 0, undone = 0;
    for (int point = 0;; ++point) {
        SCOPED_TRACE("killed before disk operation " + std::to_string(point));
        Lay(folder, kOld);
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            g_operations = 0;
            g_killAt = point;
            try {
                SaveNew(fsFolder);
            } catch (...) {
                ::_exit(2);
            }
            ::_exit(0);
        }
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        if (WIFEXITED(status)) {
            ASSERT_EQ(WEXITSTATUS(status), 0);
            EXPECT_EQ(qx::RecoverInterruptedSave(fsFolder), qx::InterruptedSave::None);
            EXPECT_EQ(Snapshot(folder), kNew);
            break;  // the save ran through: every point has been tried
        }
        ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL);
        const qx::InterruptedSave result = qx::RecoverInterruptedSave(fsFolder);
        const Files after = Snapshot(folder);
        if (result == qx::InterruptedSave::Completed) {
            EXPECT_EQ(after, kNew);
            ++completed;
        } else {
            EXPECT_EQ(result, qx::InterruptedSave::Undone);
            EXPECT_EQ(after, kOld);
            ++undone;
        }
        // Recovered once is recovered: a second start finds nothing.
        EXPECT_EQ(qx::RecoverInterruptedSave(fsFolder), qx::InterruptedSave::None);
    }
    EXPECT_GE(completed, 8);
    EXPECT_GE(undone, 4);
}

}  // namespace
