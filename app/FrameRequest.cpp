// Frames asked for from anywhere: the running editor's main window draws
// them with its render timer.
#include "FrameLoop.h"

#include "FrameTimer.h"
#include "Vantor.h"
#include "Wiring.h"

void RequestFrame()
{
    if (MainWindow() && MainWindow()->RenderTimer)
        MainWindow()->RenderTimer->Request();
}
