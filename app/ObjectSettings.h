// The object settings window "Настройка объекта": position, rotation and
// scale of the placements selected in the map view (a field whose value
// differs among them is blank; a value typed applies to all of them), and,
// from the object tree's "Параметры", what an object definition holds.  It
// shows itself beside the trees, over the 3D view's corner, without taking
// the keyboard, and comes back where the user last moved it.
#pragma once

#include <QPoint>

#include <string>

#include "ToolWindow.h"

class QLabel;
class QLineEdit;
class TFVantor;

class TFOPos : public ToolWindow {
public:
    explicit TFOPos(QWidget* parent = nullptr);
    ~TFOPos() override;

    // Position: X, the user's Y (world Z) and Z (world Y, the height), as
    // the navigator names them; rotation in degrees about world X, Y, Z;
    // scale along the object's X, Y, Z.
    QLineEdit* OPosX = nullptr;
    QLineEdit* OPosY = nullptr;
    QLineEdit* OPosZ = nullptr;
    QLineEdit* ORotX = nullptr;
    QLineEdit* ORotY = nullptr;
    QLineEdit* ORotZ = nullptr;
    QLineEdit* OScaleX = nullptr;
    QLineEdit* OScaleY = nullptr;
    QLineEdit* OScaleZ = nullptr;
    QLabel* Info = nullptr;

    // The main window whose selection the fields edit.
    TFVantor* Window = nullptr;

    // Fields from the current selection (the one being typed into stays).
    void ShowSelection();
    // "Параметры": the object's box count, placement count and bounds.
    void ShowObject(const std::string& name);

protected:
    void closeEvent(QCloseEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    // Shows the window without taking the keyboard, the first time over the
    // 3D view's corner (or where the user last left it), inside the screen.
    void ShowAside();
    QPoint FirstPlace() const;

    bool closedByUser_ = false;
    bool placed_ = false;
    QPoint placedAt_;
};

