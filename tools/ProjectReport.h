// qxinspect project FOLDER: loads a project as "Загрузить проект" does
// (pictures decoded, nothing drawn) and prints its problems and totals.
#pragma once

#include <string>

// FOLDER (a file-system path) is a Sys/Saves folder or an installation
// folder that holds one.  Each problem on a line of its own, "FILE:LINE:
// reason" (FILE inside the project folder; a picture that is missing or does
// not decode is "textures.qxtex:LINE: NAME: reason", the line of its entry;
// a model file that is missing or does not read "NAME.qxobj:LINE: MODEL:
// reason", the line of its file name), then "total textures=T objects=O
// boxes=B shapes=S models=M placements=P player=(x,y,z)" (shapes: floors,
// walls, spheres and tori; models: 3DS and Blender-export models).
// Returns 0 for a sound project, 1 otherwise.
int ProjectReport(const std::string& fsFolder);
