#include "EditorState.h"

#include <utility>

const std::string& PlayerNodeText()
{
    static const std::string text = Cp("_Игрок");
    return text;
}

EditorState& Editor()
{
    static EditorState state;
    return state;
}

UndoStack& EditHistory() { return Editor().History; }

void ResetEditorState()
{
    EditorState& state = Editor();
    UndoStack history = std::move(state.History);
    state = EditorState();
    state.History = std::move(history);
}

float SnapX(float v) { return SnapToStep(v, Editor().GridStepX); }
float SnapY(float v) { return SnapYToStep(v, Editor().GridStepY); }
float SnapZ(float v) { return SnapToStep(v, Editor().GridStepZ); }
