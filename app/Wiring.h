// The running editor's one wiring object (EditorWindows: the windows, the
// document's views, the autosave) as the commands and the views reach it.
// Every accessor gives null while none is made: the window tests make
// single windows apart from it.
#pragma once

struct EditorWindows;
class Autosaver;
class OpenedProject;
class ProjectTemplate;
class TFBoxEditor;
class TFNavigator;
class TFOPos;
class TFPManager;
class TFTexture;
class TFVantor;

EditorWindows* Wiring();
// EditorWindows registers itself while it lives.
void SetWiring(EditorWindows* wiring);

TFVantor* MainWindow();
TFOPos* ObjectSettingsWindow();
TFPManager* ProjectManagerWindow();
TFNavigator* NavigatorWindow();
TFTexture* TextureWindow();
TFBoxEditor* BoxEditorWindow();
Autosaver* EditorAutosave();
OpenedProject* EditorProject();
ProjectTemplate* EditorProjectTemplate();
