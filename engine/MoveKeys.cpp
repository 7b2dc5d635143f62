#include "MoveKeys.h"

#include <QGuiApplication>
#include <QKeyEvent>

namespace {

// X11 key codes of the physical keys; they do not change with the layout.
constexpr uint32_t ScanW = 25, ScanA = 38, ScanS = 39, ScanD = 40;
constexpr uint32_t ScanUp = 111, ScanDown = 116, ScanLeft = 113, ScanRight = 114;

}  // namespace

uint32_t X11KeyCode(const QKeyEvent& event)
{
    if (QGuiApplication::platformName() != QLatin1String("xcb"))
        return 0;
    return event.nativeScanCode();
}

MoveKey MoveKeyOf(const QKeyEvent& event)
{
    switch (event.key()) {
    case Qt::Key_Down:
    case Qt::Key_S:
    case 0x042B:  // Ы
        return MoveKey::Back;
    case Qt::Key_Up:
    case Qt::Key_W:
    case 0x0426:  // Ц
        return MoveKey::Forward;
    case Qt::Key_Right:
    case Qt::Key_D:
    case 0x0412:  // В
        return MoveKey::Right;
    case Qt::Key_Left:
    case Qt::Key_A:
    case 0x0424:  // Ф
        return MoveKey::Left;
    default:
        break;
    }
    switch (X11KeyCode(event)) {
    case ScanS: case ScanDown: return MoveKey::Back;
    case ScanW: case ScanUp: return MoveKey::Forward;
    case ScanD: case ScanRight: return MoveKey::Right;
    case ScanA: case ScanLeft: return MoveKey::Left;
    default: return MoveKey::None;
    }
}
