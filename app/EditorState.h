// The editor's state shared by the main window, the frame loop, the
// commands and the project files: the document and what the views keep of
// the session.  The running editor's wiring object owns it and makes it the
// one Editor() gives while it lives; the engine objects in it are created
// by the start-up sequence.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "Document.h"
#include "SessionEdits.h"
#include "Text1251.h"

class TCamera;
class TSkybox;
class TQXFont;
class TQX3DObject;

struct TMoveKeys {
    bool Back = false;
    bool Forward = false;
    bool Right = false;
    bool Left = false;
};

inline constexpr float InitialHeightOffset = 24.0f;
inline constexpr float MapDrawDistance = 200.0f;
inline constexpr float MapBandHeight = 15.0f;

// "_Игрок": the reserved player entry of the object tree.
const std::string& PlayerNodeText();

// The editor's one document and what its views keep beside it: how the map
// view last drew it, the keys and the mouse, and the engine objects the
// start-up sequence makes.
struct EditorState : Document {
    // What the last frame drew of the map and how it looked at it, so that a
    // click picks what the user saw.
    qx::MapDrawFilter MapFilter;
    struct PickView {
        double modelview[16] = {};
        double projection[16] = {};
        int viewport[4] = {};
        bool valid = false;
    } MapView;

    // A drag of the selection in the map view, from its press to its
    // release; origins are the selection's placements as it began.
    struct SelectionDrag {
        bool active = false;
        double height = 0;
        double start[3] = {0, 0, 0};
        std::vector<TPlacement> origins;
        float dx = 0, dz = 0;
    } Drag;
    // The picks' per-object bounds, reused from click to click.
    std::vector<qx::Bounds> PickScratch;

    TMoveKeys MoveKeys;
    int32_t MouseX = 0;
    int32_t MouseY = 0;
    bool CtrlLook = false;
    bool KeysEnabled = true;
    bool SwallowKeys = true;

    // Created by the start-up sequence and never released: the GL names they
    // hold go with the view's context.
    TCamera* Camera = nullptr;
    TSkybox* SkyBox = nullptr;
    TQXFont* TextFont = nullptr;
    TQX3DObject* GridObject = nullptr;
    TQX3DObject* CursorPreview = nullptr;
    TQX3DObject* PlayerMarker = nullptr;
    int32_t GridTexture = -1;
    int32_t CrossTexture = -1;
};

// The document in use: the one UseEditorDocument named.  There is none
// before the editor is wired or after it ended.
EditorState& Editor();
// `document` (not owned) is the one Editor() gives from now on, and its
// texture table the process's registry; null: none.
void UseEditorDocument(EditorState* document);

// Grid snapping of world coordinates with the editor's steps (SnapToStep).
float SnapX(float v);
float SnapY(float v);
float SnapZ(float v);
