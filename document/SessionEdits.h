// The object view's edits on the document: opening a definition, shaping a
// pending primitive, committing it into the working copy, changing and
// deleting parts, storing the working copy back and leaving.  Each changes
// data only and tells the document's Events what it changed; those that
// change what a save would write push their own undo step, holding the one
// primitive involved, the pending primitive's state and, for storing and
// leaving, the content the view would lose.  The GL caches (the working
// copy's buffers) are the view's to rebuild on SessionChanged.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "ShapeFields.h"

struct Document;
class TGLPremitives;
class TQX3DObject;

// A step's label for an edit of a primitive: `utf8Verb` ("добавление") and
// the kind ("коробки", "сферы", "модели", ...).
std::string EditLabel(const char* utf8Verb, ShapeKind kind);

// Grid snapping of world coordinates: truncation toward zero; the height is
// first rounded to the nearest integer, ties to even.
float SnapToStep(float v, float step);
float SnapYToStep(float v, float step);

// What an object's primitives hold, roughly: an undo step's share.
size_t BytesOf(const TQX3DObject* object);

namespace qx {

// A primitive of the working copy's list 0 (the part tree lists those).
struct PartRef {
    ShapeKind kind = ShapeKind::Box;
    int index = -1;
    explicit operator bool() const { return index >= 0; }
};

// The pending primitive's fields; empty when there is none.
ShapeFields PendingFields(Document& doc);

// Opens `definition` (one of the listed objects): the working copy becomes
// a copy of it.  Opening is no change to the project: no step.
void OpenForEditing(Document& doc, const std::shared_ptr<TQX3DObject>& definition);
// Leaves the view without storing and without a step (the definition is
// gone, or nothing would be lost).
void LeaveObjectView(Document& doc);
// After an undo, a redo or a load: the view is left when its definition is
// no longer listed.
void LeaveObjectViewIfGone(Document& doc);
// "Выход без сохранения" once the user agreed: one step, whose undo brings
// the view back with the work it held.
void LeaveUnsaved(Document& doc);
// The working copy would write another object file than its definition:
// leaving without storing would lose something.
bool WorkingCopyChanged(const Document& doc);
// "Сохранить изменения": the working copy goes into the definition it was
// opened from and the view is left, one step; a definition no longer
// listed, or one the working copy equals, receives nothing (the view is
// left, no step).
void StoreWorkingCopy(Document& doc);

// The pending primitive becomes the one primitive of `fresh` (its index
// `index`), following the cursor; a locked one is dropped with the lock.
// Every new pending primitive, an undone one too, comes in a list of its
// own: a view tells a new one by it.
void StartPlacing(Document& doc, ShapeKind kind, std::unique_ptr<TGLPremitives> fresh, int index);
// A new primitive of a kind that is no model, textured with `texture`.
void StartPlacingShape(Document& doc, ShapeKind kind, int32_t texture);
// "Мышка": no pending primitive any more, the cursor free.
void DropPending(Document& doc);
// "Изменить": the part becomes the pending primitive, locked where it
// stands; committing it puts it back in its place.  False for a part that
// is not there.
bool ChangePart(Document& doc, PartRef part);
// Deletes the part (one step); the part being changed keeps its place, or
// goes with its change.  False, no step, for a part that is not there.
bool DeletePart(Document& doc, PartRef part);

// The cursor snapped to the grid.
void SnapCursor(Document& doc);
// A click in the object view with a pending primitive: the first locks it
// on the snapped cursor, the next commits it (one step) into the working
// copy's list `list` (the time line's), or back in place when it is a
// changed part.  Returns the committed part of list 0.
PartRef ClickPending(Document& doc, int32_t list);
// A double click on a locked primitive: snapped and committed by the same
// gesture's click.  False when nothing is locked.
bool ArmCommit(Document& doc);

// The notice to the user becomes `cp1251` (empty: none), told every time:
// the same refusal twice is shown twice.  Not a step: it is no part of the
// project.
void SetNotice(Document& doc, std::string cp1251);

}  // namespace qx
