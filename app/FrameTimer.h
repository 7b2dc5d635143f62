// The render timer of the main window: frames when something can change
// the picture, none while the editor has nothing to do.
#pragma once

#include <QObject>
#include <QTimer>

#include <cstdint>
#include <functional>

// The render timer.  On (start) once the editor has started, off (stop)
// while a load holds the window still.  While on it draws a frame soon
// after one is asked for, and one every millisecond while something moves:
// held movement keys or flight buttons, mouse-look, a drag.
class FrameTimer : public QObject {
public:
    // `draw` draws one frame; `present` shows what waits to be shown,
    // before an input the user acts on.
    FrameTimer(QObject* parent, std::function<void()> draw, std::function<void()> present);
    ~FrameTimer() override;

    void start();
    void stop();
    bool isActive() const { return on_; }
    // Frames asked for before the next one drawn make one frame.
    void Request();
    // Draws the frame asked for now: an input that reads the 3D cursor
    // reads it sampled where the mouse is.
    void DrawPending();
    uint64_t FramesDrawn() const { return frames_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Tick();

    std::function<void()> draw_;
    std::function<void()> present_;
    QTimer tick_;
    bool on_ = false;
    bool pending_ = false;
    uint64_t frames_ = 0;
};

// Something keeps changing the picture from frame to frame: held movement
// keys or flight buttons, mouse-look, a drag.
bool SomethingMoves();
