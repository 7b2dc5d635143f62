// The application-wide key hook.  It sees the key events of every window
// before delivery: arrows and WASD set the movement flags, Ctrl starts and
// ends mouse-look, and while the main window is active the key events are
// swallowed so that no control reacts to them.
#pragma once

#include <QObject>

#include "MoveKeys.h"

bool IsCtrlKey(const QKeyEvent& event);

class KeyHook : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};

// Installs the hook on the application (once).
void InstallKeyHook();
