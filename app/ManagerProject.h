// The project manager window: a layout without behaviour, never shown.
#pragma once

#include "ToolWindow.h"

class QTreeWidget;

class TFPManager : public ToolWindow {
public:
    explicit TFPManager(QWidget* parent = nullptr);
    QTreeWidget* TreeView1 = nullptr;
};

extern TFPManager* FPManager;
