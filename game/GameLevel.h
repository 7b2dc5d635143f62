// Loading the level the game plays: the project in "Sys\Saves\" beside the
// program (texture list, object list with the object files, map) through
// the editor's own readers, the pictures through the editor's staging, and
// the sky box from the installation's "textures\" folder.  Everything the
// frames need is loaded, compiled and sized here, before play starts.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "LevelScene.h"
#include "ProjectContent.h"
#include "QX3DObject.h"
#include "Skybox.h"

namespace qx {

// The installation's sky faces, in the order front, back, left, right, top, bottom.
extern const char* const kSkyFaces[6];
// The texture library's picture for "no picture".
extern const char* const kNoTexture;

struct GameLevel {
    ProjectContent content;
    LevelScene scene;
    std::unique_ptr<TSkybox> sky;
    std::unique_ptr<TQX3DObject> grid;  // the ground under the level
    // Pictures that did not load: "NAME - reason" (code page 1251).  When
    // `noTexture`, their boxes (and sky faces) show the library's
    // "NoTexture.bmp" instead; otherwise they draw untextured.
    std::vector<std::string> missingPictures;
    bool noTexture = false;
    // Model files that did not load, their parts left empty: "NAME.qxobj:LINE:
    // MODEL: reason" (code page 1251).
    std::vector<std::string> missingModels;
};

// Reads the project in `projectFolder` into `level`, with the installation's
// pictures from `programFolder` + "textures\" (both UTF-8, with their
// trailing separators); the GL context must be current.  A missing or broken
// project file throws qx::Error "FILE:LINE: reason" (FILE inside the project folder) and
// leaves the registry as it was.  A picture missing from the project's
// texture library is taken from the installation's "textures\" folder when
// it is there (the editor registers its helper textures from that folder,
// and boxes may use them), else the box draws with "NoTexture.bmp".
void LoadGameLevel(const std::string& programFolder, const std::string& projectFolder, GameLevel& level);

}  // namespace qx
