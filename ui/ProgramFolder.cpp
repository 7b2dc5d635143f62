#include "ProgramFolder.h"

#include <QCoreApplication>

namespace qx {

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

}  // namespace qx
