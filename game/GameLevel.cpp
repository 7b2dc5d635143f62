#include "GameLevel.h"

#include <atomic>
#include <set>
#include <thread>

#include "LevelFiles.h"
#include "ModelReaders.h"
#include "ModelsGl.h"
#include "Paths.h"
#include "PrimitiveList.h"
#include "QX3DObject.h"
#include "RegistryName.h"
#include "TextureGlSide.h"
#include "TextureStaging.h"
#include "Threads.h"

namespace qx {

const char* const kNoTexture = "NoTexture.bmp";

const char* const kSkyFaces[6] = {"cliffFront.bmp", "cliffBack.bmp", "cliffLeft.bmp",
                                  "cliffRight.bmp", "cliffTop.bmp",  "cliffBottom.bmp"};

namespace {

// A picture of the registry and the folders it is looked for in, in turn.
struct PictureSearch {
    std::vector<std::string> folders;
    bool listed = true;     // named among the missing pictures when none has it
    std::string firstReason;  // why the first folder's file did not do
};

std::string KeyOf(const std::string& path, bool keyed) { return keyed ? path + "\n(keyed)" : path; }

// Decodes every job, on as many threads as the machine has.
void DecodeAll(const std::vector<std::pair<std::string, bool>>& jobs, std::vector<DecodedPicture>& out)
{
    out.assign(jobs.size(), DecodedPicture());
    std::atomic<size_t> next{0};
    const auto work = [&] {
        for (size_t i; (i = next++) < jobs.size();)
            out[i] = DecodePicture(jobs[i].first, jobs[i].second);
    };
    RunOnThreads(std::min<size_t>(std::max(1u, std::thread::hardware_concurrency()), jobs.size()), work);
}

}  // namespace

LevelRead ReadGameLevel(const std::string& programFolder, const std::string& projectFolder,
                        const PictureTextures& known, bool keepModels, const float* startFeet)
{
    // The editor's model readers, unless the caller installed its own.
    if (!CurrentModelReaders().Read3ds)
        InstallModelReaders();
    LevelFiles files = ReadLevelFiles(projectFolder, nullptr, {}, keepModels);

    LevelRead read;
    const std::string project = projectFolder + "textures\\";
    const std::string installed = programFolder + "textures\\";
    std::vector<PictureSearch> searches;
    const auto want = [&](const std::string& name, bool keyed, std::vector<std::string> folders, bool listed) {
        LevelPicture p;
        p.name = RegistryFileName(name);  // 1251, as AddTexture registers it
        p.keyed = keyed;
        read.pictures.push_back(std::move(p));
        searches.push_back({std::move(folders), listed, {}});
    };
    for (const TextureListEntry& e : files.textures)
        want(e.name, e.keyed, {project, installed}, true);
    read.projectTextures = static_cast<int32_t>(files.textures.size());
    for (const char* face : kSkyFaces)
        want(face, false, {installed}, true);
    want(kNoTexture, false, {project}, false);
    want("Setka.bmp", false, {installed}, false);

    // Each round tries the next folder of the pictures not found yet; a
    // file unchanged since its texture was made is not decoded again.
    std::vector<bool> found(read.pictures.size(), false);
    for (size_t round = 0; round < 2; ++round) {
        std::vector<std::pair<std::string, bool>> jobs;
        std::vector<size_t> jobOf;  // picture -> job, or SIZE_MAX
        std::map<std::string, size_t> jobByKey;
        jobOf.assign(read.pictures.size(), SIZE_MAX);
        std::vector<std::string> paths(read.pictures.size());
        for (size_t i = 0; i < read.pictures.size(); ++i) {
            if (found[i] || round >= searches[i].folders.size())
                continue;
            LevelPicture& p = read.pictures[i];
            paths[i] = FindProjectFile(searches[i].folders[round], p.name);
            const std::string key = KeyOf(paths[i], p.keyed);
            p.stamp = StampOf(paths[i]);
            if (const auto hit = known.find(key); hit != known.end() && hit->second.stamp == p.stamp &&
                                                  p.stamp != FileStamp() && hit->second.id != 0) {
                p.key = key;
                found[i] = true;
                continue;
            }
            const auto [job, added] = jobByKey.emplace(key, jobs.size());
            if (added)
                jobs.emplace_back(paths[i], p.keyed);
            jobOf[i] = job->second;
        }
        std::vector<DecodedPicture> decoded;
        DecodeAll(jobs, decoded);
        std::vector<std::shared_ptr<const DecodedPicture>> shared(jobs.size());
        for (size_t i = 0; i < read.pictures.size(); ++i) {
            if (jobOf[i] == SIZE_MAX)
                continue;
            const DecodedPicture& d = decoded[jobOf[i]];
            LevelPicture& p = read.pictures[i];
            if (!d.result.ok()) {
                if (round == 0)
                    searches[i].firstReason = PictureProblemReason(d, paths[i]);
                continue;
            }
            std::shared_ptr<const DecodedPicture>& s = shared[jobOf[i]];
            if (!s)
                s = std::make_shared<const DecodedPicture>(std::move(decoded[jobOf[i]]));
            p.decoded = s;
            p.key = KeyOf(paths[i], p.keyed);
            found[i] = true;
        }
    }

    GameLevel& level = read.level;
    const size_t noTexture = static_cast<size_t>(read.projectTextures) + 6;
    level.noTexture = found[noTexture];
    for (size_t i = 0; i < noTexture; ++i) {
        if (found[i])
            continue;
        read.pictures[i].missing = true;
        level.missingPictures.push_back(read.pictures[i].name + " - " + searches[i].firstReason);
    }
    for (const ModelProblem& p : files.modelProblems)
        level.missingModels.push_back(p.Text());

    level.content = std::move(files.content);
    if (startFeet)
        for (int a = 0; a < 3; ++a)
            level.content.PlayerPos[a] = startFeet[a];
    TSkybox* sky = new TSkybox(true, 500.0f);
    level.sky.reset(sky);
    int32_t* faces[6] = {&sky->FrontTexture, &sky->BackTexture, &sky->LeftTexture,
                         &sky->RightTexture, &sky->TopTexture,  &sky->BottomTexture};
    for (int32_t f = 0; f < 6; ++f)
        *faces[f] = read.projectTextures + f;
    level.scene.groundGrid = true;
    level.scene.Build(level.content);
    // The ground under the level, with the editor's grid picture.
    const Box3& g = level.scene.groundBox;
    if (!g.IsEmpty()) {
        level.grid = std::make_unique<TQX3DObject>("ObjSetka");
        level.grid->AddList();
        level.grid->Lists[0]->AddFloor(read.projectTextures + 7, 0, 0, 0, g.max[0] - g.min[0], g.max[2] - g.min[2], 1,
                                       0, 0, 0);
    }
    return read;
}

LevelBuild::LevelBuild(LevelRead read, const PictureTextures& current) : read_(std::move(read)), current_(current)
{
    registry_.TextureCount = 0;
}

LevelBuild::~LevelBuild()
{
    if (const auto deleteName = TextureGl().deleteName)
            for (uint32_t id : uploaded_)
                deleteName(id);
}

bool LevelBuild::Step(std::chrono::steady_clock::time_point deadline)
{
    const auto late = [&] { return std::chrono::steady_clock::now() >= deadline; };
    std::vector<LevelPicture>& pictures = read_.pictures;
    TextureRegistry& reg = registry_;
    while (picture_ < pictures.size()) {
        const LevelPicture& p = pictures[picture_++];
        uint32_t id = 0;
        if (p.decoded) {
            id = UploadPicture(*p.decoded);
            if (id != 0)
                uploaded_.push_back(id);
        } else if (const auto hit = current_.find(p.key); !p.key.empty() && hit != current_.end()) {
            id = hit->second.id;
        }
        reg.TextureNames.push_back(p.name);
        reg.TextureIds.push_back(id);
        reg.TextureKeyed.push_back(p.keyed);
        reg.TextureCount = static_cast<int32_t>(reg.TextureNames.size());
        if (picture_ == pictures.size()) {
            const uint32_t noTexture = reg.TextureIds[static_cast<size_t>(read_.projectTextures) + 6];
            for (size_t i = 0; i < pictures.size(); ++i)
                if (pictures[i].missing)
                    reg.TextureIds[i] = noTexture;
        }
        if (p.decoded && late())
            return false;
    }
    // Compiled lists bake in the GL names in force: the new registry's,
    // lent for the slice while the level being played draws with its own.
    GameLevel& level = read_.level;
    std::swap(Textures(), registry_);
    struct Back {
        TextureRegistry& lent;
        ~Back() { std::swap(Textures(), lent); }
    } back{registry_};
    while (object_ < level.content.MapObjectCount) {
        if (TQX3DObject* o = level.content.MapObjects[static_cast<size_t>(object_)].get())
            o->BuildDisplayLists();
        ++object_;
        if (late())
            return false;
    }
    level.sky->BuildList();
    if (level.grid) {
        level.grid->BuildDisplayLists();
        level.scene.ground = level.grid.get();
    }
    done_ = true;
    return true;
}

GameLevel LevelBuild::Finish(const PictureTextures& replaced)
{
    GameLevel level = std::move(read_.level);
    std::swap(Textures(), registry_);
    for (size_t i = 0; i < read_.pictures.size(); ++i) {
        const LevelPicture& p = read_.pictures[i];
        if (!p.key.empty() && !p.missing)
            level.pictures[p.key] = PictureTexture{p.stamp, Textures().TextureIds[i]};
    }
    uploaded_.clear();
    std::set<uint32_t> kept;
    for (const auto& [key, texture] : level.pictures)
        kept.insert(texture.id);
    if (const auto deleteName = TextureGl().deleteName)
        for (const auto& [key, texture] : replaced)
            if (texture.id != 0 && kept.insert(texture.id).second)
                deleteName(texture.id);
    return level;
}

void BuildGameLevel(LevelRead read, GameLevel& level)
{
    LevelBuild build(std::move(read), level.pictures);
    while (!build.Step(std::chrono::steady_clock::time_point::max())) {
    }
    level = build.Finish(level.pictures);
}

}  // namespace qx
