// The application-wide key hook.  It sees the key events of every window
// before delivery: arrows and WASD set the movement flags, Ctrl starts and
// ends mouse-look, and while the main window is active the key events are
// swallowed so that no control reacts to them.
#pragma once

#include <QObject>

#include <memory>

#include "MoveKeys.h"
#include "VectorMath.h"

bool IsCtrlKey(const QKeyEvent& event);

// Where the camera looked when Ctrl went down: Ctrl alone starts mouse-look,
// so a shortcut held with it puts the view back.
struct CameraLook {
    float posX = 0, posZ = 0;
    TVec3 eye, target, up;
    float yawStep = 0, pitchStep = 0, prevTargetY = 0;
};

class KeyHook : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    CameraLook lookAtCtrl_;
};

// A hook installed on the application, until it goes.
std::unique_ptr<KeyHook> InstallKeyHook();
