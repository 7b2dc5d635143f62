// One frame of the Scene view, run by the render timer (FrameTimer.cpp), in
// three steps, each a file of its own:
// - update (FrameUpdate.cpp): the camera moves for held keys, the pending primitive follows
//   the cursor and the chosen texture (the document's data only);
// - draw (FrameDraw.cpp): the scene in its fixed order from the document, the display
//   options and the view, sampling the 3D cursor from the depth under the
//   mouse (no widget is read);
// - present (FramePresent.cpp): the status bar, the navigator's and the box editor's fields,
//   the caption's mark and the undo and redo actions show what changed,
//   each written only when what it shows differs.
// Changes of the document between frames only mark what must be presented
// (through the document's events) and ask for a frame.  In steady state
// (nothing changes) a frame allocates nothing.
//
// Frames are drawn only when something can change the picture: anything
// that changes it asks for one (RequestFrame), any input to the
// application's windows and any exposure or resize of a window asks too,
// and the timer keeps ticking only while something moves.  An editor with
// nothing to do does not wake.
#pragma once

#include <QObject>
#include <QTimer>

#include <cstdint>
#include <string>
#include <vector>

#include "PlacementPick.h"

class QListWidgetItem;
class TFVantor;
struct EditorState;

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

// The render timer.  On (start) once the editor has started, off (stop)
// while a load holds the window still.  While on it draws a frame soon
// after one is asked for, and one every millisecond while something moves:
// held movement keys or flight buttons, mouse-look, a drag.
class FrameTimer : public QObject {
public:
    explicit FrameTimer(TFVantor& window);
    ~FrameTimer() override;

    void start();
    void stop();
    bool isActive() const { return on_; }
    // Frames asked for before the next one drawn make one frame.
    void Request();
    // Draws the frame asked for now: an input that reads the 3D cursor
    // reads it sampled where the mouse is.
    void DrawPending();
    uint64_t FramesDrawn() const { return frames_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Tick();

    TFVantor& window_;
    int observer_ = 0;
    QTimer tick_;
    bool on_ = false;
    bool pending_ = false;
    uint64_t frames_ = 0;
};

// Asks the main window's render timer for a frame (nothing without one).
void RequestFrame();
// Something keeps changing the picture from frame to frame.
bool SomethingMoves();

void RenderFrame(TFVantor& window);
// The frame's three steps without the buffer swap: the picture stays in the
// back buffer (where tests read it).
void DrawFrame(TFVantor& window);
DisplayOptions ReadDisplayOptions(const FrameCache& cache);

// The update step.
void UpdateFrame(EditorState& state, const SceneView& view);
// The draw step: needs the GL context current.
void DrawScene(EditorState& state, const DisplayOptions& options, const SceneView& view, DrawCache& cache);
// The present step of the main window.
void PresentFrame(TFVantor& window);
// Kinds of change (qx::DocChange bits) the next present step shows; asks
// for a frame.
void MarkForPresentation(uint32_t changes);
// Runs the main window's present step now, frame or not: what a test reads
// right after a change, and what the user acts on (an action's shortcut, a
// menu) must not wait for the timer.
void PresentNow();

// "Мышка: X=…" and "Сетка: X=…" for a cursor position (1251 bytes), written
// into out (its buffer is reused).
void MouseStatusText(std::string& out, const double cursor[3]);
void GridStatusText(std::string& out, const double cursor[3]);
// Appends "X", then the user's Y (world Z) and Z (world Y), each snapped to
// the grid, with the separators given.
void AppendSnappedCursor(std::string& out, const double cursor[3], const char* ySeparator, const char* zSeparator);
// The pending primitive hangs on the cursor (no click locked it yet): every
// new sample of the cursor moves it.
bool FollowsCursor(const EditorState& state);
