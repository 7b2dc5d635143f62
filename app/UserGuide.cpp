#include "UserGuide.h"

#include <QPointer>
#include <QTextBrowser>

#include <filesystem>

#include "Messages.h"
#include "Paths.h"
#include "QtText.h"
#include "Text1251.h"

namespace fs = std::filesystem;

std::string UserGuideFile(const std::string& programFolder)
{
    for (const char* place : {"../share/doc/qxvantor/README.md", "README.md"}) {
        std::error_code ec;
        const fs::path file = fs::path(programFolder) / place;
        if (fs::is_regular_file(file, ec))
            return fs::weakly_canonical(file, ec).string();
    }
    return std::string();
}

QWidget* ShowUserGuide(const std::string& programFolder, QPointer<QTextBrowser>& window)
{
    const std::string file = UserGuideFile(programFolder);
    if (file.empty()) {
        qx::Messages().ShowMessage(Cp("Руководство пользователя"),
                                   Cp("Руководство не найдено: нет файла README.md ни в ") +
                                       Utf8ToCp1251(programFolder) + Cp("../share/doc/qxvantor, ни рядом с программой."));
        return nullptr;
    }
    if (!window) {
        window = new QTextBrowser;
        window->setAttribute(Qt::WA_DeleteOnClose);
        window->setObjectName("UserGuide");
        window->setWindowTitle(Ui("Руководство пользователя"));
        window->setReadOnly(true);
        // Links to the web stay text: the guide works without a network.
        window->setOpenLinks(false);
        window->resize(760, 640);
    }
    window->setMarkdown(QString::fromStdString(ReadWholeFile(file)));
    window->show();
    window->raise();
    return window;
}
