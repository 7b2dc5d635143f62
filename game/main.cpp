// GAME_EXE [FOLDER] [--start X Y Z YAW PITCH]: plays a project in first
// person: the one in FOLDER (a folder holding the project's files, or one
// holding Sys/Saves), else the one saved beside the program
// ("Sys/Saves/"), from the map's player start or from the view --start
// gives (GameStart.h).  The editor's start button names its open project;
// "Играть отсюда" adds its camera.  --help prints the usage; bad arguments
// print it and exit with status 2.
//
// For tests and scripts, QX_GAME_FRAMES=N draws N frames and quits, and
// QX_GAME_SCREENSHOT=FILE saves the last of them (see GameWindow).
#include <QGuiApplication>

#include <cstdio>
#include <cstdlib>

#include "GameStart.h"
#include "GameWindow.h"
#include "InstallFolders.h"
#include "LevelFiles.h"

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    std::vector<std::string> words;
    for (const QString& a : app.arguments().mid(1))
        words.push_back(a.toStdString());
    qx::GameArguments arguments;
    if (!qx::ParseGameArguments(words, arguments)) {
        std::fputs(qx::GameUsage().c_str(), stderr);
        return 2;
    }
    if (arguments.help) {
        std::fputs(qx::GameUsage().c_str(), stdout);
        return 0;
    }
    qx::GameWindow::RunOptions options;
    options.hasStart = arguments.hasStart;
    options.start = arguments.start;
    if (const char* frames = std::getenv("QX_GAME_FRAMES"))
        options.frames = std::max(0, std::atoi(frames));
    if (const char* shot = std::getenv("QX_GAME_SCREENSHOT"))
        options.screenshot = shot;
    const std::string programFolder = QCoreApplication::applicationDirPath().toStdString() + "/";
    options.projectFolder = programFolder + "Sys/Saves/";
    if (!arguments.folder.empty()) {
        std::string chosen = arguments.folder;
        if (chosen.back() != '/')
            chosen += '/';
        // A folder without a project is played as it is: its error screen
        // names the file that is missing.
        const std::string project = qx::FindProject(chosen);
        options.projectFolder = project.empty() ? chosen : project;
    }
    // The installation's pictures: beside the program, or in its share folder.
    const std::string data = qx::InstalledDataFolder(programFolder, "textures/Setka.bmp");
    qx::GameWindow window(data.empty() ? programFolder : data, options);
    window.resize(1024, 768);
    window.show();
    const int status = app.exec();
    // The level, its GL objects and the thread that follows the saves go
    // with the process: freeing them piece by piece only delayed the quit
    // (and waited for a save being read to the end).  Only the channel's
    // name and what stdio still holds outlive it.
    window.CloseChannel();
    std::fflush(nullptr);
    std::_Exit(status);
}
