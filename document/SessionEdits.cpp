#include "SessionEdits.h"

#include <cmath>
#include <utility>

#include "Document.h"
#include "PrimitiveList.h"
#include "ProjectFiles.h"
#include "QX3DObject.h"
#include "Text1251.h"

std::string EditLabel(const char* utf8Verb, ShapeKind kind)
{
    static constexpr const char* kKinds[] = {"коробки", "сферы", "тора", "пола", "стены", "модели", "модели"};
    return std::string(utf8Verb) + " " + kKinds[static_cast<size_t>(kind)];
}

float SnapToStep(float v, float step)
{
    return static_cast<float>(std::trunc(static_cast<double>(v) / step) * step);
}

float SnapYToStep(float v, float step)
{
    // nearbyint rounds half to even under the default rounding mode.
    double rounded = std::nearbyint(static_cast<double>(v));
    return static_cast<float>(std::trunc(rounded / step) * step);
}

namespace {

size_t BytesOf(const TGLPremitives& list)
{
    return sizeof(TGLPremitives) + list.Boxes.size() * sizeof(TBox) + list.Spheres.size() * sizeof(TSphere) +
           list.Tori.size() * sizeof(TTorus) + (list.Floors.size() + list.Walls.size()) * sizeof(TFlatRect) +
           list.Models3ds.size() * sizeof(TModel3ds) + list.BlenderModels.size() * sizeof(TModelBlender);
}

}  // namespace

size_t BytesOf(const TQX3DObject* object)
{
    size_t bytes = sizeof(TQX3DObject);
    if (object)
        for (const auto& list : object->Lists)
            bytes += BytesOf(*list);
    return bytes;
}

namespace qx {
namespace {

using Primitive = std::shared_ptr<TGLPremitives>;

// One primitive by value, alone in a list of its own (index 0); null when
// there is none.
Primitive CopyOfPrimitive(const TGLPremitives& from, ShapeKind kind, int index)
{
    auto copy = std::make_shared<TGLPremitives>();
    return CopyShape(from, kind, index, *copy) < 0 ? nullptr : copy;
}

std::shared_ptr<const TQX3DObject> CopyOfObject(const TQX3DObject& source)
{
    auto copy = std::make_shared<TQX3DObject>(source.Name);
    copy->Assign(source);
    return copy;
}

// The pending primitive and what goes with it: its kind, the click that
// locked it, the cursor it is locked on, and the part it changes.
struct PendingState {
    ShapeKind kind = ShapeKind::Box;
    int32_t primIndex = -1;
    int32_t changed = -1;
    uint8_t clickState = 0;
    bool placing = false;
    double cursor[3] = {0, 0, 0};
    Primitive primitive;

    size_t Bytes() const { return sizeof(*this) + (primitive ? BytesOf(*primitive) : 0); }
};

PendingState CapturePending(const Document& doc)
{
    PendingState s;
    s.kind = doc.PendingKind;
    s.primIndex = doc.PrimIndex;
    s.changed = doc.ChangedPrimitive;
    s.clickState = doc.ClickState;
    s.placing = doc.Placing;
    for (int i = 0; i < 3; ++i)
        s.cursor[i] = doc.CursorWorld[i];
    if (doc.PendingPrimitive && !doc.PendingPrimitive->Lists.empty())
        s.primitive = CopyOfPrimitive(*doc.PendingPrimitive->Lists[0], doc.PendingKind, doc.PrimIndex);
    return s;
}

// The pending primitive's list is made anew, and before the old one goes:
// a view tells a new pending primitive by its list.
void PutPending(Document& doc, const PendingState& s)
{
    doc.PendingKind = s.kind;
    doc.PrimIndex = s.primIndex;
    doc.ChangedPrimitive = s.changed;
    doc.ClickState = s.clickState;
    doc.Placing = s.placing;
    for (int i = 0; i < 3; ++i)
        doc.CursorWorld[i] = s.cursor[i];
    if (!doc.PendingPrimitive)
        return;
    auto list = s.primitive ? std::make_unique<TGLPremitives>() : nullptr;
    doc.PendingPrimitive->Clear();
    if (!list)
        return;
    doc.PrimIndex = CopyShape(*s.primitive, s.kind, 0, *list);
    doc.PendingPrimitive->AddList();
    doc.PendingPrimitive->Lists[0] = std::move(list);
}

void ClearPending(Document& doc)
{
    if (doc.PendingPrimitive)
        doc.PendingPrimitive->Clear();
    doc.Placing = false;
    doc.ClickState = 0;
    doc.ChangedPrimitive = -1;
}

void CloseView(Document& doc)
{
    ClearPending(doc);
    doc.PrimIndex = -1;
    doc.EditedDefinition.reset();
    if (doc.EditedModel)
        doc.EditedModel->Clear();
    doc.ModelEditMode = false;
}

// `fresh` was made while the old list still held its place (PutPending).
void StartPlacingQuietly(Document& doc, ShapeKind kind, std::unique_ptr<TGLPremitives> fresh, int index)
{
    doc.ClickState = 0;
    doc.ChangedPrimitive = -1;
    doc.PendingPrimitive->Clear();
    doc.PendingPrimitive->AddList();
    doc.PendingPrimitive->Lists[0] = std::move(fresh);
    doc.PendingKind = kind;
    doc.PrimIndex = index;
    doc.Placing = true;
}

TGLPremitives* WorkingList(Document& doc, int32_t list)
{
    TQX3DObject* edited = doc.EditedModel;
    if (!edited || list < 0 || list >= edited->ListCount || static_cast<size_t>(list) >= edited->Lists.size())
        return nullptr;
    return edited->Lists[static_cast<size_t>(list)].get();
}

// What an edit of the object view changed, to apply either way.
struct SessionStep {
    // A part of the working copy's list `list`: only `before`, it was
    // deleted; only `after`, added; both, replaced in place.
    int32_t list = 0;
    ShapeKind kind = ShapeKind::Box;
    int index = -1;
    Primitive before, after;
    // Held only when the edit changed the pending primitive.
    bool pendingChanges = false;
    PendingState pendingBefore, pendingAfter;
    // The definition open in the view; leaving, the view held
    // `workingCopy`.
    std::shared_ptr<TQX3DObject> definition;
    bool leaves = false;
    std::shared_ptr<const TQX3DObject> workingCopy;
    // Storing: the definition's content before; after, the working copy's.
    std::shared_ptr<const TQX3DObject> definitionBefore;

    size_t Bytes() const
    {
        size_t bytes = sizeof(*this) + (before ? BytesOf(*before) : 0) + (after ? BytesOf(*after) : 0);
        if (pendingChanges)
            bytes += pendingBefore.Bytes() + pendingAfter.Bytes();
        if (workingCopy)
            bytes += BytesOf(workingCopy.get());
        if (definitionBefore)
            bytes += BytesOf(definitionBefore.get());
        return bytes;
    }
};

void OpenOn(Document& doc, const std::shared_ptr<TQX3DObject>& definition, const TQX3DObject& content)
{
    doc.ModelEditMode = true;
    doc.EditedDefinition = definition;
    doc.EditedModel->Clear();
    doc.EditedModel->Assign(content);
}

void Apply(Document& doc, const SessionStep& s, bool forward)
{
    uint32_t changes = SessionChanged;
    // A part goes into the working copy of the definition it was made on,
    // never another's.  The view left that one with nothing to lose (no
    // step): its working copy was the definition as it is.
    if (!s.leaves && s.definition && (!doc.ModelEditMode || doc.EditedDefinition != s.definition))
        OpenOn(doc, s.definition, *s.definition);
    if (s.definitionBefore) {
        s.definition->Clear();
        s.definition->Assign(forward ? *s.workingCopy : *s.definitionBefore);
        changes |= ObjectsChanged;
    }
    if (s.leaves) {
        if (forward)
            CloseView(doc);
        else
            OpenOn(doc, s.definition, *s.workingCopy);
    }
    if (TGLPremitives* list = WorkingList(doc, s.list); list && (s.before || s.after)) {
        const Primitive& from = forward ? s.before : s.after;
        const Primitive& to = forward ? s.after : s.before;
        if (from && to)
            CopyShape(*to, s.kind, 0, *list, s.index);
        else if (from)
            DeleteShape(*list, s.kind, s.index);
        else
            InsertShape(*to, s.kind, 0, *list, s.index);
    }
    if (s.pendingChanges) {
        PutPending(doc, forward ? s.pendingAfter : s.pendingBefore);
        changes |= PendingChanged;
    }
    doc.Events.Notify(changes);
}

void Push(Document& doc, const std::string& utf8Label, std::shared_ptr<SessionStep> s, bool changesTrees)
{
    Document* d = &doc;
    UndoStep step;
    step.label = Cp(utf8Label);
    // As a tree edit: the start button, which writes no tree, leaves the
    // unsaved mark on after a part was added or deleted.
    step.changesTrees = changesTrees;
    step.bytes = s->Bytes();
    step.undo = [d, s] { Apply(*d, *s, false); };
    step.redo = [d, s] { Apply(*d, *s, true); };
    doc.History.Push(std::move(step));
}

// The pending primitive goes into the working copy where the lock holds it:
// a changed part back in its place, a new one at the end of its kind in
// `list`.
PartRef Commit(Document& doc, int32_t list)
{
    auto s = std::make_shared<SessionStep>();
    s->pendingChanges = true;
    s->pendingBefore = CapturePending(doc);
    s->kind = doc.PendingKind;
    s->definition = doc.EditedDefinition;
    PartRef made;
    bool toList0 = false;
    ShapeFields fields = PendingFields(doc);
    // Also when no frame has moved it there since the lock or a typed
    // position.
    if (fields)
        *fields.Position = TVec3{static_cast<float>(doc.CursorWorld[0]), static_cast<float>(doc.CursorWorld[1]),
                                 static_cast<float>(doc.CursorWorld[2])};
    const TGLPremitives* pending = fields ? doc.PendingPrimitive->Lists[0].get() : nullptr;
    if (doc.ChangedPrimitive >= 0) {
        TGLPremitives* target = WorkingList(doc, 0);
        const int i = doc.ChangedPrimitive;
        if (pending && target && (s->before = CopyOfPrimitive(*target, s->kind, i)) &&
            CopyShape(*pending, s->kind, doc.PrimIndex, *target, i) >= 0) {
            s->after = CopyOfPrimitive(*target, s->kind, i);
            s->index = i;
            made = {s->kind, i};
            // Put back whole: it is no new primitive to place again.
            doc.PendingPrimitive->Clear();
            doc.Placing = false;
            doc.ChangedPrimitive = -1;
        }
    } else if (TGLPremitives* target = WorkingList(doc, list); pending && target) {
        const int n = CopyShape(*pending, s->kind, doc.PrimIndex, *target);
        if (n >= 0) {
            s->after = CopyOfPrimitive(*target, s->kind, n);
            s->list = list;
            s->index = n;
            toList0 = list == 0;
            if (toList0)
                made = {s->kind, n};
        }
    }
    doc.ClickState = 0;
    if (!s->after) {
        doc.Events.Notify(PendingChanged);
        return {};
    }
    s->pendingAfter = CapturePending(doc);
    // A new part is the pending primitive as it stays: one copy serves both.
    if (!s->before && s->pendingAfter.primitive)
        s->pendingAfter.primitive = s->after;
    Push(doc, EditLabel(s->before ? "изменение" : "добавление", s->kind), s, toList0);
    doc.Events.Notify(SessionChanged | PendingChanged);
    return made;
}

// Leaves the view as one step; `storing`: the working copy goes into the
// definition first.
void LeaveRecorded(Document& doc, bool storing)
{
    auto s = std::make_shared<SessionStep>();
    s->leaves = true;
    s->pendingChanges = true;
    s->pendingBefore = CapturePending(doc);
    s->definition = doc.EditedDefinition;
    s->workingCopy = CopyOfObject(*doc.EditedModel);
    uint32_t changes = SessionChanged | PendingChanged;
    if (storing) {
        s->definitionBefore = CopyOfObject(*s->definition);
        s->definition->Assign(*doc.EditedModel);
        changes |= ObjectsChanged;
    }
    CloseView(doc);
    s->pendingAfter = CapturePending(doc);
    Push(doc, storing ? "сохранение изменений объекта" : "выход без сохранения", s, false);
    doc.Events.Notify(changes);
}

}  // namespace

ShapeFields PendingFields(Document& doc)
{
    if (!doc.PendingPrimitive || doc.PendingPrimitive->Lists.empty())
        return {};
    return FieldsOf(*doc.PendingPrimitive->Lists[0], doc.PendingKind, doc.PrimIndex);
}

void OpenForEditing(Document& doc, const std::shared_ptr<TQX3DObject>& definition)
{
    if (!definition || !doc.EditedModel)
        return;
    OpenOn(doc, definition, *definition);
    doc.Events.Notify(SessionChanged);
}

void LeaveObjectView(Document& doc)
{
    CloseView(doc);
    doc.Events.Notify(SessionChanged | PendingChanged);
}

void LeaveObjectViewIfGone(Document& doc)
{
    if (doc.ModelEditMode && doc.EditIndex() < 0)
        LeaveObjectView(doc);
}

void LeaveUnsaved(Document& doc)
{
    if (doc.ModelEditMode && doc.EditedModel)
        LeaveRecorded(doc, false);
}

bool WorkingCopyChanged(const Document& doc)
{
    return doc.ModelEditMode && doc.EditedModel && doc.EditIndex() >= 0 &&
           FormatObjectFile(*doc.EditedModel) != FormatObjectFile(*doc.EditedDefinition);
}

void StoreWorkingCopy(Document& doc)
{
    if (!doc.EditedDefinition || !doc.EditedModel)
        return;
    // The definition may have left the list (a load, an undo): nothing else
    // receives its edits.  Storing what it holds already is no edit.
    if (!WorkingCopyChanged(doc))
        LeaveObjectView(doc);
    else
        LeaveRecorded(doc, true);
}

void StartPlacing(Document& doc, ShapeKind kind, std::unique_ptr<TGLPremitives> fresh, int index)
{
    if (!doc.PendingPrimitive || !fresh)
        return;
    StartPlacingQuietly(doc, kind, std::move(fresh), index);
    doc.Events.Notify(PendingChanged);
}

void StartPlacingShape(Document& doc, ShapeKind kind, int32_t texture)
{
    if (IsModel(kind))
        return;
    auto fresh = std::make_unique<TGLPremitives>();
    const int index = AddNewShape(*fresh, kind, texture);
    StartPlacing(doc, kind, std::move(fresh), index);
}

void DropPending(Document& doc)
{
    ClearPending(doc);
    doc.Events.Notify(PendingChanged);
}

bool ChangePart(Document& doc, PartRef part)
{
    const TGLPremitives* source = WorkingList(doc, 0);
    if (!doc.ModelEditMode || !doc.PendingPrimitive || !source)
        return false;
    auto fresh = std::make_unique<TGLPremitives>();
    const int index = CopyShape(*source, part.kind, part.index, *fresh);
    if (index < 0)
        return false;
    StartPlacingQuietly(doc, part.kind, std::move(fresh), index);
    doc.ChangedPrimitive = part.index;
    // Locked where it stands: the box editor's fields move it, the next
    // click puts it back.
    doc.ClickState = 1;
    const TVec3 at = *PendingFields(doc).Position;
    doc.CursorWorld[0] = at.X;
    doc.CursorWorld[1] = at.Y;
    doc.CursorWorld[2] = at.Z;
    doc.Events.Notify(PendingChanged);
    return true;
}

bool DeletePart(Document& doc, PartRef part)
{
    TGLPremitives* list = WorkingList(doc, 0);
    auto s = std::make_shared<SessionStep>();
    s->before = list ? CopyOfPrimitive(*list, part.kind, part.index) : nullptr;
    if (!s->before)
        return false;
    s->kind = part.kind;
    s->index = part.index;
    s->definition = doc.EditedDefinition;
    // The part being changed keeps its place, or goes with its change.
    s->pendingChanges = doc.ChangedPrimitive >= part.index && doc.PendingKind == part.kind;
    if (s->pendingChanges)
        s->pendingBefore = CapturePending(doc);
    DeleteShape(*list, part.kind, part.index);
    if (s->pendingChanges) {
        if (doc.ChangedPrimitive == part.index)
            ClearPending(doc);
        else
            --doc.ChangedPrimitive;
        s->pendingAfter = CapturePending(doc);
    }
    Push(doc, EditLabel("удаление", part.kind), s, true);
    doc.Events.Notify(SessionChanged | (s->pendingChanges ? PendingChanged : 0u));
    return true;
}

void SnapCursor(Document& doc)
{
    doc.CursorWorld[0] = SnapToStep(static_cast<float>(doc.CursorWorld[0]), doc.GridStepX);
    doc.CursorWorld[1] = SnapYToStep(static_cast<float>(doc.CursorWorld[1]), doc.GridStepY);
    doc.CursorWorld[2] = SnapToStep(static_cast<float>(doc.CursorWorld[2]), doc.GridStepZ);
}

PartRef ClickPending(Document& doc, int32_t list)
{
    if (doc.PrimIndex < 0)
        return {};
    if (doc.ClickState == 0) {
        SnapCursor(doc);
        doc.ClickState = 1;
        doc.Events.Notify(PendingChanged);
        return {};
    }
    if (doc.Placing)
        return Commit(doc, list);
    doc.ClickState = 0;
    doc.Events.Notify(PendingChanged);
    return {};
}

bool ArmCommit(Document& doc)
{
    if (doc.ClickState != 1)
        return false;
    SnapCursor(doc);
    doc.ClickState = 2;
    return true;
}

void SetNotice(Document& doc, std::string cp1251)
{
    doc.Notice = std::move(cp1251);
    doc.Events.Notify(NoticeChanged);
}

}  // namespace qx
