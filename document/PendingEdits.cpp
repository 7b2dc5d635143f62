#include "PendingEdits.h"

#include <array>
#include <cstring>
#include <functional>
#include <utility>

#include "PrimitiveList.h"
#include "QX3DObject.h"
#include "SessionEdits.h"
#include "Text1251.h"

namespace qx {

namespace {

// What an edit of the pending primitive touches: its values, the cursor,
// and the lock (only an edit that changed it gives it back).
struct PendingState {
    ShapeValues shape;
    std::array<double, 3> cursor{};
    uint8_t clickState = 0;
    bool lockChanged = false;
};

PendingState StateOf(Document& doc)
{
    PendingState s;
    s.shape = ValuesOf(PendingFields(doc));
    for (size_t i = 0; i < 3; ++i)
        s.cursor[i] = doc.CursorWorld[i];
    s.clickState = doc.ClickState;
    return s;
}

// The pending primitive (the document's own, never released) gets the
// values back; its kind and index are those the edit was made on.
void PutState(Document& doc, ShapeKind kind, int32_t index, const PendingState& s, uint32_t changes)
{
    if (doc.PendingPrimitive && !doc.PendingPrimitive->Lists.empty())
        PutValues(FieldsOf(*doc.PendingPrimitive->Lists[0], kind, index), s.shape);
    for (size_t i = 0; i < 3; ++i)
        doc.CursorWorld[i] = s.cursor[i];
    if (s.lockChanged)
        doc.ClickState = s.clickState;
    doc.Events.Notify(changes);
}

}  // namespace

void RecordPendingEdit(Document& doc, const std::string& mergeKey, uint32_t changes,
                       const std::function<void()>& change)
{
    const ShapeKind kind = doc.PendingKind;
    const int32_t index = doc.PrimIndex;
    PendingState before = StateOf(doc);
    change();
    PendingState after = StateOf(doc);
    before.lockChanged = after.lockChanged = before.clickState != after.clickState;
    UndoStep step;
    step.label = Cp(EditLabel("изменение", kind));
    step.mergeKey = mergeKey;
    step.bytes = sizeof(before) + sizeof(after);
    Document* d = &doc;
    step.undo = [d, kind, index, before, changes] { PutState(*d, kind, index, before, changes); };
    step.redo = [d, kind, index, after, changes] { PutState(*d, kind, index, after, changes); };
    doc.History.Push(std::move(step));
    doc.Events.Notify(changes);
}

bool SetPendingField(Document& doc, PendingField field, double value, const std::string& mergeKey)
{
    const ShapeFields shape = PendingFields(doc);
    if (!shape)
        return false;
    const auto real = static_cast<float>(value);
    const auto byte = static_cast<uint8_t>(static_cast<int32_t>(value));
    std::function<void()> change;
    const auto set = [&](auto* target, auto v) {
        if (target)
            change = [target, v] { *target = v; };
    };
    switch (field) {
    case PendingField::Size0:
    case PendingField::Size1:
    case PendingField::Size2:
        if (float* size = shape.Size[static_cast<int>(field) - static_cast<int>(PendingField::Size0)])
            change = [size, real, resized = shape.SizeChanged] {
                *size = real;
                if (resized)
                    resized();
            };
        break;
    case PendingField::RotationX: set(shape.Rotation ? &shape.Rotation->X : nullptr, real); break;
    case PendingField::RotationY: set(shape.Rotation ? &shape.Rotation->Y : nullptr, real); break;
    case PendingField::RotationZ: set(shape.Rotation ? &shape.Rotation->Z : nullptr, real); break;
    case PendingField::Tiling: set(shape.Tiling, real); break;
    case PendingField::BlendEquation: set(shape.BlendEquation, byte); break;
    case PendingField::BlendMode: set(shape.BlendMode, byte); break;
    case PendingField::CullFront: set(shape.CullFront, value != 0); break;
    }
    if (!change)
        return false;
    RecordPendingEdit(doc, mergeKey, PendingChanged, change);
    return true;
}

bool SetLockedCursor(Document& doc, int axis, double value, const std::string& mergeKey)
{
    if (!PendingFields(doc) || doc.ClickState != 1 || axis < 0 || axis > 2)
        return false;
    RecordPendingEdit(doc, mergeKey, CursorChanged | PendingChanged, [&] { doc.CursorWorld[axis] = value; });
    return true;
}

void PendingFollows(Document& doc, bool editMode)
{
    const ShapeFields shape = PendingFields(doc);
    if (!doc.PendingPrimitive || !shape)
        return;
    const TVec3 before = *shape.Position;
    const int32_t textureBefore = shape.Texture ? *shape.Texture : 0;
    if (editMode && doc.Placing) {
        const double* c = doc.CursorWorld;
        const auto x = static_cast<float>(c[0]), y = static_cast<float>(c[1]), z = static_cast<float>(c[2]);
        if (doc.ClickState == 0)
            *shape.Position = TVec3{SnapToStep(x, doc.GridStepX), SnapYToStep(y, doc.GridStepY),
                                    SnapToStep(z, doc.GridStepZ)};
        else if (doc.ClickState == 1)
            *shape.Position = TVec3{x, y, z};
    }
    // Models bring their own materials.
    if (shape.Texture && doc.Placing && *shape.Texture != doc.SelectedTexture)
        *shape.Texture = doc.SelectedTexture;
    if ((shape.Texture && *shape.Texture != textureBefore) || shape.Position->X != before.X ||
        shape.Position->Y != before.Y || shape.Position->Z != before.Z)
        doc.Events.Notify(PendingChanged);
}

bool CursorSampled(Document& doc, const double before[3])
{
    // Bit for bit: a cursor that stays where it is never wakes the views.
    if (std::memcmp(before, doc.CursorWorld, sizeof(doc.CursorWorld)) == 0)
        return false;
    doc.Events.Notify(CursorChanged);
    return true;
}

}  // namespace qx
