// The application object.  An exception that escapes an event handler ends
// that handler only: its text is shown through the message interface and
// the editor goes on, as the default error handler of the design does.
#pragma once

#include <QApplication>

class VantorApplication : public QApplication {
public:
    using QApplication::QApplication;
    bool notify(QObject* receiver, QEvent* event) override;
};

// Shows the text of the exception being handled (call inside a catch block).
void ShowHandlerException();
