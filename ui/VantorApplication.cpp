#include "VantorApplication.h"

#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#include <clocale>
#include <cstdio>
#include <exception>
#include <memory>
#include <string>

#include "Errors.h"
#include "Messages.h"
#include "Text1251.h"

void ShowHandlerException()
{
    std::string text;
    try {
        throw;
    } catch (const qx::ReportedError&) {
        return;
    } catch (const std::exception& e) {
        text = e.what();
    } catch (...) {
        text = "Unknown error";
    }
    qx::Messages().ShowMessage(Cp("QX FPS Vantor"), text);
}

VantorApplication::VantorApplication(int& argc, char** argv) : QApplication(argc, argv)
{
    std::setlocale(LC_NUMERIC, "C");
}

bool VantorApplication::notify(QObject* receiver, QEvent* event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (...) {
        ShowHandlerException();
        return false;
    }
}

bool LoadRussianQtTexts(QCoreApplication& app)
{
    // One translator for the process: loading twice changes nothing.
    static QTranslator* russian = nullptr;
    if (russian)
        return true;
    auto translator = std::make_unique<QTranslator>(&app);
    const QString folder = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    if (!translator->load(QLocale(QLocale::Russian, QLocale::Russia), "qtbase", "_", folder)) {
        std::fprintf(stderr, "qxvantor: Qt's Russian texts not found in %s (package qt6-translations-l10n)\n",
                     folder.toLocal8Bit().constData());
        return false;
    }
    app.installTranslator(translator.get());
    russian = translator.release();
    return true;
}
