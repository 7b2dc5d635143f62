#include "OpenedProject.h"

#include <filesystem>

#include "ConfigIni.h"
#include "LevelFiles.h"
#include "Messages.h"
#include "Paths.h"
#include "ProgramFolder.h"
#include "ProjectLock.h"
#include "Settings.h"
#include "Text1251.h"

namespace fs = std::filesystem;

std::string WithSlash(std::string folder)
{
    if (!folder.empty() && folder.back() != '/')
        folder += '/';
    return folder;
}

std::string WithoutSlash(std::string folder)
{
    while (folder.size() > 1 && folder.back() == '/')
        folder.pop_back();
    return folder;
}

std::string ShownFolder(const std::string& fsFolder) { return Utf8ToCp1251(WithoutSlash(fsFolder)); }

bool OpenedProject::AcceptLock(const std::string& folder, bool ask)
{
    const int owner = qx::LockOwner(folder);
    if (owner == 0)
        return true;
    const std::string caption = Cp("QX FPS Vantor");
    const std::string text = Cp("Проект ") + ShownFolder(folder) + Cp(" уже открыт в другом редакторе (процесс ") +
                             std::to_string(owner) + Cp("): сохранения одного затрут изменения другого.");
    if (!ask) {
        std::error_code ec;
        if (!fs::equivalent(folder, lockAnswered_, ec))
            qx::Messages().ShowMessage(caption, text);
        return true;
    }
    lockAnswered_ = folder;
    return qx::Messages().AskYesNo(caption, text + Cp(" Открыть его и здесь?"));
}

void OpenedProject::MoveTo(const std::string& folder, const std::string& current, bool quiet)
{
    if (!locked_.empty())
        qx::ReleaseProjectLock(locked_);
    locked_ = qx::TakeProjectLock(folder) ? folder : std::string();
    // The default beside the program stays unnamed, so that it follows the
    // program folder (tests move it).
    const bool besideProgram = chosen_.empty() && folder == current;
    const std::string left = current;
    chosen_ = besideProgram ? std::string() : folder;
    TellFolder();
    if (quiet)
        return;
    // The project left stays within reach, the new one first.
    std::vector<std::string> recent = Recent();
    std::error_code ec;
    if (left != folder && fs::is_directory(left, ec))
        PutFirst(recent, WithoutSlash(left));
    PutFirst(recent, WithoutSlash(folder));
    WriteRecent(recent);
}

void OpenedProject::Close()
{
    if (!locked_.empty())
        qx::ReleaseProjectLock(locked_);
    locked_.clear();
    chosen_.clear();
    TellFolder();
}

std::string OpenedProject::Folder() const
{
    if (!chosen_.empty())
        return chosen_;
    return ToFsPath(qx::ProjectFolder(ProgramFolder()));
}

std::string OpenedProject::ProgramFolder() const { return program_.empty() ? qx::ExecutableFolder() : program_; }

void OpenedProject::SetProgramFolder(std::string folder)
{
    program_ = std::move(folder);
    TellFolder();
}

void OpenedProject::TellFolder() const
{
    if (FolderChanged)
        FolderChanged();
}

std::vector<std::string> OpenedProject::Recent() const { return IniReadRecentProjects(ReadSettings()); }

void OpenedProject::Forget(const std::string& folder)
{
    std::vector<std::string> recent = Recent();
    std::erase(recent, WithoutSlash(folder));
    WriteRecent(recent);
}

void OpenedProject::WriteRecent(const std::vector<std::string>& folders)
{
    ChangeSettings([&](std::string_view content) { return IniWriteRecentProjects(content, folders); });
    if (RecentChanged)
        RecentChanged();
}
