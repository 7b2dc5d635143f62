// How the editor's window edits become steps of the edit history: the box
// editor's fields as the pending primitive's values, and the texture
// window's edits as the registry's small table and the document's texture
// tree, plus the box indices a removal renumbered.  The map's, the
// selection's and the object definitions' edits are the document's own
// (document/DocumentSteps.h), the object view's too (document/SessionEdits.h).
#pragma once

#include <QString>

#include <array>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "DocTree.h"
#include "ProjectContent.h"
#include "ShapeFields.h"

class QTreeWidget;
class TFVantor;
class TQX3DObject;

// Ctrl+Z and Ctrl+Y / Ctrl+Shift+Z.
void UndoLastEdit(TFVantor& window);
void RedoLastEdit(TFVantor& window);

// The recording hooks of the box editor and of texture removals (the menu
// "Правка" installs them).
void InstallEditRecording();
// The texture window exists from the start-up sequence on; from then it
// shows and edits the document's texture tree, and its edits are recorded.
void InstallTextureWindowRecording();
