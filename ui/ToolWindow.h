// Base of the small always-on-top tool windows.  Keeps the opacity value the
// windows set on activation (255) and deactivation (155); window
// transparency itself stays off, so the value has no visible effect.
#pragma once

#include <QWidget>

class ToolWindow : public QWidget {
public:
    ToolWindow(const char* objectName, const char* utf8Caption, int clientWidth, int clientHeight,
               QWidget* parent = nullptr);
    int AlphaBlendValue() const { return alphaBlendValue_; }
    void FormActivate() { alphaBlendValue_ = 255; }
    void FormDeactivate() { alphaBlendValue_ = 155; }

protected:
    void changeEvent(QEvent* event) override;

private:
    int alphaBlendValue_ = 255;
};
