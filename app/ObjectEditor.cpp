#include "ObjectEditor.h"

#include <QCloseEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>

#include <cmath>

#include "EditorState.h"
#include "MapCommands.h"
#include "MapEdits.h"
#include "NumberField.h"
#include "NumberText.h"
#include "PrimitiveList.h"
#include "QX3DObject.h"
#include "QtText.h"

TFOPos* FOPos = nullptr;

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

}  // namespace

TFOPos::TFOPos(QWidget* parent) : ToolWindow("FOPos", "Настройка объекта", 382, 232, parent)
{
    FOPos = this;
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
                SetSelectedField(*Window, f.value, EditTextToFloat(FromQString(edit->text())), f.name);
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
            show();
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
    show();
    raise();
}

void TFOPos::closeEvent(QCloseEvent* event)
{
    closedByUser_ = true;
    ToolWindow::closeEvent(event);
}
