// The navigator: grid steps in, 3D cursor out.  The user-facing Y is the
// horizontal depth axis (world Z) and Z the vertical one (world Y).
#pragma once

#include <string>

#include "ToolWindow.h"

class QLineEdit;

class TFNavigator : public ToolWindow {
public:
    explicit TFNavigator(QWidget* parent = nullptr);

    QLineEdit* Ex = nullptr;
    QLineEdit* Ey = nullptr;
    QLineEdit* Ez = nullptr;
    QLineEdit* E3dx = nullptr;
    QLineEdit* E3dy = nullptr;
    QLineEdit* E3dz = nullptr;

    void ExChange();
    void EyChange();
    void EzChange();

    // The three grid fields show the same text (start-up).
    void ShowGridSteps(const std::string& cp1251);
    // The cursor fields show the 3D cursor rounded, each written only when
    // its text changes and never while the user types into it.
    void ShowCursor(const double cursor[3]);

private:
    std::string cursorShown_[3];
};

