// The edit history as the main window shows it: the menu "Правка" with its
// undo and redo actions, and the caption's mark of unsaved changes.  A
// change of the history is a change of the document; the frame's present
// step shows it.
#pragma once

class TFVantor;

// The menu "Правка" and the caption's mark.  Called once by the wiring.
void InstallEditHistory(TFVantor& window);
// The present step's part: the caption's mark and the actions' enabled
// states and texts, each written only when it differs.
void PresentHistory(TFVantor& window);
