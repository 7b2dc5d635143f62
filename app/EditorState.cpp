#include "EditorState.h"

#include <cstdio>
#include <cstdlib>
#include <utility>

const std::string& PlayerNodeText()
{
    static const std::string text = Cp("_Игрок");
    return text;
}

namespace {

EditorState* g_document = nullptr;

}  // namespace

EditorState& Editor()
{
    if (!g_document) {
        std::fputs("qxvantor: the editor's document is used while no editor runs\n", stderr);
        std::abort();
    }
    return *g_document;
}

void UseEditorDocument(EditorState* document)
{
    if (g_document && g_document != document)
        ReleaseTextureRegistry(g_document->TextureTable);
    g_document = document;
    // The document's texture table is the one every texture routine uses.
    if (document)
        BindTextureRegistry(document->TextureTable);
}

UndoStack& EditHistory() { return Editor().History; }

float SnapX(float v) { return SnapToStep(v, Editor().GridStepX); }
float SnapY(float v) { return SnapYToStep(v, Editor().GridStepY); }
float SnapZ(float v) { return SnapToStep(v, Editor().GridStepZ); }
