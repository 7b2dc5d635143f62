// One frame of the Scene view, run by the render timer: draw the scene in
// its fixed order, move the camera for held keys, sample the 3D cursor from
// the depth under the mouse, and show the cursor in the status bar and the
// navigator.  In steady state (nothing changes) a frame allocates nothing.
//
// Frames are drawn only when something can change the picture: anything
// that changes it asks for one (RequestFrame), any input to the
// application's windows and any exposure or resize of a window asks too,
// and the timer keeps ticking only while something moves.  An editor with
// nothing to do does not wake.
#pragma once

#include <QObject>
#include <QString>
#include <QTimer>

#include <cstdint>
#include <string>

class QListWidgetItem;
class TFVantor;

// The texts of the five display options, in the order of DisplayOptions.
inline constexpr const char* DisplayOptionTexts[5] = {
    "Не отображать объекты выше камеры", "Определять глубину Z по всем объектам",
    "Отображать названия объектов", "Отображать оси координат", "Отображать сетку"};

// The five display options of the check list, read every frame.
struct DisplayOptions {
    bool hideAbove = false;
    bool depthAll = false;
    bool names = false;
    bool axes = false;
    bool grid = false;
};

// A text last shown in a field, as bytes and as the widget holds it.
struct ShownText {
    std::string bytes;
    QString text;
};

// Per-window buffers of the frame: the option items (found by their texts
// once), the texts last shown, and scratch space reused every frame.
struct FrameCache {
    QListWidgetItem* options[5] = {};
    std::string scratch;
    std::string mouseShown, gridShown;
    std::string navigatorShown[3];
    ShownText boxEditorShown[3];
};

// The render timer.  On (start) once the editor has started, off (stop)
// while a load holds the window still.  While on it draws a frame soon
// after one is asked for, and one every millisecond while something moves:
// held movement keys or flight buttons, mouse-look, a drag.
class FrameTimer : public QObject {
public:
    explicit FrameTimer(TFVantor& window);

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

    TFVantor& window_;
    QTimer tick_;
    bool on_ = false;
    bool pending_ = false;
    uint64_t frames_ = 0;
};

// Asks the main window's render timer for a frame (nothing without one).
void RequestFrame();
// Something keeps changing the picture from frame to frame.
bool SomethingMoves();

void RenderFrame(TFVantor& window);
// The frame without its presentation: the picture stays in the back buffer
// (where tests read it).
void DrawFrame(TFVantor& window);
DisplayOptions ReadDisplayOptions(const FrameCache& cache);

// "Мышка: X=…" and "Сетка: X=…" for a cursor position (1251 bytes), written
// into out (its buffer is reused).
void MouseStatusText(std::string& out, const double cursor[3]);
void GridStatusText(std::string& out, const double cursor[3]);
