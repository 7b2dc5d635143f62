#include "Wiring.h"

#include "EditorWindows.h"

namespace {

EditorWindows* g_wiring = nullptr;

template <class Window>
Window* Member(std::unique_ptr<Window> EditorWindows::*member)
{
    return g_wiring ? (g_wiring->*member).get() : nullptr;
}

}  // namespace

EditorWindows* Wiring() { return g_wiring; }

void SetWiring(EditorWindows* wiring) { g_wiring = wiring; }

TFVantor* MainWindow() { return Member(&EditorWindows::vantor); }
TFOPos* ObjectSettingsWindow() { return Member(&EditorWindows::opos); }
TFPManager* ProjectManagerWindow() { return Member(&EditorWindows::pmanager); }
TFNavigator* NavigatorWindow() { return Member(&EditorWindows::navigator); }
TFTexture* TextureWindow() { return Member(&EditorWindows::texture); }
TFBoxEditor* BoxEditorWindow() { return Member(&EditorWindows::boxEditor); }
Autosaver* EditorAutosave() { return Member(&EditorWindows::autosaver); }
OpenedProject* EditorProject() { return Member(&EditorWindows::project); }
ProjectTemplate* EditorProjectTemplate() { return Member(&EditorWindows::blank); }
