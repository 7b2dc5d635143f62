#include "KeyHook.h"

#include <QApplication>
#include <QCursor>
#include <QGuiApplication>
#include <QKeyEvent>

#include "Camera.h"
#include "EditorState.h"

namespace {

// X11 key codes (evdev + 8) of the Ctrl keys, whatever the layout.
constexpr quint32 ScanCtrlLeft = 37, ScanCtrlRight = 105;

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
        SetFlag(MoveKeyOf(key), true);
        if (IsCtrlKey(key) && camera && camera->MouseLookActive == 0) {
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
