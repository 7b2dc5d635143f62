// The box editor: a small tool window in which the designer shapes the
// primitive (a box, floor, wall, sphere, torus or model) that is about to be
// added to the object being edited.  It shows the document's pending
// primitive and the cursor a first click locked, and changes them only
// through the document's edits (PendingEdits.h); told of a change, it marks
// the fields to show at the next present step.  Fields the kind does not
// have are disabled; a model's sizes are its scale.
//
// Every edit's change handler runs when its text becomes a number, also when
// a program sets it.  Typing is never interrupted: a text that is only the
// beginning of a number changes nothing, and one that is no number is marked
// and reported with the conversion error (qx::ConvertError, shown by the
// handler guard) when the user presses Enter or leaves the field; the box
// keeps its last good value.
#pragma once

#include <QString>

#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "Document.h"
#include "PendingEdits.h"
#include "ShapeFields.h"
#include "ToolWindow.h"
#include "VectorMath.h"

class QGroupBox;
class QLineEdit;
class QPushButton;
class TCamera;

// What the window asks of the main window: its camera and its scene
// panel's click, which "Создать" makes.
struct BoxEditorLink {
    std::function<TCamera*()> Camera;
    std::function<void()> ClickInView;
};

class TFBoxEditor : public ToolWindow {
public:
    explicit TFBoxEditor(QWidget* parent = nullptr);

    BoxEditorLink Link;

    // The document whose pending primitive the window shows and edits from
    // now on (its own until then).
    void UseDocument(Document& doc);

    QLineEdit* EPosX = nullptr;
    QLineEdit* EPosY = nullptr;
    QLineEdit* EPosZ = nullptr;
    QLineEdit* Ex2 = nullptr;
    QLineEdit* Ey2 = nullptr;
    QLineEdit* Ez2 = nullptr;
    QLineEdit* Erotx = nullptr;
    QLineEdit* Eroty = nullptr;
    QLineEdit* Erotz = nullptr;
    QLineEdit* Etex1 = nullptr;
    QLineEdit* Edit1 = nullptr;
    QLineEdit* Edit2 = nullptr;
    QLineEdit* Edit3 = nullptr;
    QPushButton* Button29 = nullptr;

    void EPosXChange();
    void EPosYChange();
    void EPosZChange();
    void Ex2Change();
    void Ey2Change();
    void Ez2Change();
    void ErotxChange();
    void ErotyChange();
    void ErotzChange();
    void Etex1Change();
    void Edit1Change();
    void Edit2Change();
    void Edit3Change();
    void Button29Click();
    // Every field shows the primitive's value (the position from
    // `position`: the locked cursor or the primitive's own), without running
    // the handlers; the fields it does not have are disabled and empty.  A
    // field is written only when its value or its text differs from what it
    // was last shown, and never while the user types into it.
    void ShowShape(const ShapeFields& shape, const TVec3& position);

    // The fields as bits, in the order EPosX, EPosY, EPosZ, Ex2, Ey2, Ez2,
    // Erotx, Eroty, Erotz, Etex1, Edit1, Edit2, Edit3.
    static constexpr uint32_t PositionFields = 0x7;
    static constexpr uint32_t AllFields = 0x1fff;
    // The frame's present step: the fields in `which`, and those the
    // document's news marked since, show the pending primitive as it is
    // now, as ShowShape does.
    void Present(uint32_t which);
    // The fields a present step left alone because the user was typing.
    uint32_t StaleFields() const { return stale_; }
    // The plus and minus buttons: the edit's integer value plus `step`, an
    // edit of its own.
    void StepEdit(QLineEdit* edit, int step);

private:
    static constexpr int kFields = 13;
    // What a field last showed: the value's text, and the field's text then
    // (the user's own spelling, after typing a value).
    struct Shown {
        std::string value;
        QString text;
        bool valid = false;
    };

    // The plus and minus buttons with the field each steps, found once: a
    // property lookup per button and field would cost every refresh.
    std::vector<std::pair<QPushButton*, QLineEdit*>> stepButtons_;
    QLineEdit* fields_[kFields] = {};
    QGroupBox* sizes_ = nullptr;
    // The kind the caption and the size row's title name; -1 before the first.
    int namedKind_ = -1;
    Shown shown_[kFields];
    uint32_t stale_ = 0;
    // Marked by the document's news for the next present step.
    uint32_t marked_ = 0;
    std::string scratch_;
    Document ownDocument_;
    Document* doc_ = nullptr;
    qx::Observation observation_;
    // A plus or minus button's edit is a step of its own.
    bool stepping_ = false;

    // The text field `i` shows of the shape, appended to `out`; false when
    // the kind has not that field.
    static bool FieldText(int i, const ShapeFields& shape, const TVec3& position, std::string& out);
    // The locked cursor once the first click fixed it, else the primitive's own.
    TVec3 ShownPosition(const ShapeFields& shape) const;
    void ShowFields(const ShapeFields& shape, const TVec3& position, uint32_t which);
    // The caption and the size row say what the kind's fields are.
    void NameKind(ShapeKind kind);
    // After the user's edit the field stands for the value it set.
    void Remember(const QLineEdit* edit);

    bool Placing() const { return doc_->Placing; }
    ShapeFields Shape() const;
    // The field's key: values typed into one field in a row are one step.
    std::string MergeKey(const QLineEdit* edit) const;
    // Position fields set the locked cursor; the others the primitive's
    // fields.
    void SetCursor(int axis, const QLineEdit* edit);
    void SetSize(qx::PendingField row, const QLineEdit* edit);
    void SetField(qx::PendingField field, double value, const QLineEdit* edit);
};
