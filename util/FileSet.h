// Writing several files as one step: either every file gets its new bytes
// (and the files the step removes are gone), or every file keeps (or gets
// back) what it held before.  Each file is
// written to a temporary beside it and flushed (its own data only, on a few
// threads) first; only when all are on disk are they renamed into place,
// the previous files kept aside (hard links) until the last rename
// succeeded and put back if one fails.
//
// A journal in the step's folder names the whole set while the renames run,
// so that a step cut short by a crash or a kill can be finished (every new
// file is complete by then) when the folder is next used.
#pragma once

#include <string>
#include <vector>

namespace qx {

struct FileToWrite {
    std::string fsPath;       // where it goes (file-system form)
    std::string displayName;  // how an error names it
    std::string bytes;
};

// A file that takes a new name in the same step (before the writes, so a
// write to `to` replaces the moved file).  Never over an existing file: a
// move whose `to` exists, or whose `from` does not, is left out.
struct FileToMove {
    std::string from;  // file-system forms
    std::string to;
};

// Throws qx::InOutError "NAME: I/O error N (reason)" naming the file that
// failed; the files are then as they were before the call.  A later entry
// for the same path replaces an earlier one.  `removals` (file-system forms)
// go after the moves and the writes, kept aside until the step is whole; one
// that does not exist then, or that the step writes, is left out.  `folder` (file-system form,
// with its trailing separator) holds the journal and every file of the step
// (a file outside it fails with EXDEV before anything is written); it is the
// folder RecoverInterruptedSave is later given.
void WriteFilesTogether(const std::string& folder, const std::vector<FileToWrite>& files,
                        const std::vector<FileToMove>& moves = {},
                        const std::vector<std::string>& removals = {});

enum class InterruptedSave {
    None,       // nothing was left over
    Completed,  // the renames were under way: the new files are in place now
    Undone,     // it stopped before its renames: the old files stay
};

// Finishes (or, when its new files are gone, undoes) a step of `folder` that
// a crash cut short, and removes the temporaries and kept-aside files such a
// step leaves.  Never throws; what cannot be renamed stays as it is.
InterruptedSave RecoverInterruptedSave(const std::string& folder);

// The journal's name inside the folder.
inline constexpr const char* kSaveJournal = "qxsave.journal";

}  // namespace qx
