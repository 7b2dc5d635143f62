// The frame's draw step: the scene from the document, the display options
// and the view, sampling the 3D cursor from the depth under the mouse.
#include "FrameLoop.h"

#include <GL/gl.h>

#include <string>
#include <vector>

#include "Camera.h"
#include "EditCommands.h"
#include "EditorState.h"
#include "GLEngine.h"
#include "Geometry.h"
#include "MapDraw.h"
#include "PendingEdits.h"
#include "PrimitiveList.h"
#include "QX3DObject.h"
#include "QXFont.h"
#include "Skybox.h"
#include "Textures.h"

namespace {

constexpr float AxisFactor = 0.8f;

// The cache's texts, made on the first frame (the GL context current).
DrawCache& Texts(DrawCache& texts)
{
    if (texts.renderer.empty()) {
        auto glString = [](GLenum name) {
            const GLubyte* s = glGetString(name);
            return s ? std::string(reinterpret_cast<const char*>(s)) : std::string();
        };
        texts.player = Cp("Игрок");
        texts.banner = "QX FPS VANTOR v0.0.2 Alpha";
        texts.renderer = Cp("Видеокарта: ") + glString(GL_RENDERER);
        texts.vendor = Cp("Производитель: ") + glString(GL_VENDOR);
        texts.version = Cp("Версия OpenGL: ") + glString(GL_VERSION);
    }
    return texts;
}

void Print(TQXFont& font, const std::string& text, const TColor4& color, float x, float y, float z)
{
    font.Text.assign(text);  // reuses the buffer once it is large enough
    font.Color = color;
    font.PrintAt(x, y, z);
}

constexpr double kSkyPickReach = 200.0;

void RememberMapView(EditorState& state)
{
    EditorState::PickView& view = state.MapView;
    glGetDoublev(GL_MODELVIEW_MATRIX, view.modelview);
    glGetDoublev(GL_PROJECTION_MATRIX, view.projection);
    glGetIntegerv(GL_VIEWPORT, view.viewport);
    view.valid = true;
}

// The selected placements that are drawn, outlined by their bounds in a
// colour of their own, seen through whatever stands in front.
void DrawSelection(const EditorState& state, DrawCache& cache)
{
    if (state.Selection.empty())
        return;
    glPushAttrib(GL_ENABLE_BIT | GL_CURRENT_BIT | GL_LINE_BIT);
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_LIGHTING);
    glDisable(GL_FOG);
    glLineWidth(2);
    glColor4f(1.0f, 0.55f, 0.0f, 1.0f);
    // Each object's bounds once a frame, in buffers kept between frames.
    std::vector<qx::Bounds>& bounds = cache.bounds;
    std::vector<uint32_t>& boundsFrame = cache.boundsFrame;
    const uint32_t frame = ++cache.frame;
    bounds.resize(static_cast<size_t>(state.MapObjectCount));
    boundsFrame.resize(static_cast<size_t>(state.MapObjectCount), 0);
    glBegin(GL_LINES);
    const qx::MapDrawFilter& f = state.MapFilter;
    for (uint8_t mode = 1; mode <= 3; ++mode) {
        if (!(f.modes & (1u << mode)))
            continue;
        ForEachDrawnPlacement(state, mode, f.range, f.band, f.cameraX, f.level, f.cameraZ, [&](size_t i, int32_t k) {
            if (!qx::IsSelected(state.Selection, state.PlacementIds[i]) || !state.MapObjects[static_cast<size_t>(k)])
                return;
            const size_t object = static_cast<size_t>(k);
            if (boundsFrame[object] != frame) {
                bounds[object] = qx::ObjectBounds(*state.MapObjects[object]);
                boundsFrame[object] = frame;
            }
            const qx::Bounds& local = bounds[object];
            if (local.empty)
                return;
            const qx::Affine frame = qx::PlacementFrame(state.Placements[i]);
            double corner[8][3];
            for (int c = 0; c < 8; ++c) {
                const double p[3] = {c & 1 ? local.max[0] : local.min[0], c & 2 ? local.max[1] : local.min[1],
                                     c & 4 ? local.max[2] : local.min[2]};
                frame.Apply(p, corner[c]);
            }
            // The twelve edges join corners that differ in one bit.
            for (int c = 0; c < 8; ++c)
                for (int bit = 1; bit < 8; bit <<= 1)
                    if (!(c & bit)) {
                        glVertex3dv(corner[c]);
                        glVertex3dv(corner[c | bit]);
                    }
        });
    }
    glEnd();
    glPopAttrib();
}

// The grid at the working level, then the cursor from the depth under the
// mouse (edit mode, no locked click).  Where it runs decides what the cursor
// can land on.
void GridAndPickStep(EditorState& state, const DisplayOptions& options, const SceneView& view)
{
    if (options.grid && state.GridObject)
        state.GridObject->DrawAt(0, static_cast<float>(view.level), 0, 0, 0, 0, 1, 1, 1);
    // Where nothing is drawn the cursor falls on the grid's plane, never on
    // the far plane a thousand units away.
    if (state.Camera->EditMode != 0 && state.ClickState == 0)
        state.CursorOnNothing = !state.Camera->PickWorld(state.MouseX + 1, view.height - state.MouseY + 1, view.level,
                                                         kSkyPickReach, state.CursorWorld);
}

// The map view: the placements in their fixed order around the player's
// marker, the selection, and the cursor's preview.
void DrawMapView(EditorState& state, const DisplayOptions& options, const SceneView& view, DrawCache& cache)
{
    const TCamera* camera = state.Camera;
    const bool editMode = camera->EditMode != 0;
    if (!options.depthAll)
        GridAndPickStep(state, options, view);
    // What is drawn is what a click can pick.
    qx::MapDrawFilter& filter = state.MapFilter;
    filter = qx::MapDrawFilter{true, 0, static_cast<uint8_t>(MapDrawDistance), static_cast<uint8_t>(MapBandHeight),
                               camera->PosX, static_cast<float>(view.level), camera->PosZ};
    RememberMapView(state);
    const auto drawMap = [&](uint8_t mode) {
        filter.modes |= static_cast<uint8_t>(1u << mode);
        DrawMap(state, mode, filter.range, filter.band, filter.cameraX, filter.level, filter.cameraZ);
    };
    if (editMode || options.hideAbove)
        drawMap(1);
    if (state.PlayerMarker)
        state.PlayerMarker->DrawAt(state.PlayerPos[0], state.PlayerPos[1], state.PlayerPos[2], 0, 0, 0, 1, 1, 1);
    if (!editMode || !options.hideAbove)
        drawMap(3);
    if (editMode || options.hideAbove)
        drawMap(2);
    DrawSelection(state, cache);
    if (options.depthAll)
        GridAndPickStep(state, options, view);
    if (editMode && state.CursorPreview)
        state.CursorPreview->DrawAt(SnapX(static_cast<float>(state.CursorWorld[0])),
                                    SnapY(static_cast<float>(state.CursorWorld[1])),
                                    SnapZ(static_cast<float>(state.CursorWorld[2])), 0, 0, 0, 1, 1, 1);
}

// The object view: the working copy, then the pending primitive.
void DrawObjectView(EditorState& state, const DisplayOptions& options, const SceneView& view)
{
    if (!options.depthAll)
        GridAndPickStep(state, options, view);
    if (state.EditedModel) {
        const ChangedPrimitiveHidden changed;
        state.EditedModel->DrawAllAt(0, 0, 0, 0, 0, 0, 1, 1, 1);
    }
    if (options.depthAll)
        GridAndPickStep(state, options, view);
    if (TQX3DObject* pending = state.PendingPrimitive) {
        // A sphere whose size the box editor changed is compiled again
        // here, where the GL context is current.
        if (!pending->Lists.empty())
            pending->Lists[0]->PrepareDrawing();
        pending->DrawAllAt(0, 0, 0, 0, 0, 0, 1, 1, 1);
    }
}

// The axes at the working level with their names, and the cursor's
// snapped coordinates beside it.
void DrawAxesAndCursorLabel(const EditorState& state, const SceneView& view, TQXFont& font, DrawCache& cache)
{
    DrawCache& texts = Texts(cache);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_TEXTURE_2D);
    glTranslatef(0, static_cast<float>(view.level), 0);
    const float length = static_cast<float>(view.zoom);
    const float tip = AxisFactor * length;
    DrawAxes(length);
    Print(font, texts.axisX, TColor4{1, 0, 0, 1}, tip, 0, 0);
    Print(font, texts.axisY, TColor4{0, 0, 1, 1}, 0, 0, tip);
    Print(font, texts.axisZ, TColor4{0, 1, 0, 1}, 0, tip, 0);
    Print(font, texts.origin, TColor4{1, 1, 1, 1}, 0, 0, 0);
    glTranslatef(0, -static_cast<float>(view.level), 0);

    std::string& label = texts.cursorLabel;
    label.assign("x=");
    AppendSnappedCursor(label, state.CursorWorld, " y=", " z=");
    Print(font, label, TColor4{1, 1, 1, 0.6f}, static_cast<float>(state.CursorWorld[0]),
          static_cast<float>(state.CursorWorld[1]), static_cast<float>(state.CursorWorld[2]));
    glEnable(GL_TEXTURE_2D);
    glEnable(GL_DEPTH_TEST);
}

// On the screen: the cross in the middle, the banner and the GL driver's
// names.
void DrawScreenOverlay(const EditorState& state, int w, int h, DrawCache& cache)
{
    glViewport(0, 0, w, h);
    SetProjection(255, w, h);
    BindTexture(state.CrossTexture);
    glColor4f(1, 1, 1, 1);
    DrawScreenQuad(1, TColor4{1, 1, 1, 1}, 0, static_cast<float>(w) / 2, static_cast<float>(h) / 2, 32, 32, 0,
                   2);
    if (state.TextFont) {
        DrawCache& texts = Texts(cache);
        TQXFont& font = *state.TextFont;
        Print(font, texts.banner, TColor4{1, 1, 1, 0.5f}, 10, 20, 0);
        Print(font, texts.renderer, TColor4{1, 1, 0.5f, 0.5f}, 10, 50, 0);
        Print(font, texts.vendor, TColor4{1, 1, 0.5f, 0.5f}, 10, 80, 0);
        Print(font, texts.version, TColor4{1, 1, 0.5f, 0.5f}, 10, 110, 0);
    }
}

}  // namespace

void DrawScene(EditorState& state, const DisplayOptions& options, const SceneView& view, DrawCache& cache)
{
    TCamera* camera = state.Camera;
    const double cursorBefore[3] = {state.CursorWorld[0], state.CursorWorld[1], state.CursorWorld[2]};

    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glViewport(0, 0, view.width, view.height);
    SetProjection(0, view.width, view.height);
    glPushMatrix();
    camera->Apply();
    if (!FogEnabled && state.SkyBox)
        state.SkyBox->Draw(camera->PosX, static_cast<float>(view.level + view.zoom), camera->PosZ);

    if (FogEnabled)
        EnableFog();
    if (LightingEnabled) {
        glEnable(GL_LIGHTING);
        glEnable(GL_LIGHT0);
        glLightfv(GL_LIGHT0, GL_POSITION, LightPosition);
    }
    if (!state.ModelEditMode)
        DrawMapView(state, options, view, cache);
    if (options.names && state.TextFont) {
        glDisable(GL_DEPTH_TEST);
        Print(*state.TextFont, Texts(cache).player, TColor4{1, 1, 0, 0.8f}, state.PlayerPos[0], state.PlayerPos[1],
              state.PlayerPos[2]);
        glEnable(GL_DEPTH_TEST);
    }
    if (state.ModelEditMode)
        DrawObjectView(state, options, view);
    if (LightingEnabled)
        glDisable(GL_LIGHTING);
    if (FogEnabled)
        DisableFog();

    if (options.axes && state.TextFont)
        DrawAxesAndCursorLabel(state, view, *state.TextFont, cache);
    DrawScreenOverlay(state, view.width, view.height, cache);
    if (FeedbackEnabled)
        DrawFeedback(4, 1);
    glPopMatrix();

    if (qx::CursorSampled(state, cursorBefore)) {
        // The pending primitive was drawn where the cursor was: it follows
        // in the next frame.
        if (FollowsCursor(state))
            RequestFrame();
    }
}

