// The box editor's edits on the document: the pending primitive's values
// and the cursor the first click locked.  Each is one step of the history
// holding the values and the cursor before and after (the primitive named
// by its kind and index), and tells PendingChanged, or CursorChanged for
// the cursor; values typed into one field in a row (the same non-empty
// merge key) are one step.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "Document.h"

namespace qx {

// The pending primitive's fields the box editor sets; sizes are its rows
// (width, depth, height).
enum class PendingField { Size0, Size1, Size2, RotationX, RotationY, RotationZ, Tiling, BlendEquation, BlendMode, CullFront };

// Sets `field` of the pending primitive to `value` (blend values keep their
// low 8 bits, the cull flag is value != 0): one step.  False, no step, when
// nothing is pending or its kind has no such field.
bool SetPendingField(Document& doc, PendingField field, double value, const std::string& mergeKey = {});
// Sets axis `axis` (0 X, 1 Y the height, 2 Z) of the cursor a primitive is
// locked on: one step.  False, no step, when no primitive is locked.
bool SetLockedCursor(Document& doc, int axis, double value, const std::string& mergeKey = {});
// Any other such edit: `change` changes the pending primitive's values, the
// cursor or the lock; one step, telling `changes`.
void RecordPendingEdit(Document& doc, const std::string& mergeKey, uint32_t changes,
                       const std::function<void()>& change);

// Each frame: the pending primitive takes the chosen texture (models keep
// their own) and, while it is being placed in edit mode, follows the cursor,
// snapped until the first click locks it.  Told as PendingChanged when it
// moved or took another texture; not a step.
void PendingFollows(Document& doc, bool editMode);
// The view sampled the cursor anew (it stood at `before`): told as
// CursorChanged when it moved.  True then.
bool CursorSampled(Document& doc, const double before[3]);

}  // namespace qx
