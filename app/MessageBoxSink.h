// Messages shown as modal message boxes without an icon, as the user sees
// them in the editor.  Installed by the program entry.
#pragma once

#include "Messages.h"

class MessageBoxSink : public qx::MessageSink {
public:
    void ShowMessage(const std::string& caption, const std::string& text) override;
    bool AskYesNo(const std::string& caption, const std::string& text) override;
};
