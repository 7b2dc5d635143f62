#include "EditorWindows.h"

#include "AskObjectName.h"
#include "EditCommands.h"
#include "Autosave.h"
#include "HistoryView.h"
#include "EditorState.h"
#include "ImageList.h"
#include "KeyHook.h"
#include "ManagerProject.h"
#include "MapNavigator.h"
#include "BoxEditor.h"
#include "ModelsGl.h"
#include "Picking.h"
#include "PrimitiveList.h"
#include "ProgramFolder.h"
#include "ProjectCommands.h"
#include "QX3DObject.h"
#include "ObjectEditor.h"
#include "OpenedProject.h"
#include "ProjectTemplate.h"
#include "TextureWindow.h"
#include "Vantor.h"
#include "Wiring.h"

EditorWindows::EditorWindows()
{
    SetWiring(this);
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
    InstallKeyHook();
    opos = std::make_unique<TFOPos>();
    opos->Window = vantor.get();
    pmanager = std::make_unique<TFPManager>();
    navigator = std::make_unique<TFNavigator>();
    navigator->show();
    boxEditor = std::make_unique<TFBoxEditor>();
    TFVantor* main = vantor.get();
    boxEditor->UseDocument(Editor());
    texture = std::make_unique<TFTexture>();
    texture->UseDocument(Editor());
    boxEditor->Link = BoxEditorLink{
        [] { return Editor().Camera; },
        [main] { SceneClick(*main); },
    };
    InstallEditHistory(*main);
    autosaver = std::make_unique<Autosaver>();
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
    SetWiring(nullptr);
}
