#include "ObjectEditor.h"

TFOPos* FOPos = nullptr;

TFOPos::TFOPos(QWidget* parent) : ToolWindow("FOPos", "Настройка объекта", 382, 232, parent)
{
    FOPos = this;
}
