// One frame of the Scene view, run by the render timer: draw the scene in
// its fixed order, move the camera for held keys, sample the 3D cursor from
// the depth under the mouse, and show the cursor in the status bar and the
// navigator.  In steady state (nothing changes) a frame allocates nothing.
#pragma once

#include <QString>

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

void RenderFrame(TFVantor& window);
// The frame without its presentation: the picture stays in the back buffer
// (where tests read it).
void DrawFrame(TFVantor& window);
DisplayOptions ReadDisplayOptions(const FrameCache& cache);

// "Мышка: X=…" and "Сетка: X=…" for a cursor position (1251 bytes), written
// into out (its buffer is reused).
void MouseStatusText(std::string& out, const double cursor[3]);
void GridStatusText(std::string& out, const double cursor[3]);
