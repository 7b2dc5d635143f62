#include "GameLevel.h"

#include "LevelFiles.h"
#include "PrimitiveList.h"
#include "QX3DObject.h"
#include "TextureStaging.h"
#include "Textures.h"

namespace qx {

const char* const kSkyFaces[6] = {"cliffFront.bmp", "cliffBack.bmp", "cliffLeft.bmp",
                                  "cliffRight.bmp", "cliffTop.bmp",  "cliffBottom.bmp"};

void LoadGameLevel(const std::string& programFolder, const std::string& projectFolder, GameLevel& level)
{
    const std::string& folder = projectFolder;
    LevelFiles files = ReadLevelFiles(folder, nullptr);

    StagedTextures staged = StageTextures(files.textures, folder + "textures\\", 0, true, nullptr);
    const int32_t projectTextures = staged.registry.TextureCount;

    // Second chance for the project's missing pictures, and the sky faces,
    // from the installation's folder.
    std::vector<TextureListEntry> retry;
    for (const PictureProblem& p : staged.problems)
        retry.push_back({p.name, staged.registry.TextureKeyed[static_cast<size_t>(p.entry)]});
    for (const char* face : kSkyFaces)
        retry.push_back({face, false});
    StagedTextures installed = StageTextures(retry, programFolder + "textures\\", 0, true, nullptr);

    TextureRegistry& reg = staged.registry;
    std::vector<PictureProblem> stillMissing;
    for (size_t i = 0; i < staged.problems.size(); ++i) {
        uint32_t& id = installed.registry.TextureIds[i];
        if (id != 0) {
            reg.TextureIds[static_cast<size_t>(staged.problems[i].entry)] = id;
            id = 0;  // now the project's registry owns it
        } else {
            stillMissing.push_back(staged.problems[i]);
        }
    }
    TSkybox* sky = new TSkybox(true, 500.0f);
    level.sky.reset(sky);
    int32_t* faces[6] = {&sky->FrontTexture, &sky->BackTexture, &sky->LeftTexture,
                         &sky->RightTexture, &sky->TopTexture,  &sky->BottomTexture};
    for (size_t f = 0; f < 6; ++f) {
        const size_t from = staged.problems.size() + f;
        reg.TextureNames.resize(static_cast<size_t>(reg.TextureCount));
        reg.TextureIds.resize(static_cast<size_t>(reg.TextureCount));
        reg.TextureKeyed.resize(static_cast<size_t>(reg.TextureCount));
        reg.TextureNames.push_back(kSkyFaces[f]);
        reg.TextureIds.push_back(installed.registry.TextureIds[from]);
        reg.TextureKeyed.push_back(false);
        installed.registry.TextureIds[from] = 0;
        *faces[f] = reg.TextureCount++;
    }
    for (const PictureProblem& p : installed.problems)
        if (static_cast<size_t>(p.entry) >= staged.problems.size())
            stillMissing.push_back({projectTextures + p.entry - static_cast<int32_t>(staged.problems.size()),
                                    p.name, p.reason});

    level.missingPictures.clear();
    for (const PictureProblem& p : stillMissing)
        level.missingPictures.push_back(p.name + " - " + p.reason);

    // Textures first: a compiled list bakes in the GL names in force.
    staged.Commit();
    level.content = std::move(files.content);
    for (int32_t i = 0; i < level.content.MapObjectCount; ++i)
        if (TQX3DObject* o = level.content.MapObjects[static_cast<size_t>(i)].get())
            o->BuildDisplayLists();
    sky->BuildList();
    // The ground grid the designer built on, with the editor's grid picture.
    const int32_t gridTexture = AddTexture(programFolder + "textures/Setka.bmp", false);
    level.grid = std::make_unique<TQX3DObject>("ObjSetka");
    level.grid->AddList();
    level.grid->Lists[0]->AddFloor(gridTexture, 0, 0, 0, kGroundSide, kGroundSide, 600, 0, 0, 0);
    level.grid->BuildDisplayLists();
    level.scene.groundGrid = true;
    level.scene.ground = level.grid.get();
    level.scene.Build(level.content);
}

}  // namespace qx
