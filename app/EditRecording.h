// How the editor's commands become steps of the edit history.  Each command
// calls one of these around the change it makes; the step keeps what it
// needs to undo and redo exactly that change:
// - the box editor's fields as the pending primitive's values (the object
//   view's other edits record their own steps, doc/SessionEdits.h);
// - placements and the player start as the one entry touched;
// - a new, renamed or deleted object with the object tree before and after
//   as the document's tree values (and the placements the rename or
//   deletion took along);
// Steps find objects and placements by identity (the object itself, the
// placement's id); an index they keep is only where an entry goes back.
// - the texture window's edits as the registry's small table and the
//   document's texture tree, plus the box indices a removal renumbered.
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

void RecordPlacementAdded(int32_t index);
void RecordPlayerMoved(const float before[3]);
// The object tree before the change; after it, the document's.
void RecordObjectAdded(int32_t index, const qx::DocTree& treeBefore);
// Object `index` was listed as `oldName` (its own Name `oldObjectName`) and
// its `placements` (identities) showed that name.
void RecordObjectRenamed(int32_t index, const std::string& oldName, const std::string& oldObjectName,
                         const std::vector<uint64_t>& placements, const qx::DocTree& treeBefore);
// Object `index` left the list with the placements `taken`.
void RecordObjectDeleted(TFVantor& window, int32_t index, const std::string& name,
                         const std::shared_ptr<TQX3DObject>& object, std::vector<PlacementEntry> taken,
                         const qx::DocTree& treeBefore);

// Delete in the map view: the placement nearest to the 3D cursor within
// twice the larger grid step.  False when there is none that near.
bool DeletePlacementNearCursor();

// Ctrl+Z and Ctrl+Y / Ctrl+Shift+Z.
void UndoLastEdit(TFVantor& window);
void RedoLastEdit(TFVantor& window);

// The recording hooks of the box editor and of texture removals (the menu
// "Правка" installs them).
void InstallEditRecording();
// The texture window exists from the start-up sequence on; from then it
// shows and edits the document's texture tree, and its edits are recorded.
void InstallTextureWindowRecording();
