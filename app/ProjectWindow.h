// What the project commands ask of the window they run in, and no more: to
// hold still behind a progress dialog while a project is read, and to name
// the open project in its caption.  The main window is one; a test may be
// another.
#pragma once

#include <memory>

class LoadSession;
class QString;

class ProjectWindow {
public:
    // The window takes no input and draws no frame while the result lives.
    virtual std::unique_ptr<LoadSession> HoldForLoad() = 0;
    virtual void ShowProjectCaption(const QString& caption) = 0;

protected:
    ~ProjectWindow() = default;
};
