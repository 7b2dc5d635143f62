#include "ObjectSettings.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QTreeWidget>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>

#include <algorithm>
#include <cmath>

#include "EditorState.h"
#include "MapCommands.h"
#include "MapEdits.h"
#include "NumberField.h"
#include "NumberText.h"
#include "PrimitiveList.h"
#include "QX3DObject.h"
#include "QtText.h"
#include "Settings.h"
#include "Vantor.h"

namespace {

struct FieldOf {
    QLineEdit* TFOPos::*edit;
    float TPlacement::*value;
    const char* name;
};

// The user's Y is the depth (world Z), Z the height (world Y).
constexpr FieldOf kFields[] = {
    {&TFOPos::OPosX, &TPlacement::PosX, "OPosX"},       {&TFOPos::OPosY, &TPlacement::PosZ, "OPosY"},
    {&TFOPos::OPosZ, &TPlacement::PosY, "OPosZ"},       {&TFOPos::ORotX, &TPlacement::RotX, "ORotX"},
    {&TFOPos::ORotY, &TPlacement::RotY, "ORotY"},       {&TFOPos::ORotZ, &TPlacement::RotZ, "ORotZ"},
    {&TFOPos::OScaleX, &TPlacement::ScaleX, "OScaleX"}, {&TFOPos::OScaleY, &TPlacement::ScaleY, "OScaleY"},
    {&TFOPos::OScaleZ, &TPlacement::ScaleZ, "OScaleZ"},
};

QGroupBox* MakeGroup(QWidget* parent, const char* utf8Caption, int x)
{
    auto* group = new QGroupBox(Ui(utf8Caption), parent);
    group->setGeometry(x, 0, 124, 106);
    return group;
}

QLineEdit* MakeField(QGroupBox* group, int row, const char* label, const char* name)
{
    auto* caption = new QLabel(QString::fromLatin1(label), group);
    caption->setGeometry(8, 20 + row * 27, 14, 21);
    auto* edit = new QLineEdit(group);
    edit->setObjectName(name);
    edit->setGeometry(24, 20 + row * 27, 92, 21);
    return edit;
}

std::string Number(double v) { return FloatToEditText(static_cast<float>(v)); }

// The place moved as little as needed for a window of `size` to lie inside `area`.
QPoint Inside(QPoint place, QSize size, const QRect& area)
{
    place.setX(std::clamp(place.x(), area.left(), std::max(area.left(), area.right() + 1 - size.width())));
    place.setY(std::clamp(place.y(), area.top(), std::max(area.top(), area.bottom() + 1 - size.height())));
    return place;
}

}  // namespace

TFOPos::TFOPos(QWidget* parent) : ToolWindow("FOPos", "Настройка объекта", 382, 232, parent)
{
    QGroupBox* groups[3] = {MakeGroup(this, "Положение", 4), MakeGroup(this, "Поворот", 129),
                            MakeGroup(this, "Масштаб", 254)};
    const char* axes[3] = {"X", "Y", "Z"};
    for (int i = 0; i < 9; ++i) {
        const FieldOf& f = kFields[i];
        this->*f.edit = MakeField(groups[i / 3], i % 3, axes[i % 3], f.name);
        NumberFieldRules rules;
        rules.emptyIsNoValue = true;
        QLineEdit* edit = this->*f.edit;
        rules.apply = [this, edit, f] {
            if (Window)
                SetSelectedField(Editor(), f.value, EditTextToFloat(FromQString(edit->text())), f.name);
        };
        WatchNumberField(edit, std::move(rules));
    }
    Info = new QLabel(this);
    Info->setObjectName("Info");
    Info->setGeometry(8, 112, 366, 112);
    Info->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Info->setWordWrap(true);
    ShowSelection();
}

void TFOPos::ShowSelection()
{
    const EditorState& state = Editor();
    const std::vector<int32_t> selection = qx::SelectedIndices(state, state.Selection);
    for (const FieldOf& f : kFields) {
        QLineEdit* edit = this->*f.edit;
        edit->setEnabled(!selection.empty());
        if (edit->hasFocus())
            continue;
        // Blank where the selected placements differ.
        QString text;
        if (!selection.empty()) {
            const float first = state.Placements[static_cast<size_t>(selection[0])].*f.value;
            bool same = true;
            for (const int32_t i : selection)
                same = same && state.Placements[static_cast<size_t>(i)].*f.value == first;
            if (same)
                text = ToQString(FloatToEditText(first));
        }
        if (edit->text() != text)
            ShowFieldValue(edit, text);
    }
    if (!selection.empty()) {
        Info->setText(Ui("Выбрано объектов: ") + QString::number(selection.size()));
        if (!closedByUser_ && !isVisible())
            ShowAside();
    }
}

void TFOPos::ShowObject(const std::string& name)
{
    const EditorState& state = Editor();
    const int32_t k = state.FindObject(name);
    if (k < 0)
        return;
    const TQX3DObject& object = *state.MapObjects[static_cast<size_t>(k)];
    int boxes = 0;
    for (const auto& list : object.Lists)
        boxes += list->BoxCount;
    int placed = 0;
    for (int32_t i = 0; i < state.PlacementCount; ++i)
        placed += state.PlacementNames[static_cast<size_t>(i)] == name;
    std::string text = Cp("Объект ") + name + Cp(": коробок ") + std::to_string(boxes) + Cp(", размещений ") +
                       std::to_string(placed) + ".";
    const qx::Bounds bounds = qx::ObjectBounds(object);
    if (!bounds.empty)
        text += Cp("\nГраницы: X ") + Number(bounds.min[0]) + " .. " + Number(bounds.max[0]) + Cp(", Y ") +
                Number(bounds.min[2]) + " .. " + Number(bounds.max[2]) + Cp(", Z ") + Number(bounds.min[1]) +
                " .. " + Number(bounds.max[1]) + ".";
    Info->setText(ToQString(text));
    closedByUser_ = false;
    ShowAside();
    raise();
}

void TFOPos::ShowAside()
{
    if (!placed_) {
        placed_ = true;
        move(FirstPlace());
        placedAt_ = pos();
    }
    // Shown because of what the user did elsewhere: the keys stay there.
    setAttribute(Qt::WA_ShowWithoutActivating);
    show();
}

QPoint TFOPos::FirstPlace() const
{
    const QSize size = frameGeometry().size();
    if (const auto saved = SavedWindowPlace("FOPos")) {
        const QPoint place(saved->first, saved->second);
        QScreen* there = QGuiApplication::screenAt(place + QPoint(size.width() / 2, size.height() / 2));
        return Inside(place, size, (there ? there : screen())->availableGeometry());
    }
    if (!Window || !Window->Scene)
        return pos();
    const auto global = [](const QWidget* widget) {
        return widget && widget->isVisible() ? QRect(widget->mapToGlobal(QPoint(0, 0)), widget->size()) : QRect();
    };
    const QRect trees = global(Window->ObjectList) | global(Window->MapList) | global(Window->OBJList);
    const QRect view = global(Window->Scene);
    const QRect area = Window->screen()->availableGeometry();
    // The 3D view's corners away from the trees first (the navigator sits
    // near its top left), then the screen's, where a window larger than the
    // screen leaves no corner of the view in sight.
    const int margin = 8;
    const QPoint candidates[] = {
        {view.right() + 1 - size.width() - margin, view.top() + margin},
        {view.right() + 1 - size.width() - margin, view.bottom() + 1 - size.height() - margin},
        {area.right() + 1 - size.width(), area.top()},
        {area.right() + 1 - size.width(), area.bottom() + 1 - size.height()},
        {area.left(), area.top()},
        {area.left(), area.bottom() + 1 - size.height()},
    };
    QPoint best;
    long long bestCover = -1;
    for (const QPoint& candidate : candidates) {
        const QPoint place = Inside(candidate, size, area);
        const QRect covered = QRect(place, size) & trees;
        const long long cover = covered.isEmpty() ? 0 : static_cast<long long>(covered.width()) * covered.height();
        if (bestCover < 0 || cover < bestCover) {
            best = place;
            bestCover = cover;
        }
        if (cover == 0)
            break;
    }
    return best;
}

void TFOPos::hideEvent(QHideEvent* event)
{
    // Where the user moved it is where it comes back, also after a restart.
    if (placed_ && pos() != placedAt_) {
        placedAt_ = pos();
        SaveWindowPlace("FOPos", placedAt_.x(), placedAt_.y());
    }
    ToolWindow::hideEvent(event);
}

TFOPos::~TFOPos()
{
    if (isVisible() && placed_ && pos() != placedAt_)
        SaveWindowPlace("FOPos", pos().x(), pos().y());
}

void TFOPos::closeEvent(QCloseEvent* event)
{
    closedByUser_ = true;
    ToolWindow::closeEvent(event);
}
