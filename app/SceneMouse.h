// The views' mouse: the last mouse position for the frame's pick,
// mouse-look with the middle button, and walking with the left and right
// buttons in flight mode; clicks and drags in the 3D view go to the
// placing and selection commands, and the 2D views tell the status bar
// where the mouse is and the part tree what they made.
#pragma once

#include <Qt>

class TFVantor;

// A click in the 3D view (ClickAtCursor with Shift as the toggle and the
// time line's list); a double click commits a locked primitive where it is.
void SceneClick(TFVantor& window);
void SceneDblClick(TFVantor& window);
// Connects the main window's views to the above and to the commands.
void InstallSceneInput(TFVantor& window);

void SceneMouseMove(int x, int y);
void SceneMouseDown(Qt::MouseButton button);
void SceneMouseUp(Qt::MouseButton button);
