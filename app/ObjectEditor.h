// The object settings window: a layout without behaviour, never shown.
#pragma once

#include "ToolWindow.h"

class TFOPos : public ToolWindow {
public:
    explicit TFOPos(QWidget* parent = nullptr);
};

extern TFOPos* FOPos;
