// How the editor's commands become steps of the edit history.  Each command
// calls one of these around the change it makes; the step keeps what it
// needs to undo and redo exactly that change:
// - the box editor's fields as the pending primitive's values (the object
//   view's other edits record their own steps, doc/SessionEdits.h);
// - placements and the player start as the one entry touched;
// - a new, renamed or deleted object with the object tree before and after
//   (and the placements the rename or deletion took along);
// - the texture window's edits as the registry's small table and its tree,
//   plus the box indices a removal renumbered.
#pragma once

#include <QString>

#include <array>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "ProjectContent.h"
#include "ShapeFields.h"

class QTreeWidget;
class TFVantor;
class TQX3DObject;

struct TreeSnapshot {
    struct Node {
        int depth = 0;
        std::string text;
        int icon = -1;
        int selectedIcon = -1;
        bool expanded = false;
    };
    std::vector<Node> nodes;
    int selected = -1;  // absolute index of the selected node
    size_t Bytes() const;
};

TreeSnapshot CaptureTree(const QTreeWidget* tree);
void RestoreTree(QTreeWidget* tree, const TreeSnapshot& snapshot);

void RecordPlacementAdded(int32_t index);
void RecordPlayerMoved(const float before[3]);
void RecordObjectAdded(TFVantor& window, int32_t index, const TreeSnapshot& treeBefore);
// Object `index` was listed as `oldName` (its own Name `oldObjectName`) and
// its `placements` showed that name.
void RecordObjectRenamed(TFVantor& window, int32_t index, const std::string& oldName,
                         const std::string& oldObjectName, const std::vector<int32_t>& placements,
                         const TreeSnapshot& treeBefore);
// Object `index` left the list with the placements `taken`.
void RecordObjectDeleted(TFVantor& window, int32_t index, const std::string& name,
                         const std::shared_ptr<TQX3DObject>& object, std::vector<PlacementEntry> taken,
                         const TreeSnapshot& treeBefore);

// Delete in the map view: the placement nearest to the 3D cursor within
// twice the larger grid step.  False when there is none that near.
bool DeletePlacementNearCursor();

// Ctrl+Z and Ctrl+Y / Ctrl+Shift+Z.
void UndoLastEdit(TFVantor& window);
void RedoLastEdit(TFVantor& window);

// The menu "Правка", the caption's mark, and the recording hooks of the box
// editor and the texture window.  Called once by the main window.
void InstallEditHistory(TFVantor& window);
// The caption for the current state: the design's text, " *" when unsaved.
QString CaptionWithMark(const QString& caption);
// The design's caption, kept so that the mark can follow the state.
void SetDesignCaption(TFVantor& window, const QString& caption);
// The texture window exists from the start-up sequence on; its edits are
// recorded from then.
void InstallTextureWindowRecording();
