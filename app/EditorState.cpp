#include "EditorState.h"

#include <cmath>
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

float SnapX(float v) { return SnapToStep(v, Editor().GridStepX); }
float SnapY(float v) { return SnapYToStep(v, Editor().GridStepY); }
float SnapZ(float v) { return SnapToStep(v, Editor().GridStepZ); }
