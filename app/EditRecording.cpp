#include "EditRecording.h"

#include <QAction>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QSignalBlocker>
#include <QTreeWidget>

#include <cmath>
#include <utility>

#include "DocumentSteps.h"
#include "EditCommands.h"
#include "MapCommands.h"
#include "EditHistory.h"
#include "EditorState.h"
#include "FrameLoop.h"
#include "GLEngine.h"
#include "HandlerGuard.h"
#include "ModelObjectEditorBox.h"
#include "Picking.h"
#include "PrimitiveList.h"
#include "Project.h"
#include "QX3DObject.h"
#include "QtText.h"
#include "TextureLoaders.h"
#include "TextureRemoval.h"
#include "Textures.h"
#include "TexturesSelectForm.h"
#include "TreeWidgetAccess.h"
#include "Vantor.h"
#include "imageio/ImageKind.h"

namespace {

// Inside a recorded change, further recordings (a box field set by the
// command) belong to the same step: the change runs in the history's
// transaction, and only the outermost recording takes snapshots.
bool Recording() { return EditHistory().InTransaction() || EditHistory().Applying(); }

// ---- the texture window ----

struct TextureState {
    int32_t count = 0;
    std::vector<std::string> names;
    std::vector<uint32_t> ids;
    std::vector<bool> keyed;
    qx::DocTree tree;
    int32_t selected = 0;

    size_t Bytes() const { return sizeof(*this) + names.size() * 48; }
};

TextureState CaptureTextures()
{
    const TextureRegistry& reg = Textures();
    TextureState s;
    s.count = reg.TextureCount;
    s.names.assign(reg.TextureNames.begin(), reg.TextureNames.begin() + reg.TextureCount);
    s.ids.assign(reg.TextureIds.begin(), reg.TextureIds.begin() + reg.TextureCount);
    s.keyed.assign(reg.TextureKeyed.begin(), reg.TextureKeyed.begin() + reg.TextureCount);
    s.tree = Editor().TextureTree;
    if (FTexture)
        s.selected = FTexture->SelectedTexture;
    return s;
}

void RestoreRegistry(const TextureState& s)
{
    TextureRegistry& reg = Textures();
    const size_t n = static_cast<size_t>(s.count);
    if (reg.TextureNames.size() < n) {
        reg.TextureNames.resize(n);
        reg.TextureIds.resize(n, 0);
        reg.TextureKeyed.resize(n, false);
    }
    for (size_t i = 0; i < n; ++i) {
        reg.TextureNames[i] = s.names[i];
        reg.TextureIds[i] = s.ids[i];
        reg.TextureKeyed[i] = s.keyed[i];
    }
    reg.TextureCount = s.count;
}

void RestoreTextureWindow(const TextureState& s)
{
    Editor().TextureTree = s.tree;
    Editor().Events.Notify(qx::TextureTreeChanged);
    if (FTexture)
        FTexture->SelectedTexture = s.selected;
}

// A primitive whose texture index a removal changed, and the objects to
// rebuild.
struct TexturedRef {
    std::shared_ptr<TQX3DObject> object;
    size_t list;
    ShapeKind kind;
    int index;
};

struct RemovalRecord {
    int32_t index = -1;
    std::vector<TexturedRef> users;  // primitives that showed the removed texture
};

// Every object whose boxes carry texture indices: the definitions and the
// editor's own working objects (never released, so held without owning).
std::vector<std::shared_ptr<TQX3DObject>> TexturedObjects()
{
    EditorState& state = Editor();
    std::vector<std::shared_ptr<TQX3DObject>> objects;
    for (int32_t i = 0; i < state.MapObjectCount; ++i)
        objects.push_back(state.MapObjects[static_cast<size_t>(i)]);
    for (TQX3DObject* own : {state.EditedModel, state.PendingPrimitive, state.CursorPreview})
        if (own)
            objects.push_back(std::shared_ptr<TQX3DObject>(own, [](TQX3DObject*) {}));
    return objects;
}

std::vector<TexturedRef> PrimitivesShowing(int32_t index)
{
    std::vector<TexturedRef> refs;
    for (const auto& object : TexturedObjects())
        for (size_t l = 0; l < object->Lists.size(); ++l)
            ForEachTexture(*object->Lists[l], [&](ShapeKind kind, int i, int32_t& texture) {
                if (texture == index)
                    refs.push_back({object, l, kind, i});
            });
    return refs;
}

// Puts a removed texture back: its picture read again from the library (the
// removal gave up its GL texture), later entries and primitives' indices one
// up.
void UndoRemoval(const RemovalRecord& removal, TextureState& before)
{
    MakeEngineCurrent();
    const size_t r = static_cast<size_t>(removal.index);
    uint32_t id = 0;
    if (FTexture) {
        const std::string path = FTexture->LibraryPath(before.names[r]);
        qx::RunTextureLoader(qx::ImageKindForPath(path, true), path, id, before.keyed[r]);
    }
    before.ids[r] = id;
    RestoreRegistry(before);
    for (const auto& object : TexturedObjects()) {
        bool changed = false;
        for (auto& list : object->Lists)
            ForEachTexture(*list, [&](ShapeKind, int, int32_t& texture) {
                if (texture >= removal.index) {
                    ++texture;
                    changed = true;
                }
            });
        if (changed)
            object->Changed();
        if (changed && !object->DisplayLists.empty())
            object->BuildDisplayLists();
    }
    for (const TexturedRef& ref : removal.users) {
        *FieldsOf(*ref.object->Lists[ref.list], ref.kind, ref.index).Texture = removal.index;
        ref.object->Changed();
        if (!ref.object->DisplayLists.empty())
            ref.object->BuildDisplayLists();
    }
    RestoreTextureWindow(before);
}

// `removed`: where the removal hook leaves what a removal took along.
void RecordTextureEdit(const char* utf8Label, const std::function<void()>& change, RemovalRecord& removed)
{
    if (Recording()) {
        change();
        return;
    }
    auto before = std::make_shared<TextureState>(CaptureTextures());
    removed = RemovalRecord();
    UndoStack::Transaction edit(EditHistory());
    change();
    auto after = std::make_shared<TextureState>(CaptureTextures());
    auto removal = std::make_shared<RemovalRecord>(std::exchange(removed, RemovalRecord()));
    if (after->count == before->count && after->names == before->names && after->selected == before->selected &&
        FormatTreeText(after->tree) == FormatTreeText(before->tree)) {
        edit.Commit(Cp(utf8Label));
        return;  // refused or cancelled: nothing to undo
    }
    UndoStep step;
    step.label = Cp(utf8Label);
    step.changesTrees = true;
    step.bytes = before->Bytes() + after->Bytes() + after->tree.BytesBeside(before->tree);
    if (removal->index >= 0) {
        step.bytes += removal->users.size() * sizeof(TexturedRef);
        step.undo = [removal, before] { UndoRemoval(*removal, *before); };
        step.redo = [removal, after] {
            MakeEngineCurrent();
            qx::RemoveRegisteredTexture(removal->index);
            RestoreTextureWindow(*after);
        };
    } else {
        step.undo = [before] {
            RestoreRegistry(*before);
            RestoreTextureWindow(*before);
        };
        step.redo = [after] {
            RestoreRegistry(*after);
            RestoreTextureWindow(*after);
        };
    }
    EditHistory().Push(std::move(step));
    edit.Commit(Cp(utf8Label));
}

}  // namespace

// ---- recording ----

namespace {

// A box editor field's edit touches only the pending primitive's values and
// the frozen cursor.
struct BoxFieldState {
    ShapeValues shape;
    std::array<double, 3> cursor{};
};

BoxFieldState CaptureBoxFields()
{
    const EditorState& state = Editor();
    BoxFieldState s;
    s.shape = ValuesOf(PendingShape());
    for (size_t i = 0; i < 3; ++i)
        s.cursor[i] = state.CursorWorld[i];
    return s;
}

// The pending primitive (the editor's own, never released) gets the values
// back; its kind and index are those the edit was made on.
void PutBoxFields(ShapeKind kind, int32_t index, const BoxFieldState& s)
{
    EditorState& state = Editor();
    if (state.PendingPrimitive && !state.PendingPrimitive->Lists.empty())
        PutValues(FieldsOf(*state.PendingPrimitive->Lists[0], kind, index), s.shape);
    for (size_t i = 0; i < 3; ++i)
        state.CursorWorld[i] = s.cursor[i];
    state.Events.Notify(qx::PendingChanged);
}

void RecordBoxFieldEdit(const std::string& utf8Label, const std::string& mergeKey, const std::function<void()>& change)
{
    if (Recording()) {
        change();
        return;
    }
    const EditorState& state = Editor();
    const ShapeKind kind = state.PendingKind;
    const int32_t index = state.PrimIndex;
    const BoxFieldState before = CaptureBoxFields();
    UndoStack::Transaction edit(EditHistory());
    change();
    const BoxFieldState after = CaptureBoxFields();
    UndoStep step;
    step.bytes = sizeof(before) + sizeof(after);
    step.undo = [kind, index, before] { PutBoxFields(kind, index, before); };
    step.redo = [kind, index, after] { PutBoxFields(kind, index, after); };
    EditHistory().Push(std::move(step));
    edit.Commit(Cp(utf8Label), mergeKey);
}

}  // namespace

void UndoLastEdit(TFVantor& window)
{
    MakeEngineCurrent();
    EditHistory().Undo();
    LeaveObjectViewIfGone(window);
    qx::KeepSelectionValid(Editor());
}

void RedoLastEdit(TFVantor& window)
{
    MakeEngineCurrent();
    EditHistory().Redo();
    LeaveObjectViewIfGone(window);
    qx::KeepSelectionValid(Editor());
}

void InstallEditRecording()
{
    // The box editor's fields: one step per field, keystrokes merged; the
    // plus and minus buttons are steps of their own.
    if (FBoxEditor)
        FBoxEditor->Link.Edit = [](const std::string& mergeKey, const std::function<void()>& change) {
            RecordBoxFieldEdit(EditLabel("изменение", Editor().PendingKind), mergeKey, change);
        };
}

void InstallTextureWindowRecording()
{
    if (!FTexture)
        return;
    // The window edits the document's texture tree and shows it as the
    // document tells.
    FTexture->UseTree(&Editor().TextureTree, [] { Editor().Events.Notify(qx::TextureTreeChanged); });
    // A removal remembers the primitives that showed the texture, for its
    // undo.
    auto removed = std::make_shared<RemovalRecord>();
    auto& removalHook = qx::TextureRemovalHook();
    if (removalHook) {
        removalHook = [remove = removalHook, removed](int32_t index) {
            // Only a removal the history records needs its primitives.
            if (!EditHistory().InTransaction())
                return remove(index);
            std::vector<TexturedRef> users = PrimitivesShowing(index);
            const bool done = remove(index);
            if (done)
                *removed = RemovalRecord{index, std::move(users)};
            return done;
        };
    }
    FTexture->RecordEdit = [removed](const char* utf8Label, const std::function<void()>& change) {
        RecordTextureEdit(utf8Label, change, *removed);
    };
}
