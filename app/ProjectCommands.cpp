#include "ProjectCommands.h"

#include <QAction>
#include <QProcess>
#include <QPushButton>
#include <QTreeWidget>

#include "Autosave.h"
#include "EditCommands.h"
#include "EditHistory.h"
#include "EditorState.h"
#include "GLEngine.h"
#include "HandlerGuard.h"
#include "LoadSession.h"
#include "Messages.h"
#include "ProgramFolder.h"
#include "Project.h"
#include "QtText.h"
#include "TextureRemoval.h"
#include "Textures.h"
#include "TexturesSelectForm.h"
#include "TreeWidgetAccess.h"
#include "Vantor.h"

namespace {

std::string Folder() { return qx::ProjectFolder(ProgramFolder()); }

}  // namespace

std::string ProgramFolder()
{
    if (FTexture != nullptr && !FTexture->ProgramFolder.empty())
        return FTexture->ProgramFolder;
    return qx::ExecutableFolder();
}

std::function<void(const QString&)>& GameStarter()
{
    static std::function<void(const QString&)> starter = [](const QString& program) {
        QProcess::startDetached(program, QStringList());
    };
    return starter;
}

void Save1Click(TFVantor& window)
{
    TreeWidgetAccess objectTree(window.ObjectList);
    TreeWidgetAccess textureTree(FTexture->TreeView1);
    qx::SaveProject(Folder(), Textures(), Editor(), qx::ProjectTrees{&objectTree, &textureTree});
    Editor().ObjectFilesSaved();
    EditHistory().MarkSaved();
    RemoveAutosave(Folder());
}

void Load1Click(TFVantor& window)
{
    if (!window.ConfirmDiscardOrSave())
        return;
    MakeEngineCurrent();
    TreeWidgetAccess objectTree(window.ObjectList);
    TreeWidgetAccess textureTree(FTexture->TreeView1);
    std::string missing;
    {
        LoadSession session(window);
        qx::ReadOptions options;
        options.progress = [&session](int done, int total) { return session.Report(done, total); };
        if (qx::LoadProjectInto(Folder(), options, Editor(), objectTree, textureTree, &missing)) {
            EditHistory().Reset();
            ShowProjectReplaced(window);
        }
    }
    // Shown once the window takes input again.
    if (!missing.empty())
        qx::Messages().ShowMessage(qx::ProjectLoadCaption(), missing);
}

void BitBtn1Click(TFVantor&)
{
    qx::SaveProject(Folder(), Textures(), Editor(), qx::ProjectTrees{});
    Editor().ObjectFilesSaved();
    EditHistory().MarkGameDataSaved();
    GameStarter()(ToQString(ProgramFolder() + "GAME_EXE"));
}

void InstallProjectCommands(TFVantor& window)
{
    TFVantor* w = &window;
    if (auto* save = window.findChild<QAction*>("Save1"))
        QObject::connect(save, &QAction::triggered, w, [w] { Guarded([w] { Save1Click(*w); }); });
    if (auto* load = window.findChild<QAction*>("Load1"))
        QObject::connect(load, &QAction::triggered, w, [w] { Guarded([w] { Load1Click(*w); }); });
    QObject::connect(window.BitBtn1, &QPushButton::clicked, w, [w] { Guarded([w] { BitBtn1Click(*w); }); });
    qx::TextureRemovalHook() = [](int32_t index) {
        EditorState& state = Editor();
        return qx::RemoveProjectTexture(
            index, state, {state.EditedModel, state.PendingPrimitive, state.CursorPreview});
    };
}
