#include "VantorApplication.h"

#include <clocale>
#include <exception>
#include <string>

#include "Errors.h"
#include "Messages.h"
#include "Text1251.h"

void ShowHandlerException()
{
    std::string text;
    try {
        throw;
    } catch (const qx::ReportedError&) {
        return;
    } catch (const std::exception& e) {
        text = e.what();
    } catch (...) {
        text = "Unknown error";
    }
    qx::Messages().ShowMessage(Cp("QX FPS Vantor"), text);
}

VantorApplication::VantorApplication(int& argc, char** argv) : QApplication(argc, argv)
{
    std::setlocale(LC_NUMERIC, "C");
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
