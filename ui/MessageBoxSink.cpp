#include "MessageBoxSink.h"

#include <QApplication>
#include <QMessageBox>

#include "GLEngine.h"
#include "QtText.h"

QString MessageBoxText(const std::string& cp1251)
{
    QString text = ToQString(cp1251);
    text.replace("\r\n", "\n");
    text.replace('\r', '\n');
    return text;
}

void MessageBoxSink::ShowMessage(const std::string& caption, const std::string& text)
{
    QMessageBox box(QMessageBox::NoIcon, ToQString(caption), MessageBoxText(text), QMessageBox::Ok,
                    QApplication::activeWindow());
    box.exec();
    MakeEngineCurrent();
}

qx::Answer MessageBoxSink::AskYesNoCancel(const std::string& caption, const std::string& text)
{
    QMessageBox box(QMessageBox::NoIcon, ToQString(caption), MessageBoxText(text),
                    QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, QApplication::activeWindow());
    const int result = box.exec();
    MakeEngineCurrent();
    return result == QMessageBox::Yes ? qx::Answer::Yes : result == QMessageBox::No ? qx::Answer::No : qx::Answer::Cancel;
}

bool MessageBoxSink::AskYesNo(const std::string& caption, const std::string& text)
{
    QMessageBox box(QMessageBox::NoIcon, ToQString(caption), MessageBoxText(text),
                    QMessageBox::Yes | QMessageBox::No, QApplication::activeWindow());
    bool yes = box.exec() == QMessageBox::Yes;
    MakeEngineCurrent();
    return yes;
}
