// QX FPS Vantor: the level editor's entry point.  `qxvantor [FOLDER]`: the
// project folder to open (one holding the project's files or Sys/Saves).
#include "EditorWindows.h"
#include "MessageBoxSink.h"
#include "NumberText.h"
#include "ProjectCommands.h"
#include "Vantor.h"
#include "VantorApplication.h"

int main(int argc, char** argv)
{
    VantorApplication app(argc, argv);
    app.setApplicationName("QX FPS Vantor");
    LoadRussianQtTexts(app);
    InitDecimalSeparatorFromLocale();
    // After Qt has taken its own options out.
    StartupProjectArgument() = app.arguments().value(1).toStdString();
    MessageBoxSink messageBoxes;
    qx::SetMessageSink(&messageBoxes);

    // The tool windows stay open until the end; closing the main window ends
    // the program.
    app.setQuitOnLastWindowClosed(false);
    EditorWindows windows;
    QObject::connect(windows.vantor.get(), &TFVantor::closed, &app, &QCoreApplication::quit);
    windows.vantor->showMaximized();
    int code = app.exec();
    qx::SetMessageSink(nullptr);
    return code;
}
