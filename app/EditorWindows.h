// The editor's one wiring object: it makes the windows in the design's
// order and wires them to the document and the commands: their controls
// call the commands, their views follow the document's news, the render
// timer draws the main window's frames, the autosave and the project
// commands share the open project.  Made by the program entry and the
// window tests; the main window is shown by the caller, and its first
// showing runs the start-up sequence (Startup.h).  While it lives, the views
// reach its parts through Wiring.h.
#pragma once

#include "Wiring.h"

struct EditorWindows : EditorParts {
    EditorWindows();
    ~EditorWindows();

    EditorWindows(const EditorWindows&) = delete;
    EditorWindows& operator=(const EditorWindows&) = delete;
};
