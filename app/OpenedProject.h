// The project the editor has open: its folder, the lock this editor holds
// there, and the list of recently opened projects.  One object, used by the
// project commands and the autosave alike.
#pragma once

#include <functional>
#include <string>
#include <vector>

class OpenedProject {
public:
    // The chosen folder (with a trailing slash); empty while the default
    // beside the program stands, which then follows the program folder.
    const std::string& Chosen() const { return chosen_; }
    // The open project's folder (file-system form, trailing "/"): the
    // chosen one, or until one is chosen "Sys/Saves/" beside the program.
    std::string Folder() const;
    // The program's folder with its trailing separator: the executable's,
    // unless set (tests move the installation).
    std::string ProgramFolder() const;
    void SetProgramFolder(std::string folder);
    // Told after the folder or the program folder changed.
    std::function<void()> FolderChanged;

    // Another editor's lock on `folder`: true when this one may go on.
    // `ask` false only warns (at start-up, where there is nothing else to
    // open), and not of a lock the user has just answered for the folder
    // named on the command line.
    bool AcceptLock(const std::string& folder, bool ask);
    // Forgets which lock question was answered (around the start).
    void ForgetLockAnswer() { lockAnswered_.clear(); }

    // The project is now `folder` (`current`: the folder open until now, as
    // Folder() gave it): this editor's lock moves there, and unless `quiet`
    // the recent list names it first, the folder left right after it.
    void MoveTo(const std::string& folder, const std::string& current, bool quiet);
    // The lock goes and the default stands again (the editor ends).
    void Close();

    // The recent projects, latest first (folders without a trailing slash).
    std::vector<std::string> Recent() const;
    // Takes a folder off the list; its files stay.
    void Forget(const std::string& folder);
    // Told after the list changed.
    std::function<void()> RecentChanged;

private:
    void WriteRecent(const std::vector<std::string>& folders);

    void TellFolder() const;

    std::string chosen_;
    std::string program_;
    std::string locked_;
    std::string lockAnswered_;
};

// A folder with one trailing slash, and without.
std::string WithSlash(std::string folder);
std::string WithoutSlash(std::string folder);
// A folder as the user reads it in a message (1251).
std::string ShownFolder(const std::string& fsFolder);
