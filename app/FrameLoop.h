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

#include <string>

#include "FrameCache.h"
#include "FrameTimer.h"

class TFVantor;
struct EditorState;

// Gives the main window its render timer, drawing its frames, and the
// frame cache the view's controls and the document's news.
void InstallFrameLoop(TFVantor& window);
// Asks the main window's render timer for a frame (nothing without one).
void RequestFrame();

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
