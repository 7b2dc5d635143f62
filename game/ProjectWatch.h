// What tells a running game that the project it plays was saved again: a
// stamp of every file the project's read may touch (the folder's files, its
// "textures/" and "models/" folders), taken apart from the read itself.
//
// A save renames its new files into place while its journal stands, and
// removes the journal once all are there; so files stamped, read and
// stamped again the same, with no journal before or after the read, are
// one save's files and never a mix of two.  No GL, no Qt.
#pragma once

#include <cstdint>
#include <map>
#include <string>

namespace qx {

// A rename gives the path another inode and a new change time, so a file
// replaced by one of the same size within the same clock tick still differs.
struct FileStamp {
    uint64_t inode = 0;
    uint64_t size = 0;
    int64_t modified = 0;  // nanoseconds
    int64_t changed = 0;
    bool operator==(const FileStamp&) const = default;
};

// Zero for a file that does not exist.
FileStamp StampOf(const std::string& fsPath);

// By file-system path; leaves out the save's journal and leftovers, the
// editor's lock and its autosave folder, which no read of the level uses.
using ProjectStamps = std::map<std::string, FileStamp>;
ProjectStamps StampProject(const std::string& fsFolder);

// A save's renames are under way, or one was cut short and waits for the
// editor to finish it: the folder's files are not one save's now.
bool SaveUnderWay(const std::string& fsFolder);

// Runs `read` unless a save is under way, and says whether what it read was
// one save's files: no journal before or after it, and the folder's stamps
// still `before` (taken before the call) after it.
template <typename Read>
bool ReadOneSave(const std::string& fsFolder, const ProjectStamps& before, Read&& read)
{
    if (SaveUnderWay(fsFolder))
        return false;
    read();
    return !SaveUnderWay(fsFolder) && StampProject(fsFolder) == before;
}

}  // namespace qx
