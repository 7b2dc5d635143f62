// A document of the editor's own for a test that makes a window or calls a
// command without the wiring object: Editor() gives it while this lives.
#pragma once

#include "EditorState.h"

namespace qxtest {

struct ScopedEditorDocument {
    ScopedEditorDocument() { UseEditorDocument(&document); }
    ~ScopedEditorDocument() { UseEditorDocument(nullptr); }
    ScopedEditorDocument(const ScopedEditorDocument&) = delete;
    ScopedEditorDocument& operator=(const ScopedEditorDocument&) = delete;

    EditorState document;
};

}  // namespace qxtest
