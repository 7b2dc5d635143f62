#include "ProjectCommands.h"

#include <QApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QProcess>

#include <functional>

#include <cstdio>
#include <filesystem>

#include "Autosave.h"
#include "EditCommands.h"
#include "EditHistory.h"
#include "EditorState.h"
#include "Errors.h"
#include "GLEngine.h"
#include "HandlerGuard.h"
#include "LoadSession.h"
#include "MapCommands.h"
#include "Messages.h"
#include "Paths.h"
#include "ProgramFolder.h"
#include "Project.h"
#include "OpenedProject.h"
#include "ProjectTemplate.h"
#include "ProjectWindow.h"
#include "QtText.h"
#include "Text1251.h"
#include "Textures.h"
#include "Wiring.h"

namespace fs = std::filesystem;

namespace {

const char* const MakerAddress = "https://qxvantor.example.org";

// The project commands' state, the wiring object's: the open project and
// what a new one is made from.
struct ProjectState {
    OpenedProject& open;
    ProjectTemplate& blank;
};

ProjectState Projects() { return {*EditorProject(), *EditorProjectTemplate()}; }

std::string Caption() { return Cp("QX FPS Vantor"); }

void ShowCaption(ProjectWindow& window) { window.ShowProjectCaption(EditorCaption(OpenProjectFolder())); }

std::string Shown(const std::string& fsFolder) { return ShownFolder(fsFolder); }


// Reads the folder's project into the editor; false when cancelled, errors
// propagate with nothing changed.
bool LoadFolder(EditorState& doc, ProjectWindow& window, const std::string& folder)
{
    MakeEngineCurrent();
    std::string missing;
    bool loaded = false;
    {
        const std::unique_ptr<LoadSession> session = window.HoldForLoad();
        qx::ReadOptions options;
        options.progress = [&session](int done, int total) { return session->Report(done, total); };
        options.building = [&session](int done, int total) { session->ReportBuilding(done, total); };
        loaded = qx::LoadProjectInto(folder, options, doc, doc.ObjectTree, doc.TextureTree, &missing);
        if (loaded) {
            doc.History.Reset();
            ShowProjectReplaced(doc);
        }
    }
    // Shown once the window takes input again.
    if (!missing.empty())
        qx::Messages().ShowMessage(qx::ProjectLoadCaption(), missing);
    return loaded;
}

enum class Switch {
    Load,          // the editor reads the folder's project
    Keep,          // what the editor shows is that project already (a save as)
    StartDefault,  // the start without a choice: nothing read, only warned of a lock
};

// The one place the open project changes.
bool SwitchProject(EditorState& doc, ProjectWindow& window, const std::string& folder, Switch how)
{
    OpenedProject& open = Projects().open;
    if (!open.AcceptLock(folder, how != Switch::StartDefault))
        return false;
    if (how == Switch::Load) {
        // A save cut short is finished (or undone) before anything reads
        // the project or its autosave.
        qx::RecoverInterruptedSaves({folder, AutosaveFolderOf(folder)});
        if (!LoadFolder(doc, window, folder))
            return false;
    }
    // An autosave under way belongs to the project it started in.
    WaitForAutosave();
    open.MoveTo(folder, OpenProjectFolder(), how == Switch::StartDefault);
    ShowCaption(window);
    if (how == Switch::Keep)
        ClearSelectionAndPlacing(doc);
    if (how == Switch::Load)
        OfferRecovery(OpenProjectFolder());
    return true;
}

// Both must hold no project; true when the folder may not take a new one.
// A folder named in the dialog that does not exist yet is made.
bool RefuseProjectThere(const std::string& folder)
{
    std::error_code ec;
    if (!fs::exists(folder, ec))
        fs::create_directories(folder, ec);
    if (!fs::is_directory(folder, ec)) {
        qx::Messages().ShowMessage(Caption(), Cp("Папка ") + Shown(folder) + Cp(" не найдена и не создана") +
                                                  (ec ? Cp(": ") + Utf8ToCp1251(ec.message()) : std::string()));
        return true;
    }
    if (qx::FindProject(folder).empty())
        return false;
    qx::Messages().ShowMessage(Caption(), Cp("В папке ") + Shown(folder) +
                                              Cp(" уже есть проект; выберите пустую папку."));
    return true;
}

QString DialogCaption(const char* utf8) { return Ui(utf8); }

// Qt's folder dialog refuses a typed folder that does not exist yet; for a
// new project that is the folder the user wants, made by the command.
class FolderDialog : public QFileDialog {
public:
    using QFileDialog::QFileDialog;
    bool mayBeNew = false;
    QString newFolder;

protected:
    void accept() override
    {
        const QString typed = selectedFiles().value(0);
        const QFileInfo info(typed);
        if (mayBeNew && !typed.isEmpty() && !info.exists() && QFileInfo(info.absolutePath()).isDir()) {
            newFolder = info.absoluteFilePath();
            QDialog::accept();
            return;
        }
        QFileDialog::accept();
    }
};

}  // namespace

QString EditorCaption(const std::string& projectFolder)
{
    return Ui("QX FPS Vantor v2.0 - (") + MakerAddress + Ui(") Альфа версия для теста - ") +
           (projectFolder.empty() ? Ui("игра не открыта") : QString::fromStdString(WithoutSlash(projectFolder)));
}

std::string ProgramFolder() { return Projects().open.ProgramFolder(); }

std::string OpenProjectFolder() { return Projects().open.Folder(); }

std::string& StartupProjectArgument()
{
    static std::string argument;
    return argument;
}

std::function<void(const QString&, const QStringList&)>& GameStarter()
{
    static std::function<void(const QString&, const QStringList&)> starter =
        [](const QString& program, const QStringList& arguments) { QProcess::startDetached(program, arguments); };
    return starter;
}

std::function<QString(const QString&, FolderUse)>& FolderChooser()
{
    static std::function<QString(const QString&, FolderUse)> chooser = [](const QString& caption, FolderUse use) {
        FolderDialog dialog(QApplication::activeWindow(), caption, QString::fromStdString(WithoutSlash(OpenProjectFolder())));
        dialog.mayBeNew = use == FolderUse::New;
        dialog.setFileMode(QFileDialog::Directory);
        dialog.setOption(QFileDialog::ShowDirsOnly);
        if (dialog.exec() != QDialog::Accepted)
            return QString();
        return dialog.newFolder.isEmpty() ? dialog.selectedFiles().value(0) : dialog.newFolder;
    };
    return chooser;
}

bool ConfirmDiscardOrSave()
{
    if (!EditHistory().Modified())
        return true;
    switch (qx::Messages().AskYesNoCancel(FromQString(QCoreApplication::applicationName().isEmpty()
                                                          ? QString("QX FPS Vantor")
                                                          : QCoreApplication::applicationName()),
                                          Cp("Сохранить изменения в проекте?"))) {
    case qx::Answer::Yes:
        try {
            Save1Click();
        } catch (...) {
            ShowHandlerException();
            return false;
        }
        return true;
    case qx::Answer::No:
        return true;
    case qx::Answer::Cancel:
        break;
    }
    return false;
}

void Save1Click()
{
    const EditorState& state = Editor();
    qx::SaveProject(OpenProjectFolder(), Textures(), state, qx::ProjectTrees{&state.ObjectTree, &state.TextureTree});
    Editor().ObjectFilesSaved();
    EditHistory().MarkSaved();
    RemoveAutosave(OpenProjectFolder());
}

void Load1Click(EditorState& doc, ProjectWindow& window)
{
    if (!ConfirmDiscardOrSave())
        return;
    LoadFolder(doc, window, OpenProjectFolder());
}

void SaveGameData()
{
    qx::SaveProject(OpenProjectFolder(), Textures(), Editor(), qx::ProjectTrees{});
    Editor().ObjectFilesSaved();
    EditHistory().MarkGameDataSaved();
}

void StartGame(const QStringList& more)
{
    GameStarter()(QString::fromStdString(ProgramFolder() + "GAME_EXE"),
                  QStringList{QString::fromStdString(WithoutSlash(OpenProjectFolder()))} + more);
}

void BitBtn1Click()
{
    SaveGameData();
    StartGame({});
}

bool OpenProject(EditorState& doc, ProjectWindow& window, const std::string& chosen)
{
    const std::string project = qx::FindProject(WithSlash(chosen));
    if (project.empty()) {
        qx::Messages().ShowMessage(Caption(), Cp("В папке нет проекта: ") + Shown(chosen));
        return false;
    }
    if (!ConfirmDiscardOrSave())
        return false;
    return SwitchProject(doc, window, project, Switch::Load);
}

bool OpenRecentProject(EditorState& doc, ProjectWindow& window, const std::string& folder)
{
    std::error_code ec;
    if (!fs::is_directory(folder, ec)) {
        ForgetRecentProject(folder);
        qx::Messages().ShowMessage(Caption(), Cp("Папка проекта ") + Shown(folder) +
                                                  Cp(" не найдена; она убрана из списка."));
        return false;
    }
    return OpenProject(doc, window, folder);
}

bool CreateProject(EditorState& doc, ProjectWindow& window, const std::string& chosen)
{
    const std::string folder = WithSlash(chosen);
    if (RefuseProjectThere(folder) || !ConfirmDiscardOrSave())
        return false;
    Projects().blank.WriteInto(folder);
    return SwitchProject(doc, window, folder, Switch::Load);
}

bool SaveProjectAs(EditorState& doc, ProjectWindow& window, const std::string& chosen)
{
    const std::string folder = WithSlash(chosen);
    if (RefuseProjectThere(folder))
        return false;
    std::vector<qx::FileToWrite> copies;
    std::error_code ec;
    if (fs::is_directory(OpenProjectFolder(), ec))
        copies = qx::ProjectFilesToCopy(OpenProjectFolder(), folder);
    qx::SaveProject(folder, Textures(), doc, qx::ProjectTrees{&doc.ObjectTree, &doc.TextureTree}, copies);
    doc.ObjectFilesSaved();
    doc.History.MarkSaved();
    return SwitchProject(doc, window, folder, Switch::Keep);
}

void OpenProjectClick(EditorState& doc, ProjectWindow& window)
{
    const QString chosen = FolderChooser()(DialogCaption("Открыть проект"), FolderUse::Existing);
    if (!chosen.isEmpty())
        OpenProject(doc, window, chosen.toStdString());
}

void SaveProjectAsClick(EditorState& doc, ProjectWindow& window)
{
    const QString chosen = FolderChooser()(DialogCaption("Сохранить проект как"), FolderUse::New);
    if (!chosen.isEmpty())
        SaveProjectAs(doc, window, chosen.toStdString());
}

void OpenStartupProject(EditorState& doc, ProjectWindow& window)
{
    Projects().blank.Remember(Textures(), doc.ObjectTree, doc.TextureTree);
    Projects().open.ForgetLockAnswer();
    const std::string argument = StartupProjectArgument();
    if (!argument.empty()) {
        const std::string project = qx::FindProject(WithSlash(argument));
        if (project.empty()) {
            qx::Messages().ShowMessage(Caption(), Cp("В папке нет проекта: ") + Shown(argument));
        } else {
            try {
                if (SwitchProject(doc, window, project, Switch::Load))
                    return;
            } catch (...) {
                ShowHandlerException();
            }
        }
    }
    const std::string folder = qx::UsesUserFolders() ? UserDefaultProject() : OpenProjectFolder();
    SwitchProject(doc, window, folder, Switch::StartDefault);
    Projects().open.ForgetLockAnswer();
    qx::RecoverInterruptedSaves({folder, AutosaveFolderOf(folder)});
    OfferRecovery(OpenProjectFolder());
}

void CloseProject() { Projects().open.Close(); }

std::vector<std::string> RecentProjects() { return Projects().open.Recent(); }

void ForgetRecentProject(const std::string& folder) { Projects().open.Forget(folder); }
