#include "MapNavigator.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QValidator>

#include <climits>
#include <cmath>
#include <cstdint>

#include "EditorState.h"
#include "NumberField.h"
#include "NumberText.h"
#include "QtText.h"

namespace {

constexpr float MinimumGridStep = 0.1f;

class LowerCaseValidator : public QValidator {
public:
    using QValidator::QValidator;
    State validate(QString& input, int&) const override
    {
        input = input.toLower();
        return Acceptable;
    }
};

QLineEdit* AddRow(QGroupBox* group, int row, const char* label, const char* name, const char* text)
{
    QFont bold("Tahoma");
    bold.setBold(true);
    bold.setPixelSize(13);
    auto* caption = new QLabel(QString::fromLatin1(label), group);
    caption->setFont(bold);
    caption->setStyleSheet("color: black");
    caption->setGeometry(6, 16 + row * 24, 14, 21);
    auto* edit = new QLineEdit(Ui(text), group);
    edit->setObjectName(name);
    edit->setGeometry(22, 16 + row * 24, 56, 21);
    return edit;
}

// Stores a grid field's value in a step; empty text and values below the
// minimum leave the step alone.  A text that is no number raises the
// conversion error, which the handler guard shows.
void ApplyGridText(const QLineEdit* edit, float& step)
{
    std::string text = FromQString(edit->text());
    if (text.empty())
        return;
    float value = EditTextToFloat(text);
    if (value < MinimumGridStep)
        return;
    step = value;
}

// Round half to even into the integer range (a NaN cursor shows 0).
int32_t RoundToInt(double v)
{
    if (!std::isfinite(v))
        return 0;
    double r = std::nearbyint(v);
    if (r > 2147483647.0)
        return 2147483647;
    if (r < -2147483648.0)
        return INT32_MIN;
    return static_cast<int32_t>(r);
}

}  // namespace

TFNavigator::TFNavigator(QWidget* parent) : ToolWindow("FNavigator", "Навигатор", 168, 93, parent)
{
    move(300, 140);
    auto* grid = new QGroupBox(Ui("Сетка"), this);
    grid->setObjectName("GroupBox1");
    grid->setGeometry(0, 0, 84, 93);
    Ex = AddRow(grid, 0, "X", "Ex", "0,1");
    Ey = AddRow(grid, 1, "Y", "Ey", "0,1");
    Ez = AddRow(grid, 2, "Z", "Ez", "0,1");
    auto* cursor = new QGroupBox(Ui("3D Курсор"), this);
    cursor->setObjectName("GroupBox2");
    cursor->setGeometry(84, 0, 84, 93);
    E3dx = AddRow(cursor, 0, "X", "E3dx", "8");
    E3dy = AddRow(cursor, 1, "Y", "E3dy", "8");
    E3dz = AddRow(cursor, 2, "Z", "E3dz", "1");

    // Ex forces its input to lower case, as the design's field does.  The
    // validator turns the text before it changes, so the change handler
    // sees one change (and shows at most one conversion error).
    Ex->setValidator(new LowerCaseValidator(Ex));
    // Typing never interrupted: a beginning of a number waits, a text that is
    // none is reported when the field is left (NumberField.h).
    const std::pair<QLineEdit*, void (TFNavigator::*)()> handlers[] = {
        {Ex, &TFNavigator::ExChange}, {Ey, &TFNavigator::EyChange}, {Ez, &TFNavigator::EzChange}};
    for (const auto& [edit, handler] : handlers) {
        NumberFieldRules rules;
        rules.apply = [this, handler = handler] { (this->*handler)(); };
        rules.emptyIsNoValue = true;
        WatchNumberField(edit, std::move(rules));
    }
}

void TFNavigator::ExChange() { ApplyGridText(Ex, Editor().GridStepX); }

void TFNavigator::EyChange() { ApplyGridText(Ey, Editor().GridStepZ); }

void TFNavigator::EzChange() { ApplyGridText(Ez, Editor().GridStepY); }

void TFNavigator::ShowGridSteps(const std::string& cp1251)
{
    const QString text = ToQString(cp1251);
    Ex->setText(text);
    Ey->setText(text);
    Ez->setText(text);
}

void TFNavigator::ShowCursor(const double cursor[3])
{
    // The user's Y is the depth (world Z), Z the height (world Y).
    QLineEdit* const fields[3] = {E3dx, E3dy, E3dz};
    const double values[3] = {cursor[0], cursor[2], cursor[1]};
    for (int i = 0; i < 3; ++i) {
        std::string text = IntToEditText(RoundToInt(values[i]));
        if (text == cursorShown_[i] || fields[i]->hasFocus())
            continue;
        fields[i]->setText(ToQString(text));
        cursorShown_[i] = std::move(text);
    }
}
