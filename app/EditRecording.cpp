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
#include "TreeWidgetAccess.h"
#include "Vantor.h"

namespace {

// Inside a recorded change, further recordings (a box field set by the
// command) belong to the same step: the change runs in the history's
// transaction, and only the outermost recording takes snapshots.
bool Recording() { return EditHistory().InTransaction() || EditHistory().Applying(); }

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
