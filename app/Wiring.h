// The running editor's parts as the views and windows reach them: the
// document, the windows, the autosave, the open project and the
// new-project template,
// owned by the one wiring object (EditorWindows), which registers itself
// while it lives.  Every accessor gives null while none is made: the window
// tests make single windows apart from it.  The commands use none of them:
// they take the document and what they need.
#pragma once

#include <memory>

class Autosaver;
struct EditorState;
class KeyHook;
class OpenedProject;
class ProjectTemplate;
class TFBoxEditor;
class TFNavigator;
class TFOPos;
class TFPManager;
class TFTexture;
class TFVantor;

struct EditorParts {
    // The document every part shows (Editor() while the editor runs); it
    // outlives them all.
    std::unique_ptr<EditorState> document;
    std::unique_ptr<TFVantor> vantor;
    // Sees every key first: movement, mouse-look, the map's shortcuts.
    std::unique_ptr<KeyHook> keyHook;
    std::unique_ptr<TFOPos> opos;
    std::unique_ptr<TFPManager> pmanager;
    std::unique_ptr<TFNavigator> navigator;
    std::unique_ptr<TFBoxEditor> boxEditor;
    std::unique_ptr<TFTexture> texture;
    std::unique_ptr<Autosaver> autosaver;
    // The open project (folder, lock, recent list), for the project
    // commands and the autosave, and what a new project is made from.
    std::unique_ptr<OpenedProject> project;
    std::unique_ptr<ProjectTemplate> blank;
};

EditorParts* Wiring();
void SetWiring(EditorParts* wiring);

TFVantor* MainWindow();
TFOPos* ObjectSettingsWindow();
TFPManager* ProjectManagerWindow();
TFNavigator* NavigatorWindow();
TFTexture* TextureWindow();
TFBoxEditor* BoxEditorWindow();
Autosaver* EditorAutosave();
OpenedProject* EditorProject();
ProjectTemplate* EditorProjectTemplate();
