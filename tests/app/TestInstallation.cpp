#include "TestInstallation.h"

#include "Installation.h"

namespace apptest {

void WriteStartupFiles(const std::filesystem::path& root)
{
    for (const auto& file : qx::data::InstallationFiles())
        qx::data::WriteIfChanged(root, file);
}

}  // namespace apptest
