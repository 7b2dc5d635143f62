// The frame's present step: the status bar, the navigator's and the box
// editor's fields, the caption's mark and the undo and redo actions show
// what changed, each written only when what it shows differs.
#include "FrameLoop.h"

#include <QLabel>
#include <QListWidget>

#include <cmath>
#include <string>
#include <utility>

#include "EditorState.h"
#include "HistoryView.h"
#include "MapNavigator.h"
#include "BoxEditor.h"
#include "NumberText.h"
#include "QtText.h"
#include "Vantor.h"
#include "ViewLayout.h"
#include "Wiring.h"

namespace {

// Appends FloatToEditText(v) into the buffer, which a frame reuses.
void AppendNumber(std::string& out, float v) { AppendFloatToEditText(out, v); }

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

// Status panels 2 and 3 and the navigator's cursor fields.
void ShowCursorTexts(TFVantor& window)
{
    FrameCache& cache = window.Frame;
    const double* cursor = Editor().CursorWorld;
    if (!cache.mouseIn2D) {
        MouseStatusText(cache.scratch, cursor);
        ShowText(window.StatusPanels[2], cache.mouseShown, cache.scratch);
    }
    GridStatusText(cache.scratch, cursor);
    ShowText(window.StatusPanels[3], cache.gridShown, cache.scratch);
    if (NavigatorWindow() && NavigatorWindow()->isVisible())
        NavigatorWindow()->ShowCursor(cursor);
}

}  // namespace

// "X", then the user's Y (world Z) and Z (world Y), each snapped to the grid.
void AppendSnappedCursor(std::string& out, const double cursor[3], const char* ySeparator, const char* zSeparator)
{
    AppendFloatToEditText(out, SnapX(static_cast<float>(cursor[0])));
    out += ySeparator;
    AppendFloatToEditText(out, SnapZ(static_cast<float>(cursor[2])));
    out += zSeparator;
    AppendFloatToEditText(out, SnapY(static_cast<float>(cursor[1])));
}

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
    AppendSnappedCursor(text, cursor, "    Y=", "    Z=");
}

DisplayOptions ReadDisplayOptions(const FrameCache& cache)
{
    auto on = [&](int i) { return cache.options[i] && cache.options[i]->checkState() == Qt::Checked; };
    return DisplayOptions{on(0), on(1), on(2), on(3), on(4)};
}

void PresentFrame(TFVantor& window)
{
    const uint32_t marks = std::exchange(window.Frame.toPresent, 0u);
    ShowCursorTexts(window);
    if (window.Views && Editor().Camera)
        window.Views->ShowCamera(*Editor().Camera);
    if (BoxEditorWindow())
        BoxEditorWindow()->Present(BoxEditorWindow()->StaleFields() | (FollowsCursor(Editor()) ? TFBoxEditor::PositionFields : 0u));
    if (marks & qx::HistoryChanged)
        PresentHistory(window);
}

void MarkForPresentation(uint32_t changes)
{
    if (!MainWindow())
        return;
    MainWindow()->Frame.toPresent |= changes;
    if (!MainWindow()->Frame.drawing)
        RequestFrame();
}

void PresentNow()
{
    if (MainWindow())
        PresentFrame(*MainWindow());
}

