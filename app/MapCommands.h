// Editing what is already placed: the selection in the map view, dragging,
// raising, turning, copying, pasting and deleting it.  Each command is one
// step of the edit history; the data work is the doc library's, these
// functions read the view and the widgets and call it.
#pragma once

#include <string>

class TFVantor;
struct TPlacement;

#include <cstdint>
#include <vector>

namespace qx {
struct Ray;
using Selection = std::vector<uint64_t>;
}

// The ray under a point of the Scene panel (device pixels, top-left origin)
// as the last frame looked at the map; false before any frame.
bool MapRayAt(int x, int y, qx::Ray& ray);

// A click with nothing being placed: the placement drawn under the mouse
// becomes the selection (with `toggle`, joins it or leaves it); a click on
// nothing clears the selection (unless toggling).  The document tells of
// every click's selection, so the status bar says what is selected.
void SelectAtMouse(bool toggle);
void SelectAllPlacements();
// Esc: nothing is being placed any more and nothing is selected.
void ClearSelectionAndPlacing();

// A drag that starts on a selected placement moves the selection across the
// grid at the height of the placement grabbed; the whole drag is one step.
void BeginSelectionDrag(int x, int y);
void DragSelectionTo(int x, int y);
void EndSelectionDrag();
bool SelectionDragActive();

// Page Up / Page Down: one vertical grid step.
void RaiseSelection(int steps);
// R, Shift+R: 90 degrees each way, 15 with Alt.
void TurnSelection(float degrees);
// Ctrl+D: copies one grid step aside, selected.
void DuplicateSelection();
// Ctrl+C, Ctrl+V: placement lines through the clipboard, pasted at the 3D
// cursor; text that is no placement lines is refused with a message.
void CopySelection();
void PasteAtCursor();
void PastePlacementText(const std::string& cp1251);
// Delete: the selection, or with nothing selected the placement nearest to
// the cursor.
void DeleteSelectionOrNearest();

// A value typed into the object settings window, for every selected
// placement; keystrokes of one field are one step.
void SetSelectedField(float TPlacement::*field, float value, const std::string& mergeKey);

// The window shows the document's selection and map from now on: how many
// are selected in the status bar's message panel and in the object
// settings window, after every click that selected.
void InstallMapCommands(TFVantor& window);
