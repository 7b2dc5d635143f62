// What the main window keeps for its frames: the display options and the
// view its controls set, the changes waiting to be shown, the texts last
// shown and the draw step's caches.  Plain data; the frame loop's steps
// (FrameLoop.h) fill and read it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "PlacementPick.h"

class QListWidgetItem;

// The texts of the five display options, in the order of DisplayOptions.
inline constexpr const char* DisplayOptionTexts[5] = {
    "Не отображать объекты выше камеры", "Определять глубину Z по всем объектам",
    "Отображать названия объектов", "Отображать оси координат", "Отображать сетку"};

// The five display options of the check list, kept as the list changes.
struct DisplayOptions {
    bool hideAbove = false;
    bool depthAll = false;
    bool names = false;
    bool axes = false;
    bool grid = false;
};

// What the view's own controls set, stored by their handlers: the working
// level, the zoom and the time line.  The size is the Scene panel's, in
// device pixels.
struct SceneView {
    int level = 0;
    int zoom = 0;
    int timeline = 0;
    int width = 0;
    int height = 0;
};

// What the draw step keeps between frames: texts converted once (the GL
// driver's names on the first frame), and each object's bounds for the
// selection's outlines, worked out at most once a frame.
struct DrawCache {
    std::string player, banner, renderer, vendor, version;
    std::string axisX = "X", axisY = "Y", axisZ = "Z", origin = "(0,0,0)";
    std::string cursorLabel;  // rewritten every frame, its buffer kept
    std::vector<qx::Bounds> bounds;
    std::vector<uint32_t> boundsFrame;
    uint32_t frame = 0;
};

// Per-window state of the frame: the option items (found by their texts
// once) and the options they hold, the view, the kinds of change (qx::
// DocChange bits) waiting to be presented, the texts last shown, and
// scratch space reused every frame.
struct FrameCache {
    QListWidgetItem* options[5] = {};
    DisplayOptions shownOptions;
    SceneView view;
    uint32_t toPresent = 0;
    std::string scratch;
    std::string mouseShown, gridShown;
    // A frame is under way: what its steps change needs no other frame.
    bool drawing = false;
    // The mouse is over a 2D view, whose point the status bar shows.
    bool mouseIn2D = false;
    DrawCache draw;
};
