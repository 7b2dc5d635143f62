#include "Placing.h"

#include <algorithm>

#include "Camera.h"
#include "DocumentSteps.h"
#include "EditorState.h"
#include "MapCommands.h"
#include "PrimitiveList.h"
#include "QX3DObject.h"
#include "QtText.h"
#include "SessionEdits.h"

namespace {

bool InEditMode(const EditorState& state) { return state.Camera && state.Camera->EditMode != 0; }

}  // namespace

qx::PartRef ClickAtCursor(EditorState& state, int32_t timeline, bool toggle)
{
    if (!InEditMode(state))
        return {};
    // Nothing under the mouse and no grid plane near: no place to put
    // anything (a second click of a locked box uses the lock, not the mouse).
    const auto refusedForNothing = [&] {
        if (!state.CursorOnNothing)
            return false;
        qx::SetNotice(state, Cp("Под курсором ничего нет"));
        return true;
    };
    if (!state.ModelEditMode) {
        const std::string text = state.ObjectTree.CurrentText();
        // Nothing being placed: the click selects what is drawn under it.
        if (text.find('_') == std::string::npos) {
            SelectAtMouse(state, toggle);
            return {};
        }
        if (refusedForNothing())
            return {};
        qx::SetNotice(state, std::string());
        const float at[3] = {SnapX(static_cast<float>(state.CursorWorld[0])),
                             SnapY(static_cast<float>(state.CursorWorld[1])),
                             SnapZ(static_cast<float>(state.CursorWorld[2]))};
        if (text != PlayerNodeText())
            qx::PlaceObject(state, text, at);
        // A text that holds the player's name without being it does both.
        if (text.find(PlayerNodeText()) != std::string::npos)
            qx::MovePlayerStart(state, at);
        return {};
    }
    if (state.PrimIndex >= 0 && state.ClickState == 0 && refusedForNothing())
        return {};
    qx::SetNotice(state, std::string());
    return qx::ClickPending(state, timeline);
}

void ObjectListClick()
{
    EditorState& state = Editor();
    const std::string text = state.ObjectTree.CurrentText();
    if (text.empty() || text[0] != '_')
        return;
    // Placing and a selection do not mix: Delete while placing means the
    // placement nearest the cursor, never a selection out of sight.
    qx::SetSelection(state, {});
    ShowChosenObject();
}

void FollowChosenObject(ChosenObject& shown)
{
    EditorState& state = Editor();
    const std::string text = state.ObjectTree.CurrentText();
    if (text == shown.text)
        return;
    // A renamed definition is the same preview.  A walk over the names: the
    // content's index would be rebuilt for every placement after a rename.
    const auto names = state.MapObjectNames.begin();
    const auto found = std::find(names, names + state.MapObjectCount, text);
    const TQX3DObject* object =
        found != names + state.MapObjectCount ? state.MapObjects[static_cast<size_t>(found - names)].get() : nullptr;
    if (object && object == shown.object) {
        shown.text = text;
        return;
    }
    shown = {text, object};
    if (!text.empty() && text[0] == '_')
        ShowChosenObject();
    else if (state.CursorPreview)
        state.CursorPreview->Clear();
}

void ShowChosenObject()
{
    EditorState& state = Editor();
    const std::string text = state.ObjectTree.CurrentText();
    if (!state.CursorPreview) {
        state.CursorPreview = new TQX3DObject("ObjTempMap");
        state.CursorPreview->AddList();
    }
    state.CursorPreview->Clear();
    if (text == PlayerNodeText()) {
        if (state.PlayerMarker)
            state.CursorPreview->Assign(*state.PlayerMarker);
        return;
    }
    const int32_t k = state.FindObject(text);
    if (k >= 0)
        state.CursorPreview->Assign(*state.MapObjects[static_cast<size_t>(k)]);
}
