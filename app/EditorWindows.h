// The program entry's window creation, in the design's order, shared with
// the window tests.  The main window is shown by the caller.
#pragma once

#include <memory>

class TFVantor;
class TFOPos;
class TFPManager;
class TFNavigator;
class TFBoxEditor;
class Autosaver;

struct EditorWindows {
    EditorWindows();
    ~EditorWindows();
    std::unique_ptr<TFVantor> vantor;
    std::unique_ptr<TFOPos> opos;
    std::unique_ptr<TFPManager> pmanager;
    std::unique_ptr<TFNavigator> navigator;
    std::unique_ptr<TFBoxEditor> boxEditor;
    std::unique_ptr<Autosaver> autosaver;
};
