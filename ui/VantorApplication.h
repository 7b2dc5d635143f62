// The application object.  An exception that escapes an event handler ends
// that handler only: its text is shown through the message interface and
// the editor goes on, as the default error handler of the design does.
#pragma once

#include <QApplication>

class VantorApplication : public QApplication {
public:
    // Pins the C library's LC_NUMERIC to "C" once Qt has set the locale from
    // the environment, so that no printf or strtod of this process reads or
    // writes numbers in the user's form.  The user's decimal separator is
    // kept apart (NumberText.h) for the places the design uses it.
    VantorApplication(int& argc, char** argv);
    bool notify(QObject* receiver, QEvent* event) override;
};

// Qt's own texts (the buttons of question boxes, the file dialogs) in
// Russian, as the editor's own are, whatever the user's locale.  False,
// with a line on standard error, when Qt's Russian translation is not
// installed: the texts then stay English.
bool LoadRussianQtTexts(QCoreApplication& app);

// Shows the text of the exception being handled (call inside a catch block).
void ShowHandlerException();
