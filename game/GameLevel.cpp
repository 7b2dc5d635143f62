#include "GameLevel.h"

#include "LevelFiles.h"
#include "ModelReaders.h"
#include "ModelsGl.h"
#include "PrimitiveList.h"
#include "QX3DObject.h"
#include "TextureStaging.h"
#include "Textures.h"

namespace qx {

const char* const kNoTexture = "NoTexture.bmp";

const char* const kSkyFaces[6] = {"cliffFront.bmp", "cliffBack.bmp", "cliffLeft.bmp",
                                  "cliffRight.bmp", "cliffTop.bmp",  "cliffBottom.bmp"};

void LoadGameLevel(const std::string& programFolder, const std::string& projectFolder, GameLevel& level)
{
    const std::string& folder = projectFolder;
    // The editor's model readers, unless the caller installed its own.
    if (!CurrentModelReaders().Read3ds)
        InstallModelReaders();
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
    // The registry takes over a GL name staged apart as an entry of its own.
    const auto adopt = [&reg](const char* name, uint32_t& id) {
        reg.TextureNames.resize(static_cast<size_t>(reg.TextureCount));
        reg.TextureIds.resize(static_cast<size_t>(reg.TextureCount));
        reg.TextureKeyed.resize(static_cast<size_t>(reg.TextureCount));
        reg.TextureNames.push_back(name);
        reg.TextureIds.push_back(id);
        reg.TextureKeyed.push_back(false);
        id = 0;
        return reg.TextureCount++;
    };
    TSkybox* sky = new TSkybox(true, 500.0f);
    level.sky.reset(sky);
    int32_t* faces[6] = {&sky->FrontTexture, &sky->BackTexture, &sky->LeftTexture,
                         &sky->RightTexture, &sky->TopTexture,  &sky->BottomTexture};
    for (size_t f = 0; f < 6; ++f)
        *faces[f] = adopt(kSkyFaces[f], installed.registry.TextureIds[staged.problems.size() + f]);
    for (const PictureProblem& p : installed.problems)
        if (static_cast<size_t>(p.entry) >= staged.problems.size())
            stillMissing.push_back({projectTextures + p.entry - static_cast<int32_t>(staged.problems.size()),
                                    p.name, p.reason});

    // What is missing shows as the editor's picture for "no picture", when
    // the project's library has it.
    StagedTextures fallback = StageTextures({{kNoTexture, false}}, folder + "textures\\", 1, true, nullptr);
    level.noTexture = fallback.registry.TextureIds[0] != 0;
    if (level.noTexture) {
        const uint32_t id = fallback.registry.TextureIds[0];
        adopt(kNoTexture, fallback.registry.TextureIds[0]);
        for (const PictureProblem& p : stillMissing)
            reg.TextureIds[static_cast<size_t>(p.entry)] = id;
    }
    level.missingPictures.clear();
    for (const PictureProblem& p : stillMissing)
        level.missingPictures.push_back(p.name + " - " + p.reason);
    level.missingModels.clear();
    for (const ModelProblem& p : files.modelProblems)
        level.missingModels.push_back(p.Text());

    // Textures first: a compiled list bakes in the GL names in force.
    staged.Commit();
    level.content = std::move(files.content);
    for (int32_t i = 0; i < level.content.MapObjectCount; ++i)
        if (TQX3DObject* o = level.content.MapObjects[static_cast<size_t>(i)].get())
            o->BuildDisplayLists();
    sky->BuildList();
    level.scene.groundGrid = true;
    level.scene.Build(level.content);
    // The ground under the level, with the editor's grid picture.
    const Box3& g = level.scene.groundBox;
    if (!g.IsEmpty()) {
        const int32_t gridTexture = AddTexture(programFolder + "textures/Setka.bmp", false);
        level.grid = std::make_unique<TQX3DObject>("ObjSetka");
        level.grid->AddList();
        level.grid->Lists[0]->AddFloor(gridTexture, 0, 0, 0, g.max[0] - g.min[0], g.max[2] - g.min[2], 1, 0, 0, 0);
        level.grid->BuildDisplayLists();
        level.scene.ground = level.grid.get();
    }
}

}  // namespace qx
