#include "FrameLoop.h"

#include <QCoreApplication>
#include <QEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QSlider>

#include <GL/gl.h>

#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <optional>
#include <utility>

#include "Camera.h"
#include "EditCommands.h"
#include "EditorState.h"
#include "GLEngine.h"
#include "Geometry.h"
#include "HandlerGuard.h"
#include "HistoryView.h"
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
    std::string cursorLabel;  // rewritten every frame, its buffer kept
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

// A frame is under way: what its update and draw steps change, its own
// present step shows, without asking for another frame.
bool g_inFrame = false;

class InFrame {
public:
    InFrame() { g_inFrame = true; }
    ~InFrame() { g_inFrame = false; }
    InFrame(const InFrame&) = delete;
    InFrame& operator=(const InFrame&) = delete;
};

// The pending primitive hangs on the cursor (no click locked it yet): every
// new sample of the cursor moves it.
bool FollowsCursor(const EditorState& state)
{
    return state.ModelEditMode && state.Camera && state.Camera->EditMode != 0 && state.Placing &&
           state.PendingPrimitive && state.ClickState == 0;
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
    if (FNavigator && FNavigator->isVisible())
        FNavigator->ShowCursor(cursor);
}

}  // namespace

void UpdateFrame(EditorState& state, const SceneView& view, std::optional<int32_t> chosenTexture)
{
    TCamera* camera = state.Camera;
    if (state.MoveKeys.Back)
        camera->Walk(MoveStep);
    if (state.MoveKeys.Forward)
        camera->Walk(-MoveStep);
    if (state.MoveKeys.Right)
        camera->Strafe(MoveStep);
    if (state.MoveKeys.Left)
        camera->Strafe(-MoveStep);
    if (!state.ModelEditMode)
        return;
    if (state.EditedModel)
        state.EditedModel->CurrentList = static_cast<int16_t>(view.timeline);
    const ShapeFields shape = PendingShape();
    if (!state.PendingPrimitive || !shape)
        return;
    const TVec3 before = *shape.Position;
    const int32_t textureBefore = shape.Texture ? *shape.Texture : 0;
    if (camera->EditMode != 0 && state.Placing) {
        const double* c = state.CursorWorld;
        if (state.ClickState == 0)
            *shape.Position = TVec3{SnapX(static_cast<float>(c[0])), SnapY(static_cast<float>(c[1])),
                                    SnapZ(static_cast<float>(c[2]))};
        else if (state.ClickState == 1)
            *shape.Position = TVec3{static_cast<float>(c[0]), static_cast<float>(c[1]), static_cast<float>(c[2])};
    }
    // Models bring their own materials.
    if (shape.Texture && state.Placing && chosenTexture && *shape.Texture != *chosenTexture)
        *shape.Texture = *chosenTexture;
    if ((shape.Texture && *shape.Texture != textureBefore) || shape.Position->X != before.X ||
        shape.Position->Y != before.Y || shape.Position->Z != before.Z)
        state.Events.Notify(qx::PendingChanged);
}

namespace {

// The map view: the placements in their fixed order around the player's
// marker, the selection, and the cursor's preview.
void DrawMapView(EditorState& state, const DisplayOptions& options, const SceneView& view)
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
    DrawSelection(state);
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
void DrawAxesAndCursorLabel(const EditorState& state, const SceneView& view, TQXFont& font)
{
    FrameTexts& texts = Texts();
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
    AppendSnapped(label, state.CursorWorld, " y=", " z=");
    Print(font, label, TColor4{1, 1, 1, 0.6f}, static_cast<float>(state.CursorWorld[0]),
          static_cast<float>(state.CursorWorld[1]), static_cast<float>(state.CursorWorld[2]));
    glEnable(GL_TEXTURE_2D);
    glEnable(GL_DEPTH_TEST);
}

// On the screen: the cross in the middle, the banner and the GL driver's
// names.
void DrawScreenOverlay(const EditorState& state, int w, int h)
{
    glViewport(0, 0, w, h);
    SetProjection(255, w, h);
    BindTexture(state.CrossTexture);
    glColor4f(1, 1, 1, 1);
    DrawScreenQuad(1, TColor4{1, 1, 1, 1}, 0, static_cast<float>(w) / 2, static_cast<float>(h) / 2, 32, 32, 0,
                   2);
    if (state.TextFont) {
        FrameTexts& texts = Texts();
        TQXFont& font = *state.TextFont;
        Print(font, texts.banner, TColor4{1, 1, 1, 0.5f}, 10, 20, 0);
        Print(font, texts.renderer, TColor4{1, 1, 0.5f, 0.5f}, 10, 50, 0);
        Print(font, texts.vendor, TColor4{1, 1, 0.5f, 0.5f}, 10, 80, 0);
        Print(font, texts.version, TColor4{1, 1, 0.5f, 0.5f}, 10, 110, 0);
    }
}

}  // namespace

void DrawScene(EditorState& state, const DisplayOptions& options, const SceneView& view)
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
        DrawMapView(state, options, view);
    if (options.names && state.TextFont) {
        glDisable(GL_DEPTH_TEST);
        Print(*state.TextFont, Texts().player, TColor4{1, 1, 0, 0.8f}, state.PlayerPos[0], state.PlayerPos[1],
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
        DrawAxesAndCursorLabel(state, view, *state.TextFont);
    DrawScreenOverlay(state, view.width, view.height);
    if (FeedbackEnabled)
        DrawFeedback(4, 1);
    glPopMatrix();

    if (std::memcmp(cursorBefore, state.CursorWorld, sizeof(cursorBefore)) != 0) {
        state.Events.Notify(qx::CursorChanged);
        // The pending primitive was drawn where the cursor was: it follows
        // in the next frame.
        if (FollowsCursor(state))
            RequestFrame();
    }
}

void PresentFrame(TFVantor& window)
{
    const uint32_t marks = std::exchange(window.Frame.toPresent, 0u);
    ShowCursorTexts(window);
    if (FBoxEditor) {
        uint32_t fields = FBoxEditor->StaleFields();
        if (marks & (qx::PendingChanged | qx::SessionChanged))
            fields = TFBoxEditor::AllFields;
        else if (FollowsCursor(Editor()))
            fields |= TFBoxEditor::PositionFields;
        if (fields)
            FBoxEditor->Present(fields);
    }
    if (marks & qx::HistoryChanged)
        PresentHistory(window);
}

void MarkForPresentation(uint32_t changes)
{
    if (!FVantor)
        return;
    FVantor->Frame.toPresent |= changes;
    if (!g_inFrame)
        RequestFrame();
}

void PresentNow()
{
    if (FVantor)
        PresentFrame(*FVantor);
}

void DrawFrame(TFVantor& window)
{
    EditorState& state = Editor();
    if (!state.Camera)
        return;
    const InFrame frame;
    MakeEngineCurrent();
    // The panel's size is the viewport's; the rest of the view comes from
    // what the controls' handlers stored.
    SceneView& view = window.Frame.view;
    const qreal ratio = window.SceneWindow->devicePixelRatio();
    view.width = static_cast<int>(window.Scene->width() * ratio);
    view.height = static_cast<int>(window.Scene->height() * ratio);
    UpdateFrame(state, view, FTexture ? std::optional<int32_t>(FTexture->SelectedTexture) : std::nullopt);
    DrawScene(state, window.Frame.shownOptions, view);
    PresentFrame(window);
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
    // What the frame draws with, kept as the controls change it.
    FrameCache& cache = window.Frame;
    cache.shownOptions = ReadDisplayOptions(cache);
    connect(window.Ch1, &QListWidget::itemChanged, this,
            [&cache] { cache.shownOptions = ReadDisplayOptions(cache); });
    cache.view.level = window.CamVerhBar->value();
    cache.view.zoom = window.CamZoom->value();
    cache.view.timeline = window.line->value();
    connect(window.CamVerhBar, &QSlider::valueChanged, this, [&cache](int v) { cache.view.level = v; });
    connect(window.CamZoom, &QSlider::valueChanged, this, [&cache](int v) { cache.view.zoom = v; });
    connect(window.line, &QSlider::valueChanged, this, [&cache](int v) { cache.view.timeline = v; });
    // The document's changes wait for the next present step.
    observer_ = Editor().Events.Observe([](uint32_t changes) { MarkForPresentation(changes); });
}

FrameTimer::~FrameTimer() { Editor().Events.Forget(observer_); }

void FrameTimer::start()
{
    // Ahead of the filters installed since (the key hook swallows the keys
    // it handles): the look at input below must see every key, also the
    // release after an undo's shortcut.
    QCoreApplication::instance()->removeEventFilter(this);
    QCoreApplication::instance()->installEventFilter(this);
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
    // What the user is about to act on shows the document as it is: an
    // action's shortcut goes by the action's enabled state, a menu opens
    // with its texts.
    switch (event->type()) {
    case QEvent::ShortcutOverride:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
        if (window_.Frame.toPresent)
            PresentFrame(window_);
        break;
    default:
        break;
    }
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
