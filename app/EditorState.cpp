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
    // The document's texture table is the one every texture routine uses.
    static const bool bound = (BindTextureRegistry(state.TextureTable), true);
    (void)bound;
    return state;
}

UndoStack& EditHistory() { return Editor().History; }

void ResetEditorState()
{
    EditorState& state = Editor();
    UndoStack history = std::move(state.History);
    TextureRegistry textures = std::move(state.TextureTable);
    state = EditorState();
    state.History = std::move(history);
    state.TextureTable = std::move(textures);
}

float SnapX(float v) { return SnapToStep(v, Editor().GridStepX); }
float SnapY(float v) { return SnapYToStep(v, Editor().GridStepY); }
float SnapZ(float v) { return SnapToStep(v, Editor().GridStepZ); }
