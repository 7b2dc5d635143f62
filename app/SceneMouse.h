// The Scene panel's mouse: the last mouse position for the frame's pick,
// mouse-look with the middle button, and walking with the left and right
// buttons in flight mode.
#pragma once

#include <Qt>

void SceneMouseMove(int x, int y);
void SceneMouseDown(Qt::MouseButton button);
void SceneMouseUp(Qt::MouseButton button);
