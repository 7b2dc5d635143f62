#include "ProgramFolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QStandardPaths>

#include <filesystem>

#include "InstallFolders.h"

namespace qx {

namespace {

// A file every installation's start-up data holds.
constexpr const char* kStartupProbe = "Sys/Api/ObjectList.txt";

std::string UserFolder(QStandardPaths::StandardLocation location)
{
    const QString folder = QStandardPaths::writableLocation(location) + "/qxvantor";
    QDir().mkpath(folder);
    return folder.toStdString() + "/";
}

}  // namespace

std::string& ExecutableFolderOverride()
{
    static std::string folder;
    return folder;
}

std::string ExecutableFolder()
{
    if (!ExecutableFolderOverride().empty())
        return ExecutableFolderOverride();
    return QCoreApplication::applicationDirPath().toStdString() + "/";
}

std::string StartupDataFolder()
{
    std::error_code ec;
    if (std::filesystem::exists(kStartupProbe, ec))
        return std::string();
    return InstalledDataFolder(ExecutableFolder(), kStartupProbe);
}

bool UsesUserFolders()
{
    const std::string data = StartupDataFolder();
    return !CanWriteFolder(ExecutableFolder()) || (!data.empty() && data != ExecutableFolder());
}

std::string SettingsFile()
{
    if (!UsesUserFolders())
        return "Sys/Config.ini";
    return UserFolder(QStandardPaths::GenericConfigLocation) + "Config.ini";
}

std::string UserDataFolder() { return UserFolder(QStandardPaths::GenericDataLocation); }

}  // namespace qx
