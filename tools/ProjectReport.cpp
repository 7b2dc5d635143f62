#include "ProjectReport.h"

#include <cstdio>
#include <filesystem>
#include <string_view>

#include "Errors.h"
#include "ModelsGl.h"
#include "NumberText.h"
#include "Project.h"
#include "QX3DObject.h"
#include "Text1251.h"

namespace {

void Problem(const std::string& file, int line, const std::string& reason)
{
    std::printf("%s:%d: %s\n", Cp1251ToUtf8(file).c_str(), line, Cp1251ToUtf8(reason).c_str());
}

// A load error reads "FILE:LINE: reason" or, for a whole file, "FILE: reason".
void LoadErrorProblem(std::string_view text)
{
    const size_t colon = text.find(": ");
    const std::string_view head = text.substr(0, colon);
    const size_t lineColon = head.rfind(':');
    int line = 0;
    std::string_view file = head;
    if (lineColon != std::string_view::npos &&
        head.find_first_not_of("0123456789", lineColon + 1) == std::string_view::npos &&
        lineColon + 1 < head.size()) {
        line = std::stoi(std::string(head.substr(lineColon + 1)));
        file = head.substr(0, lineColon);
    }
    Problem(std::string(file), line,
            colon == std::string_view::npos ? std::string(text) : std::string(text.substr(colon + 2)));
}

std::string PointNumber(float v)
{
    const char saved = DecimalSeparator();
    SetDecimalSeparator('.');
    std::string text = FloatToEditText(v);
    SetDecimalSeparator(saved);
    return text;
}

struct Counts {
    int textures = 0, objects = 0, boxes = 0, shapes = 0, models = 0, placements = 0;
};

void Totals(const Counts& n, const float player[3])
{
    std::printf("total textures=%d objects=%d boxes=%d shapes=%d models=%d placements=%d player=(%s,%s,%s)\n",
                n.textures, n.objects, n.boxes, n.shapes, n.models, n.placements, PointNumber(player[0]).c_str(),
                PointNumber(player[1]).c_str(), PointNumber(player[2]).c_str());
}

}  // namespace

int ProjectReport(const std::string& fsFolder)
{
    std::string folder = fsFolder;
    if (!folder.empty() && folder.back() != '/')
        folder += '/';
    std::error_code error;
    if (std::filesystem::is_directory(folder + "Sys/Saves", error))
        folder += "Sys/Saves/";

    // The models are read as the editor reads them (no GL: their pictures
    // are not loaded).
    qx::InstallModelReaders();
    qx::StagedProject staged;
    try {
        qx::ReadOptions options;
        options.upload = false;
        staged = qx::ReadProject(folder, options);
    } catch (const std::exception& e) {
        LoadErrorProblem(e.what());
        const float origin[3] = {0, 0, 0};
        Totals(Counts(), origin);
        return 1;
    }

    int problems = 0;
    // A picture's problem is placed on its entry in the texture list.
    for (const qx::PictureProblem& p : staged.textures.problems) {
        Problem(qx::kTextureListFile, p.entry + 2, p.name + ": " + p.reason);
        ++problems;
    }
    // A model's problem is placed on the line of its file name.
    for (const qx::ModelProblem& p : staged.modelProblems) {
        Problem(p.file, p.line, p.model + ": " + p.reason);
        ++problems;
    }
    const ProjectContent& content = staged.content;
    const int32_t textureCount = staged.textures.registry.TextureCount;
    Counts counts;
    for (int32_t i = 0; i < content.MapObjectCount; ++i) {
        const std::string file = content.MapObjectNames[static_cast<size_t>(i)] + ".qxobj";
        const TGLPremitives& list = *content.MapObjects[static_cast<size_t>(i)]->Lists[0];
        counts.shapes += list.FloorCount + list.WallCount + list.SphereCount + list.TorusCount;
        counts.models += list.Model3dsCount + list.BlenderCount;
        for (int16_t b = 0; b < list.BoxCount; ++b) {
            const int32_t texture = list.Boxes[static_cast<size_t>(b)].Texture;
            if (texture < -1 || texture >= textureCount) {
                Problem(file, staged.boxLines[static_cast<size_t>(i)][static_cast<size_t>(b)],
                        "box texture " + std::to_string(texture) + " is outside the texture list (" +
                            std::to_string(textureCount) + " entries)");
                ++problems;
            }
        }
    }
    for (int32_t i = 0; i < content.PlacementCount; ++i) {
        if (content.ObjectOfPlacement(i) >= 0)
            continue;
        const std::string& name = content.PlacementNames[static_cast<size_t>(i)];
        Problem(qx::kMapFile, i + 3,
                name.empty() ? std::string("placement without an object name")
                             : "placement names no object: " + name);
        ++problems;
    }
    counts.textures = textureCount;
    counts.objects = content.MapObjectCount;
    counts.boxes = staged.boxCount;
    counts.placements = content.PlacementCount;
    Totals(counts, content.PlayerPos);
    return problems == 0 ? 0 : 1;
}
