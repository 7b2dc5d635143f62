#include "VantorApplication.h"

#include <exception>
#include <string>

#include "Messages.h"
#include "Text1251.h"

void ShowHandlerException()
{
    std::string text;
    try {
        throw;
    } catch (const std::exception& e) {
        text = e.what();
    } catch (...) {
        text = "Unknown error";
    }
    qx::Messages().ShowMessage(Cp("QX FPS Vantor"), text);
}

bool VantorApplication::notify(QObject* receiver, QEvent* event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (...) {
        ShowHandlerException();
        return false;
    }
}
