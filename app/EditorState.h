// The process-wide editor state shared by the main window, the frame loop,
// picking, the editing commands and the project files.  One instance,
// reached through Editor(); the engine objects are created by the start-up
// sequence and live until the process ends.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "MapEdits.h"
#include "ProjectContent.h"
#include "ShapeFields.h"
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

// The project's object list and map (MapObjects, MapObjectNames,
// MapObjectCount, Placements, PlacementNames, PlacementCount, PlayerPos) are
// the ProjectContent part, so a whole project can be staged and swapped in.
struct EditorState : ProjectContent {
    double CursorWorld[3] = {0, 0, 0};
    float GridStepX = 0.5f;
    float GridStepY = 0.5f;
    float GridStepZ = 0.5f;
    bool ModelEditMode = false;
    uint8_t ClickState = 0;
    bool Placing = false;
    int32_t PrimIndex = -1;
    // What the pending primitive is: PrimIndex indexes that kind's array.
    ShapeKind PendingKind = ShapeKind::Box;
    // The primitive of that kind of list 0 of the working copy that the
    // pending one replaces when it is committed ("Изменить"); -1 when the
    // pending primitive is a new one.
    int32_t ChangedPrimitive = -1;
    // The definition open in the object view, held by identity: an undo or a
    // load can move it in the list or take it away.
    std::shared_ptr<TQX3DObject> EditedDefinition;
    // Its place in MapObjects; -1 when none is open or it is no longer listed.
    int32_t EditIndex() const;
    // Where the mouse ray met nothing that is drawn nor the grid's plane
    // near enough: the cursor is not a place to put anything.
    bool CursorOnNothing = false;

    // The placements selected in the map view (ascending indices).
    qx::Selection Selection;
    // What the last frame drew of the map and how it looked at it, so that a
    // click picks what the user saw.
    qx::MapDrawFilter MapFilter;
    struct PickView {
        double modelview[16] = {};
        double projection[16] = {};
        int viewport[4] = {};
        bool valid = false;
    } MapView;

    TMoveKeys MoveKeys;
    int32_t MouseX = 0;
    int32_t MouseY = 0;
    bool CtrlLook = false;
    bool KeysEnabled = true;
    bool SwallowKeys = true;

    // Created by the start-up sequence; never released before the process ends.
    TCamera* Camera = nullptr;
    TSkybox* SkyBox = nullptr;
    TQXFont* TextFont = nullptr;
    TQX3DObject* GridObject = nullptr;
    TQX3DObject* EditedModel = nullptr;
    TQX3DObject* CursorPreview = nullptr;
    TQX3DObject* PendingPrimitive = nullptr;
    TQX3DObject* PlayerMarker = nullptr;
    int32_t GridTexture = -1;
    int32_t CrossTexture = -1;
};

EditorState& Editor();
// Back to the start values (tests start several main windows in one process).
void ResetEditorState();

// Grid snapping of world coordinates (truncation toward zero; Y is first
// rounded to the nearest integer, ties to even).
float SnapX(float v);
float SnapY(float v);
float SnapZ(float v);
float SnapToStep(float v, float step);
float SnapYToStep(float v, float step);
