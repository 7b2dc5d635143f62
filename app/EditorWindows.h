// The editor's one wiring object: its windows, made in the design's order
// and wired to the document, and the autosave.  Made by the program entry
// and the window tests; the main window is shown by the caller, whose
// start-up sequence (Startup.cpp) shows the texture window.  While it
// lives, the commands and views reach it through Wiring.h.
#pragma once

#include <memory>

class TFVantor;
class TFOPos;
class TFPManager;
class TFNavigator;
class TFBoxEditor;
class TFTexture;
class Autosaver;
class OpenedProject;
class ProjectTemplate;

struct EditorWindows {
    EditorWindows();
    ~EditorWindows();
    std::unique_ptr<TFVantor> vantor;
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

    EditorWindows(const EditorWindows&) = delete;
    EditorWindows& operator=(const EditorWindows&) = delete;
};
