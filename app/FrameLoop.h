// One frame of the Scene view, run by the render timer.
#pragma once

class TFVantor;

void RenderFrame(TFVantor& window);
