#include "MessageBoxSink.h"

#include <QApplication>
#include <QMessageBox>

#include "GLEngine.h"
#include "QtText.h"

void MessageBoxSink::ShowMessage(const std::string& caption, const std::string& text)
{
    QMessageBox box(QMessageBox::NoIcon, ToQString(caption), ToQString(text), QMessageBox::Ok,
                    QApplication::activeWindow());
    box.exec();
    MakeEngineCurrent();
}

bool MessageBoxSink::AskYesNo(const std::string& caption, const std::string& text)
{
    QMessageBox box(QMessageBox::NoIcon, ToQString(caption), ToQString(text),
                    QMessageBox::Yes | QMessageBox::No, QApplication::activeWindow());
    bool yes = box.exec() == QMessageBox::Yes;
    MakeEngineCurrent();
    return yes;
}
