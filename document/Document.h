// A project and its edit session as data: the object list, the map and the
// player start (ProjectContent), the three trees, the object view's session,
// the map view's selection, and the undo stack.  No widget and no GL object is part of it;
// what the windows show of it they build from it and keep up to date
// through Events.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "DocTree.h"
#include "DocumentEvents.h"
#include "EditHistory.h"
#include "MapEdits.h"
#include "ProjectContent.h"
#include "ShapeFields.h"
#include "Textures.h"

class TQX3DObject;

// The object view: which definition is open, its working copy, and the
// primitive that follows the cursor until it is committed.
struct EditSession {
    double CursorWorld[3] = {0, 0, 0};
    float GridStepX = 0.5f;
    float GridStepY = 0.5f;
    float GridStepZ = 0.5f;
    bool ModelEditMode = false;
    uint8_t ClickState = 0;
    bool Placing = false;
    int32_t PrimIndex = -1;
    // What the pending primitive is: PrimIndex indexes that kind's array.
    ShapeKind PendingKind = ShapeKind::Box;
    // The primitive of that kind of list 0 of the working copy that the
    // pending one replaces when it is committed ("Изменить"); -1 when the
    // pending primitive is a new one.
    int32_t ChangedPrimitive = -1;
    // The definition open in the object view, held by identity: an undo or a
    // load can move it in the list or take it away.
    std::shared_ptr<TQX3DObject> EditedDefinition;
    // Where the mouse ray met nothing that is drawn nor the grid's plane
    // near enough: the cursor is not a place to put anything.
    bool CursorOnNothing = false;
    // The working copy and the pending primitive's holder; made once by the
    // start-up sequence and reused.
    TQX3DObject* EditedModel = nullptr;
    TQX3DObject* PendingPrimitive = nullptr;
    // The texture new primitives receive, a registry index (-1: untextured);
    // the texture window's choice.
    int32_t SelectedTexture = 0;
    // What the editor tells the user in passing, in the status bar (1251
    // bytes; empty: nothing), as the last command left it.
    std::string Notice;
};

struct Document : ProjectContent, EditSession {
    // The pictures the primitives name by index.  Their GL names in it are
    // the view's uploads; the editor binds it as the process's registry.
    TextureRegistry TextureTable;
    // Its first entries that are the editor's own pictures (the grid, the
    // cursor, the sky), which no edit removes.
    int32_t HelperTextures = 0;
    // The object tree (saved with the project), the map tree and the
    // texture window's tree (saved with the project).
    qx::DocTree ObjectTree;
    qx::DocTree MapTree;
    qx::DocTree TextureTree;
    // The placements selected in the map view, by identity.
    qx::Selection Selection;
    UndoStack History;
    qx::DocumentEvents Events;

    // The open definition's place in MapObjects; -1 when none is open or it
    // is no longer listed.
    int32_t EditIndex() const;
};

namespace qx {

// The document tells of changes it did not make through its edits: a tree
// view's current node or open folders, trees read anew, a history step.
// A tree of the document changed (its view or a reader changed it).
void TreeChanged(const Document& doc, const DocTree& tree);
// Every tree was read or opened anew (the start, a load).
void TreesReplaced(const Document& doc);
// From now on every change of the history is told as HistoryChanged.
void TellHistoryChanges(Document& doc);

}  // namespace qx
