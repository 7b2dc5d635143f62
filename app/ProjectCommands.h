// The main window's project commands: "Сохранить проект" (Save1Click),
// "Загрузить проект" (Load1Click), the start button (BitBtn1Click), and the
// project folders: "Открыть проект…", "Сохранить проект как…", a new project
// and the recent list of the project manager.  The work is in Project.h;
// these gather the editor's pieces, keep the window still while a load runs
// (no frames, no input, a progress dialog once it takes longer than half a
// second) and start the game.
//
// The open project is a folder the user chose; every project command and
// the autosave act on it.  It changes in one place, SwitchProject.
#pragma once

#include <QString>
#include <QStringList>

#include <functional>
#include <string>
#include <vector>

class ProjectWindow;
struct EditorState;

void Save1Click();
// With unsaved changes: "Сохранить изменения в проекте?" Yes saves (and
// a failed save keeps everything as it is), No goes on, Cancel stops.
// True when the caller may go on.
bool ConfirmDiscardOrSave();
void Load1Click(EditorState& doc, ProjectWindow& window);
void BitBtn1Click();
// Its two halves: the texture list, the objects and the map saved; GAME_EXE
// started on the open project with `more` arguments after the folder.
void SaveGameData();
void StartGame(const QStringList& more);
// "Открыть проект…" and "Сохранить проект как…": a folder dialog, then
// OpenProject or SaveProjectAs.
void OpenProjectClick(EditorState& doc, ProjectWindow& window);
void SaveProjectAsClick(EditorState& doc, ProjectWindow& window);

// The program's folder with its trailing separator: the open project's
// (OpenedProject::ProgramFolder), so that tests that point it elsewhere
// move the project with it.
std::string ProgramFolder();

// The open project's folder (file-system form, trailing "/").  Until one is
// chosen: "Sys/Saves/" beside the executable, or the user's default project
// when the installation keeps its settings in the user's folders.
std::string OpenProjectFolder();

// The main window's caption naming the project folder; without one, the
// design's "… - игра не открыта".
QString EditorCaption(const std::string& projectFolder);

// The commands behind the dialogs, each on a chosen folder (file-system
// form), on the editor's document in a window that holds still while a
// project loads.  Each first offers to save unsaved changes; a refusal shows its
// reason and changes nothing.  True when the folder's project is open.
//
// OpenProject: the folder's project, or its "Sys/Saves" one ("В папке нет
// проекта" when neither); asks first when another editor has it open; a
// load that fails changes nothing.  Clears the edit history.
bool OpenProject(EditorState& doc, ProjectWindow& window, const std::string& folder);
// A new project, as a fresh start shows it (the helper textures, the
// start-up trees, no objects), in a folder that holds no project.
bool CreateProject(EditorState& doc, ProjectWindow& window, const std::string& folder);
// The whole open project, its texture library and other files included,
// written into a folder that holds no project (all or nothing), which then
// becomes the open project.
bool SaveProjectAs(EditorState& doc, ProjectWindow& window, const std::string& folder);

// The start-up step after the windows are ready: the project named on the
// command line (StartupProjectArgument), loaded, or else the default one,
// not loaded (as the design starts); finishes a save cut short and offers
// its autosave back.  Remembers what a new project holds.
void OpenStartupProject(EditorState& doc, ProjectWindow& window);
// The first command-line argument of the editor; empty: none.
std::string& StartupProjectArgument();
// At the end: gives up the lock of the open project.
void CloseProject();

// The recent projects, latest first (at most eight), from the settings file.
std::vector<std::string> RecentProjects();
// Takes a folder off the recent list (its files stay).
void ForgetRecentProject(const std::string& folder);
// Opens a project of the recent list; a folder that has vanished is taken
// off the list with a message.
bool OpenRecentProject(EditorState& doc, ProjectWindow& window, const std::string& folder);

// What a folder is chosen for: a project to open must exist; a new or
// saved-as project may go into a folder the user names in the dialog, which
// the command then makes.
enum class FolderUse { Existing, New };
// The folder dialog; returns the chosen folder or an empty text.  Tests
// replace it.
std::function<QString(const QString& caption, FolderUse use)>& FolderChooser();
// Starts the game runtime (detached); tests replace it.
std::function<void(const QString& program, const QStringList& arguments)>& GameStarter();
