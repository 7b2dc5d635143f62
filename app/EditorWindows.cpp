#include "EditorWindows.h"

#include "AskObjectName.h"
#include "EditCommands.h"
#include "Autosave.h"
#include "HistoryView.h"
#include "EditorState.h"
#include "ImageList.h"
#include "KeyHook.h"
#include "ProjectManager.h"
#include "MapNavigator.h"
#include "BoxEditor.h"
#include "ModelsGl.h"
#include "EditControls.h"
#include "FrameLoop.h"
#include "ProjectControls.h"
#include "SceneMouse.h"
#include "Startup.h"
#include "StatusView.h"
#include "PrimitiveList.h"
#include "ProgramFolder.h"
#include "ProjectCommands.h"
#include "QX3DObject.h"
#include "ObjectSettings.h"
#include "OpenedProject.h"
#include "ProjectTemplate.h"
#include "TextureWindow.h"
#include "Vantor.h"
#include "Wiring.h"

EditorWindows::EditorWindows()
{
    SetWiring(this);
    document = std::make_unique<EditorState>();
    UseEditorDocument(document.get());
    project = std::make_unique<OpenedProject>();
    blank = std::make_unique<ProjectTemplate>();
    SharedImageList().LoadFolder(qx::StartupDataFolder() + "Sys/Api/ImageList");
    // The model primitives read their files through the model readers.
    qx::InstallModelReaders();
    // The name box switches the key hook off while it is open and refuses
    // names of existing objects.
    ObjectNameHooks().SetKeyFlags = [](bool enabled) {
        Editor().KeysEnabled = enabled;
        Editor().SwallowKeys = enabled;
    };
    ObjectNameHooks().IsObjectName = [](const std::string& name) {
        const EditorState& state = Editor();
        for (int32_t i = 0; i < state.MapObjectCount; ++i)
            if (state.MapObjectNames[static_cast<size_t>(i)] == name)
                return true;
        return false;
    };
    vantor = std::make_unique<TFVantor>();
    TFVantor* main = vantor.get();
    InstallFrameLoop(*main);
    InstallSceneInput(*main);
    InstallProjectCommands(*main);
    InstallEditCommands(*main);
    InstallStatusView(*main);
    QObject::connect(main, &TFVantor::firstShown, main, [main] { RunStartup(*main); });
    main->MayClose = ConfirmDiscardOrSave;
    keyHook = InstallKeyHook();
    opos = std::make_unique<TFOPos>();
    opos->Window = vantor.get();
    pmanager = std::make_unique<TFPManager>();
    navigator = std::make_unique<TFNavigator>();
    navigator->show();
    boxEditor = std::make_unique<TFBoxEditor>();
    boxEditor->UseDocument(Editor());
    texture = std::make_unique<TFTexture>();
    texture->UseDocument(Editor());
    boxEditor->Link = BoxEditorLink{
        [] { return Editor().Camera; },
        [main] { SceneClick(*main); },
    };
    InstallEditHistory(*main);
    // The texture window's library lies in the open project's folder; the
    // project manager lists the recent projects.
    project->FolderChanged = [this] {
        texture->ProgramFolder = project->ProgramFolder();
        texture->ProjectFolder = project->Chosen();
    };
    project->FolderChanged();
    project->RecentChanged = [this] { pmanager->Refresh(); };
    autosaver = std::make_unique<Autosaver>(*project);
}

EditorWindows::~EditorWindows()
{
    // Tool windows first: the main window's handlers may still refer to them.
    autosaver.reset();
    CloseProject();
    texture.reset();
    boxEditor.reset();
    navigator.reset();
    pmanager.reset();
    opos.reset();
    vantor.reset();
    project->FolderChanged = nullptr;
    project->RecentChanged = nullptr;
    keyHook.reset();
    // The name box asks no document that went.
    ObjectNameHooks().SetKeyFlags = nullptr;
    ObjectNameHooks().IsObjectName = nullptr;
    UseEditorDocument(nullptr);
    SetWiring(nullptr);
}
