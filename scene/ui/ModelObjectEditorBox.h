// The box editor: a small tool window in which the designer shapes the
// primitive (a box, floor, wall, sphere, torus or model) that is about to be
// added to the object being edited.  It lives in the main window's pending
// primitive; this window owns no data, it edits fields of that primitive and
// the frozen 3D cursor through the link the main window installs.  Fields
// the kind does not have are disabled; a model's sizes are its scale.
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

#include "ShapeFields.h"
#include "ToolWindow.h"
#include "VectorMath.h"

class QGroupBox;
class QLineEdit;
class QPushButton;
class TCamera;

// What the window reads and writes of the main window's state.
struct BoxEditorLink {
    std::function<bool()> Placing;
    std::function<int32_t()> PrimIndex;
    std::function<uint8_t()> ClickState;
    // The 3D cursor (X, Y, Z; Y is the height).
    std::function<double*()> CursorWorld;
    // Primitive PrimIndex of list 0 of the pending primitive; empty when
    // there is none.
    std::function<ShapeFields()> PendingShape;
    std::function<TCamera*()> Camera;
    // The scene panel's click handler of the main window.
    std::function<void()> SceneClick;
    // Runs a change of the box or the cursor as one edit of the history;
    // changes with the same non-empty key in a row are one edit.  Null: the
    // change just runs.
    std::function<void(const std::string& mergeKey, const std::function<void()>& change)> Edit;
};

class TFBoxEditor : public ToolWindow {
public:
    explicit TFBoxEditor(QWidget* parent = nullptr);
    ~TFBoxEditor() override;

    BoxEditorLink Link;

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
    // The frame's present step: the fields in `which` show the pending
    // primitive as it is now, as ShowShape does.
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
    std::string scratch_;

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

    bool Placing() const { return Link.Placing && Link.Placing(); }
    void Apply(const QLineEdit* edit, const std::function<void()>& change);
    ShapeFields Shape() const { return Link.PendingShape ? Link.PendingShape() : ShapeFields(); }
    // Position fields write the frozen cursor; size fields the box's size.
    void SetCursor(int axis, const QLineEdit* edit);
    void SetSize(int row, const QLineEdit* edit);
    void SetRotation(float TVec3::*axis, const QLineEdit* edit);
};

extern TFBoxEditor* FBoxEditor;
