#include "BoxEditor.h"

#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QVariant>

#include <cctype>
#include <iterator>
#include <utility>

#include "Camera.h"
#include "Errors.h"
#include "HandlerGuard.h"
#include "NumberField.h"
#include "NumberText.h"
#include "Primitives.h"
#include "QtText.h"
#include "SessionEdits.h"

namespace {

constexpr int kRowGap = 27;

QLineEdit* MakeEdit(QWidget* parent, const char* name, const char* text, int x, int y)
{
    auto* edit = new QLineEdit(QString::fromLatin1(text), parent);
    edit->setObjectName(name);
    edit->setGeometry(x, y, 61, 21);
    return edit;
}

QPushButton* MakeStepButton(TFBoxEditor* window, QWidget* parent, const char* name, const char* caption, int x, int y,
                            QLineEdit* edit, int step)
{
    auto* button = new QPushButton(QString::fromLatin1(caption), parent);
    button->setObjectName(name);
    button->setGeometry(x, y, 25, 21);
    // The field whose row it steps, so that a field disabled for a kind
    // takes its buttons along.
    button->setProperty("stepEdit", QVariant::fromValue<QObject*>(edit));
    QObject::connect(button, &QPushButton::clicked, parent,
                     [window, edit, step] { Guarded([&] { window->StepEdit(edit, step); }); });
    return button;
}

// One row: minus button, edit, plus button.
QLineEdit* AddRow(TFBoxEditor* window, QWidget* group, int row, const char* minus, const char* name, const char* text,
                  const char* plus)
{
    const int y = 18 + row * kRowGap;
    QLineEdit* edit = MakeEdit(group, name, text, 33, y);
    MakeStepButton(window, group, minus, "-", 5, y, edit, -1);
    MakeStepButton(window, group, plus, "+", 97, y, edit, +1);
    return edit;
}

QGroupBox* MakeGroup(QWidget* parent, const char* name, const char* utf8Caption, int x, int y, int w, int h)
{
    auto* group = new QGroupBox(Ui(utf8Caption), parent);
    group->setObjectName(name);
    group->setGeometry(x, y, w, h);
    return group;
}

std::string TextOf(const QLineEdit* edit) { return FromQString(edit->text()); }

bool ParsesAsBool(std::string_view text)
{
    try {
        qx::TokenToBool(text);
        return true;
    } catch (const qx::Error&) {
        return false;
    }
}

bool BeginsWordNoCase(std::string_view text, std::string_view word)
{
    if (text.size() > word.size())
        return false;
    for (size_t i = 0; i < text.size(); ++i)
        if (std::toupper(static_cast<unsigned char>(text[i])) != word[i])
            return false;
    return true;
}

// "True", "False" in any letter case, or a number.
FieldText ClassifyBoolText(std::string_view text)
{
    const FieldText asNumber = ClassifyFieldText(text, ParsesAsBool);
    if (asNumber == FieldText::NotANumber && (BeginsWordNoCase(text, "TRUE") || BeginsWordNoCase(text, "FALSE")))
        return FieldText::Beginning;
    return asNumber;
}

}  // namespace

TFBoxEditor::TFBoxEditor(QWidget* parent)
    : ToolWindow("FBoxEditor", "Настройка \"Коробки\"", 407, 190, parent)
{
    QGroupBox* position = MakeGroup(this, "GroupBox1", "Расположение (x1,y1,z1)", 0, 0, 133, 106);
    EPosX = AddRow(this, position, 0, "Button6", "EPosX", "0", "Button8");
    EPosY = AddRow(this, position, 1, "Button9", "EPosY", "0", "Button10");
    EPosZ = AddRow(this, position, 2, "Button11", "EPosZ", "0", "Button12");
    QGroupBox* sizes = sizes_ = MakeGroup(this, "GroupBox2", "Размеры (x2,y2,z2)", 139, 0, 133, 106);
    Ex2 = AddRow(this, sizes, 0, "Button13", "Ex2", "0", "Button14");
    Ey2 = AddRow(this, sizes, 1, "Button15", "Ey2", "0", "Button16");
    Ez2 = AddRow(this, sizes, 2, "Button17", "Ez2", "0", "Button18");
    QGroupBox* rotation = MakeGroup(this, "GroupBox3", "Угол поворота (x,y,z)", 274, 0, 133, 106);
    Erotx = AddRow(this, rotation, 0, "Button1", "Erotx", "0", "Button2");
    Eroty = AddRow(this, rotation, 1, "Button3", "Eroty", "0", "Button4");
    Erotz = AddRow(this, rotation, 2, "Button5", "Erotz", "0", "Button7");
    QGroupBox* texturing = MakeGroup(this, "GroupBox4", "Текстурирование 1", 0, 112, 133, 41);
    Etex1 = AddRow(this, texturing, 0, "Button27", "Etex1", "1", "Button28");
    Edit1 = MakeEdit(this, "Edit1", "0", 139, 112);
    Edit2 = MakeEdit(this, "Edit2", "0", 199, 112);
    Edit3 = MakeEdit(this, "Edit3", "1", 352, 112);
    Button29 = new QPushButton(Ui("Создать"), this);
    Button29->setObjectName("Button29");
    Button29->setGeometry(0, 156, 407, 34);

    const std::pair<QLineEdit*, void (TFBoxEditor::*)()> handlers[] = {
        {EPosX, &TFBoxEditor::EPosXChange}, {EPosY, &TFBoxEditor::EPosYChange}, {EPosZ, &TFBoxEditor::EPosZChange},
        {Ex2, &TFBoxEditor::Ex2Change},     {Ey2, &TFBoxEditor::Ey2Change},     {Ez2, &TFBoxEditor::Ez2Change},
        {Erotx, &TFBoxEditor::ErotxChange}, {Eroty, &TFBoxEditor::ErotyChange}, {Erotz, &TFBoxEditor::ErotzChange},
        {Etex1, &TFBoxEditor::Etex1Change}, {Edit1, &TFBoxEditor::Edit1Change}, {Edit2, &TFBoxEditor::Edit2Change},
        {Edit3, &TFBoxEditor::Edit3Change},
    };
    for (size_t i = 0; i < std::size(handlers); ++i)
        fields_[i] = handlers[i].first;
    for (const auto& [edit, handler] : handlers) {
        NumberFieldRules rules;
        rules.apply = [this, handler = handler] { (this->*handler)(); };
        if (edit == Etex1 || edit == Edit1 || edit == Edit2) {
            rules.classify = ClassifyIntText;
            // Integers never fail as designed (bad text counts as 0); a
            // finished text that is none is reported all the same.
            rules.report = [this, edit = edit] {
                if (Placing())
                    qx::StrictTextToInt(TextOf(edit));
            };
        } else if (edit == Edit3) {
            rules.classify = ClassifyBoolText;
        } else {
            rules.emptyIsNoValue = !(edit == Erotx || edit == Eroty || edit == Erotz);
        }
        WatchNumberField(edit, std::move(rules));
    }
    connect(Button29, &QPushButton::clicked, this, [this] { Guarded([this] { Button29Click(); }); });
    for (QPushButton* button : findChildren<QPushButton*>())
        if (auto* edit = qobject_cast<QLineEdit*>(button->property("stepEdit").value<QObject*>()))
            stepButtons_.emplace_back(button, edit);
    UseDocument(ownDocument_);
}

void TFBoxEditor::UseDocument(Document& doc)
{
    doc_ = &doc;
    observation_ = qx::Observation(doc.Events, [this](uint32_t changes) {
        if (changes & (qx::PendingChanged | qx::SessionChanged))
            marked_ = AllFields;
        else if (changes & qx::CursorChanged)
            marked_ |= PositionFields;
    });
}

ShapeFields TFBoxEditor::Shape() const { return qx::PendingFields(*doc_); }

bool TFBoxEditor::FieldText(int i, const ShapeFields& shape, const TVec3& position, std::string& out)
{
    const auto real = [&out](const float* v) {
        if (v)
            AppendFloatToEditText(out, *v);
        return v != nullptr;
    };
    const auto integer = [&out](const uint8_t* v) {
        if (v)
            out += IntToEditText(*v);
        return v != nullptr;
    };
    const TVec3* turn = shape.Rotation;
    switch (i) {
    // The user's Y is the depth (world Z), Z the height (world Y).
    case 0: return real(&position.X);
    case 1: return real(&position.Z);
    case 2: return real(&position.Y);
    case 3:
    case 4:
    case 5: return real(shape.Size[i - 3]);
    case 6: return real(turn ? &turn->X : nullptr);
    case 7: return real(turn ? &turn->Y : nullptr);
    case 8: return real(turn ? &turn->Z : nullptr);
    case 9: return real(shape.Tiling);
    case 10: return integer(shape.BlendEquation);
    case 11: return integer(shape.BlendMode);
    default:
        if (shape.CullFront)
            out += *shape.CullFront ? "1" : "0";
        return shape.CullFront != nullptr;
    }
}

TVec3 TFBoxEditor::ShownPosition(const ShapeFields& shape) const
{
    const double* cursor = doc_->CursorWorld;
    if (doc_->ClickState == 1)
        return TVec3{static_cast<float>(cursor[0]), static_cast<float>(cursor[1]), static_cast<float>(cursor[2])};
    return *shape.Position;
}

void TFBoxEditor::ShowShape(const ShapeFields& shape, const TVec3& position) { ShowFields(shape, position, AllFields); }

void TFBoxEditor::Present(uint32_t which)
{
    which |= std::exchange(marked_, 0u);
    if (!which)
        return;
    const ShapeFields shape = Shape();
    if (!shape) {
        stale_ = 0;
        return;
    }
    ShowFields(shape, ShownPosition(shape), which);
}

void TFBoxEditor::NameKind(ShapeKind kind)
{
    if (namedKind_ == static_cast<int>(kind))
        return;
    namedKind_ = static_cast<int>(kind);
    struct Names {
        const char* caption;
        const char* sizes;
    };
    const Names names = [kind]() -> Names {
        switch (kind) {
        case ShapeKind::Box: break;
        case ShapeKind::Sphere: return {"Настройка \"Сферы\"", "Радиус"};
        case ShapeKind::Torus: return {"Настройка \"Торуса\"", "Радиусы (кольцо, трубка)"};
        case ShapeKind::Floor: return {"Настройка \"Пола\"", "Размеры (x2,y2)"};
        case ShapeKind::Wall: return {"Настройка \"Стены\"", "Размеры (x2,z2)"};
        case ShapeKind::Model3ds:
        case ShapeKind::ModelBlender: return {"Настройка \"Модели\"", "Масштаб (x,y,z)"};
        }
        return {"Настройка \"Коробки\"", "Размеры (x2,y2,z2)"};
    }();
    setWindowTitle(Ui(names.caption));
    sizes_->setTitle(Ui(names.sizes));
}

void TFBoxEditor::ShowFields(const ShapeFields& shape, const TVec3& position, uint32_t which)
{
    NameKind(shape.Kind);
    stale_ &= ~which;
    bool enabling = false;
    for (int i = 0; i < kFields; ++i) {
        if (!(which & (1u << i)))
            continue;
        QLineEdit* edit = fields_[i];
        if (edit->hasFocus()) {
            stale_ |= 1u << i;
            continue;
        }
        scratch_.clear();
        const bool has = FieldText(i, shape, position, scratch_);
        // A field the kind has not is disabled with its plus and minus
        // buttons, and shows nothing.
        if (edit->testAttribute(Qt::WA_ForceDisabled) == has) {
            edit->setEnabled(has);
            enabling = true;
        }
        Shown& shown = shown_[i];
        const QString text = edit->text();
        if (shown.valid && shown.value == scratch_ && text == shown.text && !(text.isEmpty() && FieldMarked(edit)))
            continue;
        shown.value = scratch_;
        shown.text = ToQString(scratch_);
        shown.valid = true;
        ShowFieldValue(edit, shown.text);
    }
    if (enabling)
        for (const auto& [button, edit] : stepButtons_)
            button->setEnabled(!edit->testAttribute(Qt::WA_ForceDisabled));
}

void TFBoxEditor::Remember(const QLineEdit* edit)
{
    const ShapeFields shape = Shape();
    for (int i = 0; i < kFields; ++i)
        if (fields_[i] == edit && shape) {
            scratch_.clear();
            FieldText(i, shape, ShownPosition(shape), scratch_);
            shown_[i] = Shown{scratch_, edit->text(), true};
        }
}

std::string TFBoxEditor::MergeKey(const QLineEdit* edit) const
{
    return stepping_ ? std::string() : edit->objectName().toStdString();
}

void TFBoxEditor::SetCursor(int axis, const QLineEdit* edit)
{
    if (!Placing())
        return;
    const std::string text = TextOf(edit);
    if (text.empty() || doc_->PrimIndex == -1 || doc_->ClickState != 1)
        return;
    const float value = EditTextToFloat(text);
    if (qx::SetLockedCursor(*doc_, axis, value, MergeKey(edit)))
        Remember(edit);
}

void TFBoxEditor::SetField(qx::PendingField field, double value, const QLineEdit* edit)
{
    // The typed text stays as the user spelled it ("1.50"): no present step
    // rewrites it for the value it set.
    if (qx::SetPendingField(*doc_, field, value, MergeKey(edit)))
        Remember(edit);
}

// The second row of the position and size groups is depth (world Z), the
// third the height (world Y): the user's axes.
void TFBoxEditor::EPosXChange() { SetCursor(0, EPosX); }
void TFBoxEditor::EPosYChange() { SetCursor(2, EPosY); }
void TFBoxEditor::EPosZChange() { SetCursor(1, EPosZ); }

void TFBoxEditor::SetSize(qx::PendingField row, const QLineEdit* edit)
{
    if (!Placing())
        return;
    const std::string text = TextOf(edit);
    if (text.empty() || doc_->PrimIndex == -1)
        return;
    SetField(row, EditTextToFloat(text), edit);
}

void TFBoxEditor::Ex2Change() { SetSize(qx::PendingField::Size0, Ex2); }
void TFBoxEditor::Ey2Change() { SetSize(qx::PendingField::Size1, Ey2); }
void TFBoxEditor::Ez2Change() { SetSize(qx::PendingField::Size2, Ez2); }
void TFBoxEditor::ErotxChange()
{
    if (Placing())
        SetField(qx::PendingField::RotationX, EditTextToFloat(TextOf(Erotx)), Erotx);
}
void TFBoxEditor::ErotyChange()
{
    if (Placing())
        SetField(qx::PendingField::RotationY, EditTextToFloat(TextOf(Eroty)), Eroty);
}
void TFBoxEditor::ErotzChange()
{
    if (Placing())
        SetField(qx::PendingField::RotationZ, EditTextToFloat(TextOf(Erotz)), Erotz);
}

void TFBoxEditor::Etex1Change()
{
    if (Placing())
        SetField(qx::PendingField::Tiling, EditTextToInt(TextOf(Etex1)), Etex1);
}

void TFBoxEditor::Edit1Change()
{
    if (Placing())
        SetField(qx::PendingField::BlendEquation, EditTextToInt(TextOf(Edit1)), Edit1);
}

void TFBoxEditor::Edit2Change()
{
    if (Placing())
        SetField(qx::PendingField::BlendMode, EditTextToInt(TextOf(Edit2)), Edit2);
}

void TFBoxEditor::Edit3Change()
{
    if (Placing())
        SetField(qx::PendingField::CullFront, qx::TokenToBool(TextOf(Edit3)) ? 1 : 0, Edit3);
}

void TFBoxEditor::StepEdit(QLineEdit* edit, int step)
{
    const int32_t value = EditTextToInt(FromQString(edit->text()));
    const QString text = ToQString(IntToEditText(value + step));
    // The text's own change handler applies the value, a step of its own.
    stepping_ = true;
    try {
        edit->setText(text);
    } catch (...) {
        stepping_ = false;
        throw;
    }
    stepping_ = false;
}

// As if the scene had been clicked in edit mode: the first press fixes the
// box's position, the second adds the box to the edited object.
void TFBoxEditor::Button29Click()
{
    // Nothing is being shaped (after "Мышка"): nothing to fix or add.
    if (!Placing())
        return;
    TCamera* camera = Link.Camera ? Link.Camera() : nullptr;
    if (!camera || !Link.ClickInView)
        return;
    const uint8_t editMode = camera->EditMode;
    camera->EditMode = 255;
    try {
        Link.ClickInView();
    } catch (...) {
        camera->EditMode = editMode;
        throw;
    }
    camera->EditMode = editMode;
}
