// The edit history as the main window shows it: the menu "Правка" with its
// undo and redo actions, and the caption's mark of unsaved changes.  A
// change of the history is a change of the document; the frame's present
// step shows it.
#pragma once

#include <QString>

class TFVantor;

// The menu "Правка" and the caption's mark.  Called once by the main window.
void InstallEditHistory(TFVantor& window);
// Ctrl+Z and Ctrl+Y / Ctrl+Shift+Z: the GL context current for the views
// the document tells; the object view is left when its definition went.
void UndoLastEdit();
void RedoLastEdit();
// The present step's part: the caption's mark and the actions' enabled
// states and texts, each written only when it differs.
void PresentHistory(TFVantor& window);
// The caption for the current state: the design's text, " *" when unsaved.
QString CaptionWithMark(const QString& caption);
// The design's caption, kept so that the mark can follow the state.
void SetDesignCaption(TFVantor& window, const QString& caption);
