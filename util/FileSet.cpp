#include "FileSet.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <map>
#include <set>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

#include "Errors.h"
#include "Paths.h"
#include "Threads.h"

namespace qx {

namespace {

struct Pending {
    const FileToWrite* file = nullptr;
    std::string temp;
    std::string backup;       // the name the previous file is kept under
    bool kept = false;        // the previous file is at backup
    bool movedAside = false;  // ... and only there
    bool placed = false;
};

struct Move {
    std::string from, to;
    bool done = false;
};

struct Removal {
    std::string path;
    std::string backup;  // where the file waits until the step is whole
    bool aside = false;
};

[[noreturn]] void Fail(const std::string& displayName, int code)
{
    const char* description = strerrordesc_np(code);
    std::string text = displayName + ": I/O error " + std::to_string(code);
    if (description != nullptr)
        text += std::string(" (") + description + ")";
    throw InOutError(text);
}

void RemoveQuietly(const std::string& path)
{
    if (!path.empty())
        ::unlink(path.c_str());
}

bool Exists(const std::string& path)
{
    struct stat info {};
    return ::lstat(path.c_str(), &info) == 0;
}

std::string FolderOf(const std::string& path)
{
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string(".") : path.substr(0, slash + 1);
}

// The renames of a folder last only once the folder itself is flushed.
int SyncFolder(const std::string& folder)
{
    const int fd = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return errno;
    const int code = ::fsync(fd) == 0 ? 0 : errno;
    ::close(fd);
    return code;
}

// Never over an existing file, even one that appeared after the check.
int RenameNoReplace(const std::string& from, const std::string& to)
{
    if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0)
        return 0;
    if (errno != EINVAL && errno != ENOSYS)
        return errno;
    if (Exists(to))
        return EEXIST;
    return std::rename(from.c_str(), to.c_str()) == 0 ? 0 : errno;
}

// Puts every file back as it was and removes what the step left behind.
void RollBack(std::vector<Pending>& pending, std::vector<Move>& moves, std::vector<Removal>& removals)
{
    for (auto it = removals.rbegin(); it != removals.rend(); ++it)
        if (it->aside && std::rename(it->backup.c_str(), it->path.c_str()) == 0)
            it->aside = false;
    for (auto it = pending.rbegin(); it != pending.rend(); ++it) {
        if (it->placed || it->movedAside) {
            if (!it->kept)
                ::unlink(it->file->fsPath.c_str());
            else if (std::rename(it->backup.c_str(), it->file->fsPath.c_str()) == 0)
                it->kept = false;
        }
        RemoveQuietly(it->temp);
        if (it->kept)
            RemoveQuietly(it->backup);
    }
    for (auto it = moves.rbegin(); it != moves.rend(); ++it)
        if (it->done)
            std::rename(it->to.c_str(), it->from.c_str());
}

// ---- the journal ----
//
// NUL-separated fields: "QXSAVE1", then "M" FROM TO per move, "W" TARGET
// TEMP BACKUP per file and "D" TARGET BACKUP per removal, then "END".  Paths are relative to the folder, so a
// folder moved after a crash still recovers, and a journal (outside data
// like any file in the folder) can name nothing outside it.

std::string JournalPath(const std::string& folder) { return folder + kSaveJournal; }

void AddField(std::string& out, const std::string& field)
{
    out += field;
    out += '\0';
}

bool Inside(const std::string& folder, const std::string& path)
{
    return path.size() > folder.size() && path.compare(0, folder.size(), folder) == 0 &&
           ("/" + path.substr(folder.size()) + "/").find("/../") == std::string::npos;
}

void AddPath(std::string& out, const std::string& folder, const std::string& path)
{
    AddField(out, path.substr(folder.size()));
}

std::string FormatJournal(const std::string& folder, const std::vector<Pending>& pending,
                          const std::vector<Move>& moves, const std::vector<Removal>& removals)
{
    std::string out;
    AddField(out, "QXSAVE1");
    for (const Move& m : moves) {
        AddField(out, "M");
        AddPath(out, folder, m.from);
        AddPath(out, folder, m.to);
    }
    for (const Pending& p : pending) {
        AddField(out, "W");
        AddPath(out, folder, p.file->fsPath);
        AddPath(out, folder, p.temp);
        AddPath(out, folder, p.backup);
    }
    for (const Removal& r : removals) {
        AddField(out, "D");
        AddPath(out, folder, r.path);
        AddPath(out, folder, r.backup);
    }
    AddField(out, "END");
    return out;
}

struct JournalEntry {
    char kind = 'W';
    std::string a, b, c;  // move: from, to; write: target, temp, backup; removal: target, backup
};

// False for a journal that is not whole.
bool ParseJournal(const std::string& folder, const std::string& bytes, std::vector<JournalEntry>& entries)
{
    std::vector<std::string> fields;
    size_t start = 0;
    for (size_t end; (end = bytes.find('\0', start)) != std::string::npos; start = end + 1)
        fields.push_back(bytes.substr(start, end - start));
    if (start != bytes.size() || fields.size() < 2 || fields.front() != "QXSAVE1" || fields.back() != "END")
        return false;
    const auto path = [&](const std::string& field, std::string& out) {
        out = folder + field;
        return Inside(folder, out);
    };
    for (size_t i = 1; i + 1 < fields.size();) {
        JournalEntry e;
        if (fields[i] != "M" && fields[i] != "W" && fields[i] != "D")
            return false;
        e.kind = fields[i][0];
        const size_t count = e.kind == 'W' ? 3 : 2;
        if (i + count >= fields.size())
            return false;
        if (!path(fields[i + 1], e.a) || !path(fields[i + 2], e.b) || (count == 3 && !path(fields[i + 3], e.c)))
            return false;
        entries.push_back(std::move(e));
        i += 1 + count;
    }
    return true;
}

// "NAME.~PID-N" (a temporary) or "NAME.~oldPID-N" (a kept-aside file).
bool IsLeftover(const char* name)
{
    const char* mark = std::strstr(name, ".~");
    if (mark == nullptr)
        return false;
    while (const char* later = std::strstr(mark + 2, ".~"))
        mark = later;
    const char* p = mark + 2;
    if (std::strncmp(p, "old", 3) == 0)
        p += 3;
    const auto digits = [&p] {
        const char* begin = p;
        while (*p >= '0' && *p <= '9')
            ++p;
        return p != begin;
    };
    return digits() && *p++ == '-' && digits() && *p == '\0';
}

}  // namespace

void WriteFilesTogether(const std::string& folder, const std::vector<FileToWrite>& files,
                        const std::vector<FileToMove>& moveList, const std::vector<std::string>& removalList)
{
    // The last entry for a path wins, as writing them in turn would give.
    std::map<std::string, const FileToWrite*> last;
    for (const FileToWrite& f : files)
        last[f.fsPath] = &f;
    std::vector<Pending> pending;
    for (const FileToWrite& f : files)
        if (last[f.fsPath] == &f)
            pending.push_back(Pending{&f, {}, {}, false, false, false});
    std::vector<Move> moves;
    for (const FileToMove& m : moveList)
        if (Exists(m.from) && !Exists(m.to))
            moves.push_back(Move{m.from, m.to, false});
    for (const Pending& p : pending)
        if (!Inside(folder, p.file->fsPath))
            Fail(p.file->displayName, EXDEV);
    for (const Move& m : moves)
        if (!Inside(folder, m.from) || !Inside(folder, m.to))
            Fail(m.from, EXDEV);
    // Whether a removal's file exists is only known after the moves.
    std::vector<Removal> removals;
    for (const std::string& path : removalList)
        if (last.count(path) == 0 && std::none_of(removals.begin(), removals.end(),
                                                  [&](const Removal& r) { return r.path == path; }))
            removals.push_back(Removal{path, {}, false});
    for (const Removal& r : removals)
        if (!Inside(folder, r.path))
            Fail(r.path, EXDEV);

    // Each new file flushes only its own data, a few at a time: waiting for
    // the whole file system would make the save wait for every other
    // program's unwritten bytes.
    {
        std::atomic<size_t> next{0};
        std::atomic<bool> failed{false};
        std::vector<int> codes(pending.size(), 0);
        const auto work = [&] {
            for (size_t i; !failed && (i = next++) < pending.size();) {
                try {
                    pending[i].temp = WriteTemporaryBeside(pending[i].file->fsPath, pending[i].file->bytes, true);
                } catch (const InOutError&) {
                    codes[i] = errno;
                    failed = true;
                }
            }
        };
        RunOnThreads(std::min<size_t>(4, pending.size()), work);
        for (size_t i = 0; i < pending.size(); ++i)
            if (codes[i] != 0) {
                RollBack(pending, moves, removals);
                Fail(pending[i].file->displayName, codes[i]);
            }
    }

    unsigned counter = 0;
    for (Pending& p : pending)
        p.backup = p.file->fsPath + ".~old" + std::to_string(::getpid()) + "-" + std::to_string(counter++);
    for (Removal& r : removals)
        r.backup = r.path + ".~old" + std::to_string(::getpid()) + "-" + std::to_string(counter++);
    const std::string journal = JournalPath(folder);
    try {
        WriteWholeFile(journal, FormatJournal(folder, pending, moves, removals));
    } catch (const InOutError&) {
        const int code = errno;
        RollBack(pending, moves, removals);
        Fail(kSaveJournal, code);
    }
    std::set<std::string> folders{folder};
    const auto failStep = [&](const std::string& displayName, int code) {
        RollBack(pending, moves, removals);
        ::unlink(journal.c_str());
        Fail(displayName, code);
    };
    if (const int code = SyncFolder(folder); code != 0)
        failStep(kSaveJournal, code);

    for (Move& m : moves) {
        const int code = RenameNoReplace(m.from, m.to);
        if (code == EEXIST || code == ENOENT)
            continue;  // appeared or went meanwhile: left as it is
        if (code != 0)
            failStep(m.from, code);
        m.done = true;
        folders.insert(FolderOf(m.from));
        folders.insert(FolderOf(m.to));
    }
    for (Pending& p : pending) {
        const std::string& target = p.file->fsPath;
        struct stat info {};
        int code = 0;
        if (::lstat(target.c_str(), &info) == 0) {
            if (S_ISDIR(info.st_mode)) {
                code = EISDIR;
            } else if (::link(target.c_str(), p.backup.c_str()) == 0) {
                // A hard link keeps the old file in place until the rename;
                // where the file system has none, the old file moves aside.
                p.kept = true;
            } else if (errno == EPERM || errno == EOPNOTSUPP || errno == ENOSYS || errno == EMLINK) {
                if (std::rename(target.c_str(), p.backup.c_str()) == 0)
                    p.kept = p.movedAside = true;
                else
                    code = errno;
            } else {
                code = errno;
            }
        } else if (errno != ENOENT) {
            code = errno;
        }
        if (code == 0 && std::rename(p.temp.c_str(), target.c_str()) != 0)
            code = errno;
        if (code != 0)
            failStep(p.file->displayName, code);
        p.temp.clear();
        p.placed = true;
        folders.insert(FolderOf(target));
    }
    for (Removal& r : removals) {
        if (std::rename(r.path.c_str(), r.backup.c_str()) != 0) {
            if (errno == ENOENT)
                continue;
            failStep(r.path, errno);
        }
        r.aside = true;
        folders.insert(FolderOf(r.path));
    }
    // The renames are on disk before the journal goes; a failure here is
    // too late to undo anything, and the next recovery finds the step done.
    // The kept files go first: one without a journal would tell of a step
    // that never began its renames.
    for (const std::string& f : folders)
        SyncFolder(f);
    for (Pending& p : pending)
        if (p.kept)
            RemoveQuietly(p.backup);
    for (Removal& r : removals)
        if (r.aside)
            RemoveQuietly(r.backup);
    ::unlink(journal.c_str());
}

InterruptedSave RecoverInterruptedSave(const std::string& folder)
{
    InterruptedSave result = InterruptedSave::None;
    const std::string journal = JournalPath(folder);
    std::string bytes;
    bool haveJournal = false;
    try {
        bytes = ReadWholeFile(journal);
        haveJournal = true;
    } catch (const Error&) {
    }
    std::vector<JournalEntry> entries;
    if (haveJournal && ParseJournal(folder, bytes, entries)) {
        // Forward whenever every new file is still there, in its temporary
        // or already in place; only a set that lost one goes back.
        // A removal has nothing new to lose.
        bool forward = true;
        for (const JournalEntry& e : entries)
            if (e.kind != 'D' && !Exists(e.a) && !Exists(e.b))
                forward = false;
        if (forward) {
            for (const JournalEntry& e : entries) {
                if (e.kind == 'M' && Exists(e.a))
                    RenameNoReplace(e.a, e.b);
                else if (e.kind == 'W' && Exists(e.b))
                    std::rename(e.b.c_str(), e.a.c_str());
                if (e.kind == 'W')
                    RemoveQuietly(e.c);
                if (e.kind == 'D') {
                    RemoveQuietly(e.a);  // not yet aside when the step stopped
                    RemoveQuietly(e.b);
                }
            }
            result = InterruptedSave::Completed;
        } else {
            for (auto it = entries.rbegin(); it != entries.rend(); ++it) {
                const JournalEntry& e = *it;
                if (e.kind != 'W') {
                    // A move goes back, a removed file comes back.
                    if (!Exists(e.a) && Exists(e.b))
                        std::rename(e.b.c_str(), e.a.c_str());
                } else if (!Exists(e.b)) {
                    // Placed: the old file comes back, or the new one goes.
                    if (Exists(e.c))
                        std::rename(e.c.c_str(), e.a.c_str());
                    else
                        ::unlink(e.a.c_str());
                } else if (!Exists(e.a) && Exists(e.c)) {
                    std::rename(e.c.c_str(), e.a.c_str());  // moved aside, not yet replaced
                }
                if (e.kind == 'W') {
                    RemoveQuietly(e.b);
                    RemoveQuietly(e.c);
                }
            }
            result = InterruptedSave::Undone;
        }
        std::set<std::string> folders{folder};
        for (const JournalEntry& e : entries) {
            folders.insert(FolderOf(e.a));
            folders.insert(FolderOf(e.b));
        }
        for (const std::string& f : folders)
            SyncFolder(f);
    }
    if (haveJournal)
        ::unlink(journal.c_str());

    // What is left is no one's any more: temporaries of a step that never
    // reached its renames (the old files stand) and kept-aside copies.
    bool leftovers = false;
    if (DIR* dir = ::opendir(folder.empty() ? "." : folder.c_str())) {
        while (const dirent* entry = ::readdir(dir))
            if (IsLeftover(entry->d_name) && ::unlink((folder + entry->d_name).c_str()) == 0)
                leftovers = true;
        ::closedir(dir);
    }
    if (result == InterruptedSave::None && leftovers)
        result = InterruptedSave::Undone;
    return result;
}

}  // namespace qx
