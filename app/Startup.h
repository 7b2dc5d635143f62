// The first-show sequence of the main window: the GL view, the start-up
// trees and helper textures, the camera, the grid and the markers, the
// render timer, then the project to start with.
#pragma once

class TFVantor;

void RunStartup(TFVantor& window);
