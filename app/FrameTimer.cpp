// The render timer: frames when something can change the picture, none
// while the editor has nothing to do.
#include "FrameTimer.h"

#include <QCoreApplication>
#include <QEvent>

#include "Camera.h"
#include "EditorState.h"
#include "HandlerGuard.h"

FrameTimer::FrameTimer(QObject* parent, std::function<void()> draw, std::function<void()> present)
    : QObject(parent), draw_(std::move(draw)), present_(std::move(present))
{
    tick_.setInterval(1);
    connect(&tick_, &QTimer::timeout, this, [this] { Tick(); });
    QCoreApplication::instance()->installEventFilter(this);
}

FrameTimer::~FrameTimer() = default;

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
    Guarded([this] { draw_(); });
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
        present_();
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

bool SomethingMoves()
{
    const EditorState& state = Editor();
    const TMoveKeys& keys = state.MoveKeys;
    return keys.Back || keys.Forward || keys.Right || keys.Left ||
           (state.Camera && state.Camera->MouseLookActive != 0) || state.Drag.active;
}
