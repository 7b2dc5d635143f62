#include "ProjectCommands.h"

#include <QAction>
#include <QApplication>
#include <QEvent>
#include <QProcess>
#include <QProgressDialog>
#include <QPushButton>
#include <QTimer>
#include <QTreeWidget>

#include "EditorState.h"
#include "GLEngine.h"
#include "HandlerGuard.h"
#include "Messages.h"
#include "Project.h"
#include "QtText.h"
#include "TextureRemoval.h"
#include "Textures.h"
#include "TexturesSelectForm.h"
#include "TreeWidgetAccess.h"
#include "Vantor.h"

namespace {

bool IsUserInput(QEvent::Type type)
{
    switch (type) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
    case QEvent::Wheel:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::ShortcutOverride:
    case QEvent::Shortcut:
    case QEvent::ContextMenu:
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TouchEnd:
        return true;
    default:
        return false;
    }
}

// While a load runs: no frames, no key movement, no input anywhere but the
// progress dialog, which shows once the load has taken half a second.
// Input that arrived meanwhile is dropped at the end, not replayed on the
// loaded project.
class LoadSession : public QObject {
public:
    explicit LoadSession(TFVantor& window) : window_(window), dialog_(&window)
    {
        rendering_ = window.RenderTimer->isActive();
        window.RenderTimer->stop();
        keysEnabled_ = Editor().KeysEnabled;
        Editor().KeysEnabled = false;
        Editor().MoveKeys = TMoveKeys();
        dialog_.setWindowTitle(Ui("Загрузка проекта"));
        dialog_.setCancelButtonText(Ui("Отмена"));
        dialog_.setWindowModality(Qt::ApplicationModal);
        dialog_.setMinimumDuration(500);
        dialog_.setAutoClose(false);
        dialog_.setAutoReset(false);
        dialog_.setValue(0);
        qApp->installEventFilter(this);
    }

    ~LoadSession() override
    {
        dialog_.hide();
        QCoreApplication::processEvents();  // swallows the input that queued up
        qApp->removeEventFilter(this);
        Editor().KeysEnabled = keysEnabled_;
        if (rendering_)
            window_.RenderTimer->start();
        MakeEngineCurrent();
    }

    bool Report(int done, int total)
    {
        dialog_.setMaximum(total);
        dialog_.setLabelText(Ui("Загружено файлов и текстур: %1 из %2").arg(done).arg(total));
        dialog_.setValue(done);
        MakeEngineCurrent();  // the dialog may have painted
        return !dialog_.wasCanceled();
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (!IsUserInput(event->type()))
            return false;
        auto* widget = qobject_cast<QWidget*>(watched);
        return !(widget != nullptr && widget->window() == &dialog_);
    }

private:
    TFVantor& window_;
    QProgressDialog dialog_;
    bool rendering_ = false;
    bool keysEnabled_ = true;
};

std::string Folder() { return qx::ProjectFolder(ProgramFolder()); }

}  // namespace

std::string ProgramFolder()
{
    if (FTexture != nullptr && !FTexture->ProgramFolder.empty())
        return FTexture->ProgramFolder;
    return FromQString(QCoreApplication::applicationDirPath()) + "/";
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
}

void Load1Click(TFVantor& window)
{
    MakeEngineCurrent();
    TreeWidgetAccess objectTree(window.ObjectList);
    TreeWidgetAccess textureTree(FTexture->TreeView1);
    std::string missing;
    {
        LoadSession session(window);
        qx::ReadOptions options;
        options.progress = [&session](int done, int total) { return session.Report(done, total); };
        qx::LoadProjectInto(Folder(), options, Editor(), objectTree, textureTree, &missing);
    }
    // Shown once the window takes input again.
    if (!missing.empty())
        qx::Messages().ShowMessage(qx::ProjectLoadCaption(), missing);
}

void BitBtn1Click(TFVantor&)
{
    qx::SaveProject(Folder(), Textures(), Editor(), qx::ProjectTrees{});
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
