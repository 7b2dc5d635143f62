#include "KeyHook.h"

#include <QAction>

#include <QApplication>
#include <QCursor>
#include <QGuiApplication>
#include <QKeyEvent>

#include "Camera.h"
#include "EditCommands.h"
#include "EditorState.h"
#include "FrameLoop.h"
#include "HandlerGuard.h"
#include "MapCommands.h"
#include "OrthoViewPane.h"
#include "Vantor.h"
#include "Wiring.h"

namespace {

// X11 key codes (evdev + 8) of the Ctrl keys, whatever the layout.
constexpr quint32 ScanCtrlLeft = 37, ScanCtrlRight = 105;
constexpr quint32 ScanZ = 52, ScanY = 29, ScanDelete = 119;

CameraLook LookOf(const TCamera& c) { return {c.PosX, c.PosZ, c.Eye, c.Target, c.Up, c.YawStep, c.PitchStep, c.PrevTargetY}; }

void PutLook(TCamera& c, const CameraLook& l)
{
    c.PosX = l.posX;
    c.PosZ = l.posZ;
    c.Eye = l.eye;
    c.Target = l.target;
    c.Up = l.up;
    c.YawStep = l.yawStep;
    c.PitchStep = l.pitchStep;
    c.PrevTargetY = l.prevTargetY;
}

enum class Shortcut { None, Undo, Redo, SelectAll, Duplicate, Copy, Paste };

// A letter key by position: its Latin key, its key on a Russian layout, or
// its X11 key code.
struct LetterKey {
    int latin;
    int cyrillic;
    quint32 scan;
};
constexpr LetterKey KeyZ{Qt::Key_Z, 0x042F, ScanZ};  // Я
constexpr LetterKey KeyY{Qt::Key_Y, 0x041D, ScanY};  // Н
constexpr LetterKey KeyA{Qt::Key_A, 0x0424, 38};     // Ф
constexpr LetterKey KeyD{Qt::Key_D, 0x0412, 40};     // В
constexpr LetterKey KeyC{Qt::Key_C, 0x0421, 54};     // С
constexpr LetterKey KeyV{Qt::Key_V, 0x041C, 55};     // М
constexpr LetterKey KeyR{Qt::Key_R, 0x041A, 27};     // К
constexpr quint32 ScanEscape = 9, ScanPageUp = 112, ScanPageDown = 117;

bool Is(const QKeyEvent& event, const LetterKey& k)
{
    return event.key() == k.latin || event.key() == k.cyrillic || X11KeyCode(event) == k.scan;
}

// Ctrl shortcuts by position, in any layout.
Shortcut ShortcutOf(const QKeyEvent& event)
{
    if (!(event.modifiers() & Qt::ControlModifier))
        return Shortcut::None;
    const bool shift = event.modifiers() & Qt::ShiftModifier;
    if (Is(event, KeyZ))
        return shift ? Shortcut::Redo : Shortcut::Undo;
    if (Is(event, KeyY))
        return Shortcut::Redo;
    if (Is(event, KeyA))
        return Shortcut::SelectAll;
    if (Is(event, KeyD))
        return Shortcut::Duplicate;
    if (Is(event, KeyC))
        return Shortcut::Copy;
    if (Is(event, KeyV))
        return Shortcut::Paste;
    return Shortcut::None;
}

void RunShortcut(Shortcut shortcut)
{
    switch (shortcut) {
    case Shortcut::Undo: UndoLastEdit(); break;
    case Shortcut::Redo: RedoLastEdit(); break;
    case Shortcut::SelectAll: SelectAllPlacements(Editor()); break;
    case Shortcut::Duplicate: DuplicateSelection(Editor()); break;
    case Shortcut::Copy: CopySelection(Editor()); break;
    case Shortcut::Paste: PasteAtCursor(Editor()); break;
    case Shortcut::None: break;
    }
}

// The map view's own keys, without Ctrl: true when the key was one.
bool RunMapKey(const QKeyEvent& event)
{
    if (event.modifiers() & Qt::ControlModifier)
        return false;
    const quint32 scan = X11KeyCode(event);
    if (event.key() == Qt::Key_Escape || scan == ScanEscape) {
        ClearSelectionAndPlacing(Editor());
        return true;
    }
    if (event.key() == Qt::Key_PageUp || scan == ScanPageUp) {
        RaiseSelection(Editor(), 1);
        return true;
    }
    if (event.key() == Qt::Key_PageDown || scan == ScanPageDown) {
        RaiseSelection(Editor(), -1);
        return true;
    }
    if (Is(event, KeyR)) {
        const float step = event.modifiers() & Qt::AltModifier ? 15.0f : 90.0f;
        TurnSelection(Editor(), event.modifiers() & Qt::ShiftModifier ? -step : step);
        return true;
    }
    return false;
}

// The main window's enabled menu item whose shortcut is the key, if any.
QAction* ActionOfKey(const TFVantor& window, const QKeyEvent& event)
{
    if (event.key() == 0 || event.key() == Qt::Key_unknown)
        return nullptr;
    const QKeySequence pressed(event.keyCombination());
    for (QAction* action : window.findChildren<QAction*>())
        if (action->isEnabled() && !action->shortcut().isEmpty() && action->shortcut() == pressed)
            return action;
    return nullptr;
}

// An arrow in a 2D view: one nudge of the selection (auto-repeat nudges on).
bool NudgeKey(const QKeyEvent& event, const OrthoViewPane& pane)
{
    int right = 0, up = 0;
    switch (event.key()) {
    case Qt::Key_Left: right = -1; break;
    case Qt::Key_Right: right = 1; break;
    case Qt::Key_Up: up = 1; break;
    case Qt::Key_Down: up = -1; break;
    default: return false;
    }
    Guarded([&] { qx::NudgeInView(Editor(), pane.View().axis, right, up); });
    return true;
}

bool IsDeleteKey(const QKeyEvent& event)
{
    return event.key() == Qt::Key_Delete || X11KeyCode(event) == ScanDelete;
}


void SetFlag(MoveKey key, bool down)
{
    TMoveKeys& keys = Editor().MoveKeys;
    switch (key) {
    case MoveKey::Back: keys.Back = down; break;
    case MoveKey::Forward: keys.Forward = down; break;
    case MoveKey::Right: keys.Right = down; break;
    case MoveKey::Left: keys.Left = down; break;
    case MoveKey::None: break;
    }
}

}  // namespace

bool IsCtrlKey(const QKeyEvent& event)
{
    if (event.key() == Qt::Key_Control)
        return true;
    const uint32_t code = X11KeyCode(event);
    return code == ScanCtrlLeft || code == ScanCtrlRight;
}

bool KeyHook::eventFilter(QObject* watched, QEvent* event)
{
    const QEvent::Type type = event->type();
    if (type != QEvent::KeyPress && type != QEvent::KeyRelease)
        return QObject::eventFilter(watched, event);
    // Keys swallowed here never reach the render timer's own look at input.
    RequestFrame();
    EditorState& state = Editor();
    if (!state.KeysEnabled)
        return false;
    const auto& key = static_cast<const QKeyEvent&>(*event);
    TCamera* camera = state.Camera;
    // A pop-up menu or a modal dialog owns the keyboard while it is open:
    // its keys reach it untouched, and only a release still clears the flag
    // of a key held since before it opened.
    if (QApplication::activePopupWidget() || QApplication::activeModalWidget()) {
        if (type == QEvent::KeyRelease && !key.isAutoRepeat())
            SetFlag(MoveKeyOf(key), false);
        return false;
    }
    // Space held over a 2D view with the focus pans it with the left button:
    // the view itself needs the key, its release too.
    if (key.key() == Qt::Key_Space && key.modifiers() == Qt::NoModifier && dynamic_cast<OrthoViewPane*>(watched))
        return false;
    if (type == QEvent::KeyPress) {
        if (const Shortcut shortcut = ShortcutOf(key); shortcut != Shortcut::None) {
            // A held shortcut repeats only undo and redo.
            const bool repeats = shortcut == Shortcut::Undo || shortcut == Shortcut::Redo;
            if (MainWindow() && (repeats || !key.isAutoRepeat()))
                Guarded([&] { RunShortcut(shortcut); });
            if (state.CtrlLook && camera) {
                PutLook(*camera, lookAtCtrl_);
                camera->MouseLookActive = 0;
                state.CtrlLook = false;
            }
            return state.SwallowKeys;
        }
        // A menu item's own key ("Играть отсюда"): a key swallowed here
        // would never reach it.
        if (QAction* action = MainWindow() ? ActionOfKey(*MainWindow(), key) : nullptr) {
            if (!key.isAutoRepeat())
                Guarded([&] { action->trigger(); });
            if (state.CtrlLook && camera) {
                PutLook(*camera, lookAtCtrl_);
                camera->MouseLookActive = 0;
                state.CtrlLook = false;
            }
            return state.SwallowKeys;
        }
        if (IsDeleteKey(key) && !key.isAutoRepeat()) {
            if (MainWindow())
                Guarded([&] { DeleteSelectionOrNearest(Editor()); });
            return state.SwallowKeys;
        }
        if (MainWindow() && !state.ModelEditMode && !key.isAutoRepeat()) {
            bool ran = false;
            Guarded([&] { ran = RunMapKey(key); });
            if (ran)
                return state.SwallowKeys;
        }
        // A 2D view with the focus (it receives the key): the arrows nudge
        // the selection a grid step in its plane instead of walking the
        // camera.
        if (const auto* pane = dynamic_cast<const OrthoViewPane*>(watched);
            pane && NudgeKey(key, *pane))
            return state.SwallowKeys;
        SetFlag(MoveKeyOf(key), true);
        if (IsCtrlKey(key) && camera && camera->MouseLookActive == 0) {
            lookAtCtrl_ = LookOf(*camera);
            state.CtrlLook = true;
            const QPoint at = QCursor::pos();
            camera->LookAnchorX = at.x();
            camera->LookAnchorY = at.y();
            camera->MouseLookActive = 255;
        }
    } else if (!key.isAutoRepeat()) {
        // A repeat's release is followed by another press: the key is still held.
        SetFlag(MoveKeyOf(key), false);
        if (state.CtrlLook && IsCtrlKey(key)) {
            if (camera)
                camera->MouseLookActive = 0;
            state.CtrlLook = false;
        }
    }
    // Swallowing stands in for replacing the key code: no control of the
    // active main window sees the key.
    return state.SwallowKeys;
}

std::unique_ptr<KeyHook> InstallKeyHook()
{
    auto hook = std::make_unique<KeyHook>();
    QCoreApplication::instance()->installEventFilter(hook.get());
    return hook;
}
