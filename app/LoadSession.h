// What the editor does while a project loads: no frames, no key movement,
// no input anywhere but the progress dialog, which shows once the load has
// taken half a second (files and textures done out of all, with Cancel;
// then the objects prepared for drawing, past cancelling).
// Input that arrived meanwhile is dropped at the end, not replayed on the
// loaded project.
#pragma once

#include <QObject>
#include <QProgressDialog>

class FrameTimer;
class QWidget;

class LoadSession : public QObject {
public:
    // `window` is the dialog's parent; `timer` (may be null) draws no frame
    // meanwhile.
    LoadSession(QWidget& window, FrameTimer* timer, int showAfterMs = 500);
    ~LoadSession() override;

    // Shows progress; false once the user pressed Cancel.
    bool Report(int done, int total);
    // Shows the objects' GL build; the load cannot be cancelled any more.
    void ReportBuilding(int done, int total);
    QProgressDialog& Dialog() { return dialog_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    FrameTimer* timer_;
    QProgressDialog dialog_;
    bool rendering_ = false;
    bool keysEnabled_ = true;
};
