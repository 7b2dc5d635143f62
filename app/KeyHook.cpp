#include "KeyHook.h"

#include <QApplication>
#include <QCursor>
#include <QGuiApplication>
#include <QKeyEvent>

#include "Camera.h"
#include "EditRecording.h"
#include "EditorState.h"
#include "HandlerGuard.h"
#include "Vantor.h"

namespace {

// X11 key codes (evdev + 8) of the Ctrl keys, whatever the layout.
constexpr quint32 ScanCtrlLeft = 37, ScanCtrlRight = 105;
constexpr quint32 ScanZ = 52, ScanY = 29, ScanDelete = 119;

// Where the camera looked when Ctrl went down: Ctrl alone starts mouse-look,
// so a shortcut held with it puts the view back.
struct CameraLook {
    float posX = 0, posZ = 0;
    TVec3 eye, target, up;
    float yawStep = 0, pitchStep = 0, prevTargetY = 0;
};
CameraLook g_lookAtCtrl;

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

enum class Shortcut { None, Undo, Redo };

// Z and Y by position, in any layout (Я and Н on a Russian keyboard).
Shortcut ShortcutOf(const QKeyEvent& event)
{
    if (!(event.modifiers() & Qt::ControlModifier))
        return Shortcut::None;
    const bool shift = event.modifiers() & Qt::ShiftModifier;
    const quint32 scan = X11KeyCode(event);
    const int key = event.key();
    if (key == Qt::Key_Z || key == 0x042F || scan == ScanZ)
        return shift ? Shortcut::Redo : Shortcut::Undo;
    if (key == Qt::Key_Y || key == 0x041D || scan == ScanY)
        return Shortcut::Redo;
    return Shortcut::None;
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
    if (type == QEvent::KeyPress) {
        if (const Shortcut shortcut = ShortcutOf(key); shortcut != Shortcut::None) {
            if (FVantor)
                Guarded([&] {
                    if (shortcut == Shortcut::Undo)
                        UndoLastEdit(*FVantor);
                    else
                        RedoLastEdit(*FVantor);
                });
            if (state.CtrlLook && camera) {
                PutLook(*camera, g_lookAtCtrl);
                camera->MouseLookActive = 0;
                state.CtrlLook = false;
            }
            return state.SwallowKeys;
        }
        if (IsDeleteKey(key) && !key.isAutoRepeat()) {
            DeletePlacementNearCursor();
            return state.SwallowKeys;
        }
        SetFlag(MoveKeyOf(key), true);
        if (IsCtrlKey(key) && camera && camera->MouseLookActive == 0) {
            g_lookAtCtrl = LookOf(*camera);
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

void InstallKeyHook()
{
    static KeyHook* hook = nullptr;
    if (!hook) {
        hook = new KeyHook(QCoreApplication::instance());
        QCoreApplication::instance()->installEventFilter(hook);
    }
}
