// Messages shown as modal message boxes without an icon, as the user sees
// them in the editor.  Installed by the program entry.
#pragma once

#include <QString>

#include "Messages.h"

// A message text (1251) as the box shows it: "\r\n" and a lone "\r" break
// the line, as they do in the design's boxes.
QString MessageBoxText(const std::string& cp1251);

class MessageBoxSink : public qx::MessageSink {
public:
    void ShowMessage(const std::string& caption, const std::string& text) override;
    bool AskYesNo(const std::string& caption, const std::string& text) override;
    qx::Answer AskYesNoCancel(const std::string& caption, const std::string& text) override;
};
