#include "ToolWindow.h"

#include <QEvent>

#include "QtText.h"

ToolWindow::ToolWindow(const char* objectName, const char* utf8Caption, int clientWidth, int clientHeight,
                       QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::WindowStaysOnTopHint)
{
    setObjectName(objectName);
    setWindowTitle(Ui(utf8Caption));
    QFont font("Tahoma");
    font.setPointSize(8);
    setFont(font);
    setFixedSize(clientWidth, clientHeight);
}

void ToolWindow::changeEvent(QEvent* event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::ActivationChange) {
        if (isActiveWindow())
            FormActivate();
        else
            FormDeactivate();
    }
}
