// How the box editor's edits become steps of the edit history: the pending
// primitive's values and the frozen cursor.  The map's, the selection's and
// the object definitions' edits are the document's own
// (document/DocumentSteps.h), the object view's and the texture table's
// too (document/SessionEdits.h, document/TextureEdits.h).
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
