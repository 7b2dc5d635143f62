#include "Wiring.h"

namespace {

EditorParts* g_wiring = nullptr;

template <class Window>
Window* Member(std::unique_ptr<Window> EditorParts::*member)
{
    return g_wiring ? (g_wiring->*member).get() : nullptr;
}

}  // namespace

EditorParts* Wiring() { return g_wiring; }

void SetWiring(EditorParts* wiring) { g_wiring = wiring; }

TFVantor* MainWindow() { return Member(&EditorParts::vantor); }
TFOPos* ObjectSettingsWindow() { return Member(&EditorParts::opos); }
TFPManager* ProjectManagerWindow() { return Member(&EditorParts::pmanager); }
TFNavigator* NavigatorWindow() { return Member(&EditorParts::navigator); }
TFTexture* TextureWindow() { return Member(&EditorParts::texture); }
TFBoxEditor* BoxEditorWindow() { return Member(&EditorParts::boxEditor); }
Autosaver* EditorAutosave() { return Member(&EditorParts::autosaver); }
OpenedProject* EditorProject() { return Member(&EditorParts::project); }
ProjectTemplate* EditorProjectTemplate() { return Member(&EditorParts::blank); }
