// GAME_EXE: plays the project saved beside the program ("Sys/Saves/") in
// first person.  The editor's start button starts it with no arguments.
//
// For tests and scripts, QX_GAME_FRAMES=N draws N frames and quits, and
// QX_GAME_SCREENSHOT=FILE saves the last of them (see GameWindow).
#include <QGuiApplication>

#include <cstdlib>

#include "GameWindow.h"

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    qx::GameWindow::RunOptions options;
    if (const char* frames = std::getenv("QX_GAME_FRAMES"))
        options.frames = std::max(0, std::atoi(frames));
    if (const char* shot = std::getenv("QX_GAME_SCREENSHOT"))
        options.screenshot = shot;
    qx::GameWindow window(QCoreApplication::applicationDirPath().toStdString() + "/", options);
    window.resize(1024, 768);
    window.show();
    return app.exec();
}
