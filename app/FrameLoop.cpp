#include "FrameLoop.h"

#include <QCoreApplication>
#include <QEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QSlider>

#include <GL/gl.h>

#include <chrono>
#include <climits>
#include <cmath>
#include <cstdint>
#include <cstring>

#include "Camera.h"
#include "EditCommands.h"
#include "EditorState.h"
#include "GLEngine.h"
#include "Geometry.h"
#include "HandlerGuard.h"
#include "MapCommands.h"
#include "MapDraw.h"
#include "MapNavigator.h"
#include "ModelObjectEditorBox.h"
#include "NumberText.h"
#include "ObjectRelease.h"
#include "PrimitiveList.h"
#include "QX3DObject.h"
#include "QXFont.h"
#include "QtText.h"
#include "SceneSurface.h"
#include "Skybox.h"
#include "TexturesSelectForm.h"
#include "Textures.h"
#include "Vantor.h"

namespace {

constexpr float MoveStep = 0.6f;
constexpr float AxisFactor = 0.8f;

// Texts that never change, converted once.
struct FrameTexts {
    std::string player = Cp("Игрок");
    std::string banner = "QX FPS VANTOR v0.0.2 Alpha";
    std::string renderer, vendor, version;  // filled on the first frame
    std::string axisX = "X", axisY = "Y", axisZ = "Z", origin = "(0,0,0)";
};

FrameTexts& Texts()
{
    static FrameTexts texts;
    if (texts.renderer.empty()) {
        auto glString = [](GLenum name) {
            const GLubyte* s = glGetString(name);
            return s ? std::string(reinterpret_cast<const char*>(s)) : std::string();
        };
        texts.renderer = Cp("Видеокарта: ") + glString(GL_RENDERER);
        texts.vendor = Cp("Производитель: ") + glString(GL_VENDOR);
        texts.version = Cp("Версия OpenGL: ") + glString(GL_VERSION);
    }
    return texts;
}

// Appends FloatToEditText(v) into the buffer, which a frame reuses.
void AppendNumber(std::string& out, float v) { AppendFloatToEditText(out, v); }

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
void DrawSelection(const EditorState& state)
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
    static std::vector<qx::Bounds> bounds;
    static std::vector<uint32_t> boundsFrame;
    static uint32_t frame = 0;
    ++frame;
    bounds.resize(static_cast<size_t>(state.MapObjectCount));
    boundsFrame.resize(static_cast<size_t>(state.MapObjectCount), 0);
    glBegin(GL_LINES);
    const qx::MapDrawFilter& f = state.MapFilter;
    for (uint8_t mode = 1; mode <= 3; ++mode) {
        if (!(f.modes & (1u << mode)))
            continue;
        ForEachDrawnPlacement(state, mode, f.range, f.band, f.cameraX, f.level, f.cameraZ, [&](size_t i, int32_t k) {
            if (!qx::IsSelected(state.Selection, static_cast<int32_t>(i)) || !state.MapObjects[static_cast<size_t>(k)])
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
void GridAndPickStep(const TFVantor& window, const DisplayOptions& options, int height)
{
    EditorState& state = Editor();
    if (options.grid && state.GridObject)
        state.GridObject->DrawAt(0, static_cast<float>(window.CamVerhBar->value()), 0, 0, 0, 0, 1, 1, 1);
    // Where nothing is drawn the cursor falls on the grid's plane, never on
    // the far plane a thousand units away.
    if (state.Camera->EditMode != 0 && state.ClickState == 0)
        state.CursorOnNothing = !state.Camera->PickWorld(state.MouseX + 1, height - state.MouseY + 1,
                                                         window.CamVerhBar->value(), kSkyPickReach, state.CursorWorld);
}

// "X", then the user's Y (world Z) and Z (world Y), each snapped to the grid.
void AppendSnapped(std::string& out, const double cursor[3], const char* ySeparator, const char* zSeparator)
{
    AppendNumber(out, SnapX(static_cast<float>(cursor[0])));
    out += ySeparator;
    AppendNumber(out, SnapZ(static_cast<float>(cursor[2])));
    out += zSeparator;
    AppendNumber(out, SnapY(static_cast<float>(cursor[1])));
}

// Sets a widget's text only when it changed, so an idle frame allocates
// nothing, and never under the user's typing.
template <typename Widget>
void ShowText(Widget* widget, std::string& shown, const std::string& text)
{
    if (shown == text || widget->hasFocus())
        return;
    shown = text;
    widget->setText(ToQString(text));
}

// Like ShowText for a field the user can also type into: rewritten when the
// value changes or when its text is no longer the one last shown.
void ShowFieldText(QLineEdit* field, ShownText& shown, const std::string& text)
{
    if ((shown.bytes == text && field->text() == shown.text) || field->hasFocus())
        return;
    shown.bytes = text;
    shown.text = ToQString(text);
    field->setText(shown.text);
}

}  // namespace

void MouseStatusText(std::string& text, const double cursor[3])
{
    static const std::string prefix = Cp("Мышка: X=");
    text.assign(prefix);
    AppendNumber(text, static_cast<float>(std::trunc(cursor[0])));
    text += "    Y=";
    AppendNumber(text, static_cast<float>(std::trunc(cursor[2])));
    text += "    Z=";
    AppendNumber(text, static_cast<float>(std::trunc(cursor[1])));
}

void GridStatusText(std::string& text, const double cursor[3])
{
    static const std::string prefix = Cp("Сетка: X=");
    text.assign(prefix);
    AppendSnapped(text, cursor, "    Y=", "    Z=");
}

DisplayOptions ReadDisplayOptions(const FrameCache& cache)
{
    auto on = [&](int i) { return cache.options[i] && cache.options[i]->checkState() == Qt::Checked; };
    return DisplayOptions{on(0), on(1), on(2), on(3), on(4)};
}

namespace {

// Round half to even into the integer range (a NaN cursor shows 0).
int32_t RoundToInt(double v)
{
    if (!std::isfinite(v))
        return 0;
    double r = std::nearbyint(v);
    if (r > 2147483647.0)
        return 2147483647;
    if (r < -2147483648.0)
        return INT32_MIN;
    return static_cast<int32_t>(r);
}

// Status panels 2 and 3 and the navigator's cursor fields.
void ShowCursorTexts(TFVantor& window)
{
    FrameCache& cache = window.Frame;
    const double* cursor = Editor().CursorWorld;
    MouseStatusText(cache.scratch, cursor);
    ShowText(window.StatusPanels[2], cache.mouseShown, cache.scratch);
    GridStatusText(cache.scratch, cursor);
    ShowText(window.StatusPanels[3], cache.gridShown, cache.scratch);
    if (FNavigator && FNavigator->isVisible()) {
        ShowText(FNavigator->E3dx, cache.navigatorShown[0], IntToEditText(RoundToInt(cursor[0])));
        ShowText(FNavigator->E3dy, cache.navigatorShown[1], IntToEditText(RoundToInt(cursor[2])));
        ShowText(FNavigator->E3dz, cache.navigatorShown[2], IntToEditText(RoundToInt(cursor[1])));
    }
}

}  // namespace

void DrawFrame(TFVantor& window)
{
    EditorState& state = Editor();
    TCamera* camera = state.Camera;
    if (!camera)
        return;
    MakeEngineCurrent();
    const DisplayOptions options = ReadDisplayOptions(window.Frame);
    const qreal ratio = window.SceneWindow->devicePixelRatio();
    const int w = static_cast<int>(window.Scene->width() * ratio);
    const int h = static_cast<int>(window.Scene->height() * ratio);
    const int level = window.CamVerhBar->value();
    const bool editMode = camera->EditMode != 0;
    FrameTexts& texts = Texts();

    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glViewport(0, 0, w, h);
    SetProjection(0, w, h);
    glPushMatrix();
    camera->Apply();
    if (!FogEnabled && state.SkyBox)
        state.SkyBox->Draw(camera->PosX, static_cast<float>(level + window.CamZoom->value()), camera->PosZ);

    if (state.MoveKeys.Back)
        camera->Walk(MoveStep);
    if (state.MoveKeys.Forward)
        camera->Walk(-MoveStep);
    if (state.MoveKeys.Right)
        camera->Strafe(MoveStep);
    if (state.MoveKeys.Left)
        camera->Strafe(-MoveStep);

    if (FogEnabled)
        EnableFog();
    if (LightingEnabled) {
        glEnable(GL_LIGHTING);
        glEnable(GL_LIGHT0);
        glLightfv(GL_LIGHT0, GL_POSITION, LightPosition);
    }

    if (!state.ModelEditMode) {
        if (!options.depthAll)
            GridAndPickStep(window, options, h);
        // What is drawn is what a click can pick.
        qx::MapDrawFilter& filter = state.MapFilter;
        filter = qx::MapDrawFilter{true, 0, static_cast<uint8_t>(MapDrawDistance), static_cast<uint8_t>(MapBandHeight),
                                   camera->PosX, static_cast<float>(level), camera->PosZ};
        RememberMapView(state);
        const auto drawMap = [&](uint8_t mode) {
            filter.modes |= static_cast<uint8_t>(1u << mode);
            DrawMap(state, mode, filter.range, filter.band, filter.cameraX, filter.level, filter.cameraZ);
        };
        if (editMode || options.hideAbove)
            drawMap(1);
        if (state.PlayerMarker)
            state.PlayerMarker->DrawAt(state.PlayerPos[0], state.PlayerPos[1], state.PlayerPos[2], 0, 0, 0, 1,
                                       1, 1);
        if (!editMode || !options.hideAbove)
            drawMap(3);
        if (editMode || options.hideAbove)
            drawMap(2);
        DrawSelection(state);
        if (options.depthAll)
            GridAndPickStep(window, options, h);
        if (editMode && state.CursorPreview)
            state.CursorPreview->DrawAt(SnapX(static_cast<float>(state.CursorWorld[0])),
                                        SnapY(static_cast<float>(state.CursorWorld[1])),
                                        SnapZ(static_cast<float>(state.CursorWorld[2])), 0, 0, 0, 1, 1, 1);
    }

    if (options.names && state.TextFont) {
        glDisable(GL_DEPTH_TEST);
        Print(*state.TextFont, texts.player, TColor4{1, 1, 0, 0.8f}, state.PlayerPos[0], state.PlayerPos[1],
              state.PlayerPos[2]);
        glEnable(GL_DEPTH_TEST);
    }

    if (state.ModelEditMode) {
        if (!options.depthAll)
            GridAndPickStep(window, options, h);
        if (state.EditedModel) {
            state.EditedModel->CurrentList = static_cast<int16_t>(window.line->value());
            const ChangedPrimitiveHidden changed;
            state.EditedModel->DrawAllAt(0, 0, 0, 0, 0, 0, 1, 1, 1);
        }
        if (options.depthAll)
            GridAndPickStep(window, options, h);
        TQX3DObject* pending = state.PendingPrimitive;
        if (pending) {
            // A sphere whose size the box editor changed is compiled again
            // here, where the GL context is current.
            if (!pending->Lists.empty())
                pending->Lists[0]->PrepareDrawing();
            pending->DrawAllAt(0, 0, 0, 0, 0, 0, 1, 1, 1);
            const ShapeFields shape = PendingShape();
            // The primitive is drawn before it follows the cursor and the
            // chosen texture: what changes here shows in the next frame.
            const TVec3 drawnAt = shape ? *shape.Position : TVec3{};
            const int32_t drawnTexture = shape.Texture ? *shape.Texture : 0;
            if (shape && editMode && state.Placing) {
                if (state.ClickState == 0) {
                    *shape.Position = TVec3{SnapX(static_cast<float>(state.CursorWorld[0])),
                                            SnapY(static_cast<float>(state.CursorWorld[1])),
                                            SnapZ(static_cast<float>(state.CursorWorld[2]))};
                    // The box editor names the vertical axis Z.
                    if (FBoxEditor) {
                        QLineEdit* const fields[3] = {FBoxEditor->EPosX, FBoxEditor->EPosZ, FBoxEditor->EPosY};
                        const float values[3] = {shape.Position->X, shape.Position->Y, shape.Position->Z};
                        for (int i = 0; i < 3; ++i) {
                            window.Frame.scratch.clear();
                            AppendNumber(window.Frame.scratch, values[i]);
                            ShowFieldText(fields[i], window.Frame.boxEditorShown[i], window.Frame.scratch);
                        }
                    }
                }
                else if (state.ClickState == 1)
                    *shape.Position = TVec3{static_cast<float>(state.CursorWorld[0]),
                                            static_cast<float>(state.CursorWorld[1]),
                                            static_cast<float>(state.CursorWorld[2])};
            }
            // Models bring their own materials.
            if (shape.Texture && state.Placing && FTexture && *shape.Texture != FTexture->SelectedTexture)
                *shape.Texture = FTexture->SelectedTexture;
            if (shape && ((shape.Texture && *shape.Texture != drawnTexture) || shape.Position->X != drawnAt.X ||
                          shape.Position->Y != drawnAt.Y || shape.Position->Z != drawnAt.Z))
                RequestFrame();
        }
    }

    if (LightingEnabled)
        glDisable(GL_LIGHTING);
    if (FogEnabled)
        DisableFog();

    if (options.axes && state.TextFont) {
        glDisable(GL_DEPTH_TEST);
        glDisable(GL_TEXTURE_2D);
        glTranslatef(0, static_cast<float>(level), 0);
        const float length = static_cast<float>(window.CamZoom->value());
        const float tip = AxisFactor * length;
        DrawAxes(length);
        TQXFont& font = *state.TextFont;
        Print(font, texts.axisX, TColor4{1, 0, 0, 1}, tip, 0, 0);
        Print(font, texts.axisY, TColor4{0, 0, 1, 1}, 0, 0, tip);
        Print(font, texts.axisZ, TColor4{0, 1, 0, 1}, 0, tip, 0);
        Print(font, texts.origin, TColor4{1, 1, 1, 1}, 0, 0, 0);
        glTranslatef(0, -static_cast<float>(level), 0);

        std::string& label = window.Frame.scratch;
        label.assign("x=");
        AppendSnapped(label, state.CursorWorld, " y=", " z=");
        Print(font, label, TColor4{1, 1, 1, 0.6f}, static_cast<float>(state.CursorWorld[0]),
              static_cast<float>(state.CursorWorld[1]), static_cast<float>(state.CursorWorld[2]));
        glEnable(GL_TEXTURE_2D);
        glEnable(GL_DEPTH_TEST);
    }

    if (LightingEnabled)
        glDisable(GL_LIGHTING);
    if (FogEnabled)
        DisableFog();

    glViewport(0, 0, w, h);
    SetProjection(255, w, h);
    BindTexture(state.CrossTexture);
    glColor4f(1, 1, 1, 1);
    DrawScreenQuad(1, TColor4{1, 1, 1, 1}, 0, static_cast<float>(w) / 2, static_cast<float>(h) / 2, 32, 32, 0,
                   2);
    if (state.TextFont) {
        TQXFont& font = *state.TextFont;
        Print(font, texts.banner, TColor4{1, 1, 1, 0.5f}, 10, 20, 0);
        Print(font, texts.renderer, TColor4{1, 1, 0.5f, 0.5f}, 10, 50, 0);
        Print(font, texts.vendor, TColor4{1, 1, 0.5f, 0.5f}, 10, 80, 0);
        Print(font, texts.version, TColor4{1, 1, 0.5f, 0.5f}, 10, 110, 0);
    }
    if (FeedbackEnabled)
        DrawFeedback(4, 1);
    glPopMatrix();

    ShowCursorTexts(window);
}

void RenderFrame(TFVantor& window)
{
    DrawFrame(window);
    EndFrame();
    // What a load replaced goes once the new project shows, a portion
    // after each frame, so that the frames keep coming meanwhile.
    if (qx::ObjectsAwaitingRelease() > 0 && qx::ReleaseSome(std::chrono::milliseconds(4)))
        RequestFrame();
}

FrameTimer::FrameTimer(TFVantor& window) : QObject(&window), window_(window)
{
    tick_.setInterval(1);
    connect(&tick_, &QTimer::timeout, this, [this] { Tick(); });
    QCoreApplication::instance()->installEventFilter(this);
}

void FrameTimer::start()
{
    on_ = true;
    Request();
}

void FrameTimer::stop()
{
    on_ = false;
    tick_.stop();
}

void FrameTimer::Request()
{
    pending_ = true;
    if (on_ && !tick_.isActive())
        tick_.start();
}

void FrameTimer::DrawPending()
{
    if (on_ && pending_)
        Tick();
}

void FrameTimer::Tick()
{
    if (!pending_ && !SomethingMoves()) {
        tick_.stop();
        return;
    }
    pending_ = false;
    ++frames_;
    Guarded([this] { window_.RenderTimerTimer(); });
    // A frame may ask for the next one (what it changed is drawn then).
    if (!pending_ && !SomethingMoves())
        tick_.stop();
}

bool FrameTimer::eventFilter(QObject* watched, QEvent* event)
{
    switch (event->type()) {
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
    case QEvent::Wheel:
        Request();
        break;
    case QEvent::Expose:
    case QEvent::Resize:
    case QEvent::Show:
    case QEvent::WindowStateChange:
        // Only windows: a label that changes its text in a frame must not
        // ask for the next one.
        if (watched->isWindowType())
            Request();
        break;
    default:
        break;
    }
    return false;
}

void RequestFrame()
{
    if (FVantor && FVantor->RenderTimer)
        FVantor->RenderTimer->Request();
}

bool SomethingMoves()
{
    const EditorState& state = Editor();
    const TMoveKeys& keys = state.MoveKeys;
    return keys.Back || keys.Forward || keys.Right || keys.Left ||
           (state.Camera && state.Camera->MouseLookActive != 0) || SelectionDragActive();
}
