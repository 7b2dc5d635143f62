// Editing what is already placed: the selection in the map view, dragging,
// raising, turning, copying, pasting and deleting it.  Each command takes
// the editor's document and is one step of its history; the data work is
// the document library's, these functions read the map view's state and
// call it.  None calls a view: the views follow the document's news.
#pragma once

#include <string>

struct EditorState;
struct TPlacement;

#include <cstdint>
#include <vector>

namespace qx {
struct Ray;
using Selection = std::vector<uint64_t>;
}

// The ray under a point of the Scene panel (device pixels, top-left origin)
// as the last frame looked at the map; false before any frame.
bool MapRayAt(const EditorState& state, int x, int y, qx::Ray& ray);

// A click with nothing being placed: the placement drawn under the mouse
// becomes the selection (with `toggle`, joins it or leaves it); a click on
// nothing clears the selection (unless toggling).  The document tells of
// every click's selection, so the status bar says what is selected.
void SelectAtMouse(EditorState& state, bool toggle);
void SelectAllPlacements(EditorState& state);
// Esc: nothing is being placed any more and nothing is selected.
void ClearSelectionAndPlacing(EditorState& state);

// A drag that starts on a selected placement moves the selection across the
// grid at the height of the placement grabbed; the whole drag is one step.
void BeginSelectionDrag(EditorState& state, int x, int y);
void DragSelectionTo(EditorState& state, int x, int y);
void EndSelectionDrag(EditorState& state);

// Page Up / Page Down: one vertical grid step.
void RaiseSelection(EditorState& state, int steps);
// R, Shift+R: 90 degrees each way, 15 with Alt.
void TurnSelection(EditorState& state, float degrees);
// Ctrl+D: copies one grid step aside, selected.
void DuplicateSelection(EditorState& state);
// Ctrl+C, Ctrl+V: placement lines through the clipboard, pasted at the 3D
// cursor; text that is no placement lines is refused with a message.
void CopySelection(const EditorState& state);
void PasteAtCursor(EditorState& state);
void PastePlacementText(EditorState& state, const std::string& cp1251);
// Delete: the selection, or with nothing selected the placement nearest to
// the cursor.
void DeleteSelectionOrNearest(EditorState& state);

// A value typed into the object settings window, for every selected
// placement; keystrokes of one field are one step.
void SetSelectedField(EditorState& state, float TPlacement::*field, float value, const std::string& mergeKey);
