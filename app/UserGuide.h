// The user guide: the README installed with the program, shown read-only in
// a window of its own.  Nothing is fetched from the network.
#pragma once

#include <QPointer>

#include <string>

class QTextBrowser;
class QWidget;

// Where the guide is: share/doc/qxvantor/README.md beside the installation,
// else README.md in the program's folder (a build's dist folder); empty
// when neither exists.
std::string UserGuideFile(const std::string& programFolder);

// Shows the guide in `window` (made when null, raised when open already); a
// message when the guide is missing.  Returns the window, or null.
QWidget* ShowUserGuide(const std::string& programFolder, QPointer<QTextBrowser>& window);
