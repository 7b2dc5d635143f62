#include "InstallFolders.h"

#include <filesystem>
#include <unistd.h>

namespace qx {

std::string InstalledDataFolder(const std::string& exeFolder, const std::string& probe)
{
    std::error_code ec;
    if (std::filesystem::exists(exeFolder + probe, ec))
        return exeFolder;
    const std::string shared =
        std::filesystem::path(exeFolder + kSharedDataFolder).lexically_normal().string();
    if (std::filesystem::exists(shared + probe, ec))
        return shared.back() == '/' ? shared : shared + "/";
    return std::string();
}

bool CanWriteFolder(const std::string& fsFolder)
{
    return ::access(fsFolder.empty() ? "." : fsFolder.c_str(), W_OK | X_OK) == 0;
}

}  // namespace qx
