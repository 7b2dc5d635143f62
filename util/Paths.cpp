#include "Paths.h"

#include "Errors.h"
#include "Text1251.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Closes a descriptor on every way out.
class FileDescriptor {
public:
    explicit FileDescriptor(int fd) : fd_(fd) {}
    ~FileDescriptor()
    {
        if (fd_ >= 0)
            ::close(fd_);
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    int get() const { return fd_; }
    // Close reports errors of delayed writes (NFS), so the writer checks it.
    int release()
    {
        const int result = ::close(fd_);
        fd_ = -1;
        return result;
    }

private:
    int fd_;
};

bool WriteAll(int fd, std::string_view bytes)
{
    while (!bytes.empty()) {
        const ssize_t written = ::write(fd, bytes.data(), bytes.size());
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        bytes.remove_prefix(static_cast<size_t>(written));
    }
    return true;
}

// O_EXCL on a name of our own instead of mkstemp: the new file then gets
// the permissions the umask gives ordinary files, not 0600.
int CreateTemporaryBeside(const std::string& target, std::string& tempName)
{
    static std::atomic<unsigned> counter{0};
    for (int attempt = 0; attempt < 100; ++attempt) {
        tempName = target + ".~" + std::to_string(::getpid()) + "-" + std::to_string(counter++);
        const int fd = ::open(tempName.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST)
            return fd;
    }
    return -1;
}

}  // namespace

std::string ToFsPath(std::string_view designPath)
{
    std::string path(designPath);
    for (char& c : path)
        if (c == '\\')
            c = '/';
    return path;
}

std::string FindProjectFile(const std::string& folder, std::string_view name, bool* under1251)
{
    const std::string fsFolder = ToFsPath(folder);
    std::string path = fsFolder + ToFsPath(Cp1251ToUtf8(name));
    bool legacy = false;
    struct stat info {};
    if (::lstat(path.c_str(), &info) != 0) {
        std::string bytes = fsFolder + ToFsPath(name);
        if (bytes != path && ::lstat(bytes.c_str(), &info) == 0) {
            path = std::move(bytes);
            legacy = true;
        }
    }
    if (under1251 != nullptr)
        *under1251 = legacy;
    return path;
}

std::string ReadWholeFile(const std::string& fsPath)
{
    FileDescriptor file(::open(fsPath.c_str(), O_RDONLY | O_CLOEXEC));
    if (file.get() < 0)
        throw qx::InOutError::FromErrno(errno);
    // Read straight into a buffer of the file's size (large models run to
    // megabytes); one spare byte tells that the end was reached.
    struct stat info {};
    const size_t expected = ::fstat(file.get(), &info) == 0 && info.st_size > 0 ? size_t(info.st_size) : 0;
    std::string bytes(std::max<size_t>(expected + 1, 65536), '\0');
    size_t used = 0;
    for (;;) {
        if (used == bytes.size())
            bytes.resize(bytes.size() * 2);
        const ssize_t got = ::read(file.get(), bytes.data() + used, bytes.size() - used);
        if (got < 0) {
            if (errno == EINTR)
                continue;
            throw qx::InOutError::FromErrno(errno);
        }
        if (got == 0)
            break;
        used += static_cast<size_t>(got);
    }
    bytes.resize(used);
    return bytes;
}

std::string WriteTemporaryBeside(const std::string& fsPath, std::string_view bytes, bool sync)
{
    std::string tempName;
    FileDescriptor file(CreateTemporaryBeside(fsPath, tempName));
    if (file.get() < 0)
        throw qx::InOutError::FromErrno(errno);

    int error = 0;
    if (!WriteAll(file.get(), bytes) || (sync && ::fdatasync(file.get()) != 0))
        error = errno;
    if (file.release() != 0 && error == 0)
        error = errno;
    if (error != 0) {
        ::unlink(tempName.c_str());
        errno = error;
        throw qx::InOutError::FromErrno(error);
    }
    return tempName;
}

void WriteWholeFile(const std::string& fsPath, std::string_view bytes)
{
    const std::string tempName = WriteTemporaryBeside(fsPath, bytes);
    if (std::rename(tempName.c_str(), fsPath.c_str()) != 0) {
        const int error = errno;
        ::unlink(tempName.c_str());
        throw qx::InOutError::FromErrno(error);
    }
}
