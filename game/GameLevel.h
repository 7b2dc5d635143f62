// Loading the level the game plays: the project in "Sys\Saves\" beside the
// program (texture list, object list with the object files, map) through
// the editor's own readers, the pictures through the editor's decoders, and
// the sky box from the installation's "textures\" folder.  Everything the
// frames need is loaded, compiled and sized here, before play starts.
//
// The load comes in two halves so that a running game can read its project
// again while it plays: ReadGameLevel reads the files, decodes the pictures
// and builds the collision world without GL (any thread); LevelBuild then
// uploads and compiles on the GL thread, a slice at a time.  Pictures and
// models whose files did not change since the level being played keep
// their GL textures and their models.
#pragma once

#include <chrono>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "LevelScene.h"
#include "ProjectContent.h"
#include "ProjectWatch.h"
#include "QX3DObject.h"
#include "Skybox.h"
#include "Textures.h"

namespace qx {

struct DecodedPicture;

// The installation's sky faces, in the order front, back, left, right, top, bottom.
extern const char* const kSkyFaces[6];
// The texture library's picture for "no picture".
extern const char* const kNoTexture;

// The GL textures of a level's pictures by file (file-system path, and
// whether it is keyed), each with the stamp of the file it was made from.
struct PictureTexture {
    FileStamp stamp;
    uint32_t id = 0;
};
using PictureTextures = std::map<std::string, PictureTexture>;

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
    PictureTextures pictures;
};

// One entry of the level's texture registry as a read found it.
struct LevelPicture {
    std::string name;  // registry name (code page 1251)
    bool keyed = false;
    std::string key;   // in PictureTextures; empty: no file of it loads
    FileStamp stamp;
    std::shared_ptr<const DecodedPicture> decoded;  // null: the texture of `key` stays good
    bool missing = false;  // shows "NoTexture.bmp" when the library has it
};

// A level read without GL: the project's entries, then the sky faces, the
// library's "NoTexture.bmp" and the ground's picture.
struct LevelRead {
    GameLevel level;  // nothing compiled, no pictures yet
    std::vector<LevelPicture> pictures;
    int32_t projectTextures = 0;
};

// Reads the project in `projectFolder` with the installation's pictures
// from `programFolder` + "textures\" (both UTF-8, with their trailing
// separators).  A picture whose file has the stamp `known` gives it is not
// decoded again; models unchanged since the last read are kept when
// `keepModels`.  The collision world is built with the start's feet at
// `startFeet` (null: the map's player start), which the ground then covers.  A missing or broken project file throws qx::Error
// "FILE:LINE: reason" (FILE inside the project folder).  A picture missing
// from the project's texture library is taken from the installation's
// "textures\" folder when it is there (the editor registers its helper
// textures from that folder, and boxes may use them), else the box draws
// with "NoTexture.bmp".
LevelRead ReadGameLevel(const std::string& programFolder, const std::string& projectFolder,
                        const PictureTextures& known, bool keepModels, const float* startFeet = nullptr);

// The GL half, on the GL thread: the pictures that were decoded are
// uploaded, the others taken from the level being played (`current`), then
// the objects are compiled against the new texture registry while the
// current one stays in force for drawing.
class LevelBuild {
public:
    LevelBuild(LevelRead read, const PictureTextures& current);
    ~LevelBuild();
    LevelBuild(const LevelBuild&) = delete;
    LevelBuild& operator=(const LevelBuild&) = delete;

    // Works until `deadline` (at least one step); true when all is built.
    bool Step(std::chrono::steady_clock::time_point deadline);
    // Once Step said so: the level, its registry made the one in force and
    // the textures of `replaced` it no longer uses deleted.
    GameLevel Finish(const PictureTextures& replaced);

private:
    LevelRead read_;
    const PictureTextures& current_;
    TextureRegistry registry_;
    std::vector<uint32_t> uploaded_;  // deleted unless finished
    size_t picture_ = 0;
    int32_t object_ = 0;
    bool done_ = false;
};

// The GL half at once (the GL context current): the level a game starts with.
void BuildGameLevel(LevelRead read, GameLevel& level);

}  // namespace qx
