// QX FPS Vantor: the level editor's entry point.
#include "EditorWindows.h"
#include "MessageBoxSink.h"
#include "NumberText.h"
#include "Vantor.h"
#include "VantorApplication.h"

int main(int argc, char** argv)
{
    VantorApplication app(argc, argv);
    app.setApplicationName("QX FPS Vantor");
    InitDecimalSeparatorFromLocale();
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
