#include "EditorState.h"

#include <cmath>

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

void ResetEditorState() { Editor() = EditorState(); }

int32_t EditorState::EditIndex() const
{
    if (!EditedDefinition)
        return -1;
    for (int32_t i = 0; i < MapObjectCount; ++i)
        if (MapObjects[static_cast<size_t>(i)] == EditedDefinition)
            return i;
    return -1;
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
