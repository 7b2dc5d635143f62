// The object file: a name, then the boxes of list 0 and a block of the
// other kinds, read and written record by record.
#include "ProjectFiles.h"

#include "Collisions.h"
#include "Errors.h"
#include "ModelReaders.h"
#include "NumberText.h"
#include "Paths.h"
#include "QX3DObject.h"
#include "Text1251.h"

namespace qx {

namespace {

// Every kind of the block, in its order.
constexpr int kBlockKinds = 6;

bool HasOtherKinds(const TGLPremitives& list)
{
    return list.SphereCount > 0 || list.TorusCount > 0 || list.FloorCount > 0 || list.WallCount > 0 ||
           list.Model3dsCount > 0 || list.BlenderCount > 0;
}

// A record line of the block is read whole: nothing may follow its tokens.
void EndOfRecord(std::string_view rest)
{
    if (!rest.empty())
        throw FormatError("the record has more tokens than its kind holds: \"" + std::string(rest) + "\"");
}

int32_t SectionCount(std::string_view line)
{
    const int32_t count = TokenToInt(line);
    if (count < 0 || count > TGLPremitives::kMaxCount)
        throw FormatError("the count " + std::to_string(count) + " is not one of 0 .. 32767");
    return count;
}

void ReadVec(std::string_view& line, TVec3& v)
{
    v.X = TokenToFloat(NextToken(line));
    v.Y = TokenToFloat(NextToken(line));
    v.Z = TokenToFloat(NextToken(line));
}

void AppendVec(std::string& out, const TVec3& v)
{
    AppendReal(out, v.X);
    AppendReal(out, v.Y);
    AppendReal(out, v.Z);
}

void AppendIntToken(std::string& out, int32_t value)
{
    AppendInt(out, value);
    out += ' ';
}

TFlatRect ReadFlat(std::string_view line)
{
    TFlatRect r;
    r.Texture = TokenToInt(NextToken(line));
    ReadVec(line, r.Position);
    r.SizeX = TokenToFloat(NextToken(line));
    r.SizeZ = TokenToFloat(NextToken(line));
    r.Tiling = TokenToFloat(NextToken(line));
    ReadVec(line, r.Rotation);
    r.OwnTransform = TokenToBool(NextToken(line));
    EndOfRecord(line);
    return r;
}

void AppendFlat(std::string& out, const TFlatRect& r)
{
    AppendIntToken(out, r.Texture);
    AppendVec(out, r.Position);
    AppendReal(out, r.SizeX);
    AppendReal(out, r.SizeZ);
    AppendReal(out, r.Tiling);
    AppendVec(out, r.Rotation);
    out += r.OwnTransform ? "True " : "False ";
}

TSphere ReadSphere(std::string_view line)
{
    TSphere p;
    p.Texture = TokenToInt(NextToken(line));
    ReadVec(line, p.Position);
    p.Radius = TokenToFloat(NextToken(line));
    const int32_t segments = TokenToInt(NextToken(line));
    if (segments < -32768 || segments > 32767)
        throw FormatError("the segment count " + std::to_string(segments) + " is beyond 16 bits");
    p.Segments = static_cast<int16_t>(segments);
    ReadVec(line, p.Rotation);
    EndOfRecord(line);
    return p;
}

void AppendSphere(std::string& out, const TSphere& p)
{
    AppendIntToken(out, p.Texture);
    AppendVec(out, p.Position);
    AppendReal(out, p.Radius);
    AppendIntToken(out, p.Segments);
    AppendVec(out, p.Rotation);
}

TTorus ReadTorus(std::string_view line)
{
    TTorus p;
    p.Texture = TokenToInt(NextToken(line));
    ReadVec(line, p.Position);
    for (float& v : p.ShapeParams)
        v = TokenToFloat(NextToken(line));
    ReadVec(line, p.Rotation);
    EndOfRecord(line);
    return p;
}

void AppendTorus(std::string& out, const TTorus& p)
{
    AppendIntToken(out, p.Texture);
    AppendVec(out, p.Position);
    for (float v : p.ShapeParams)
        AppendReal(out, v);
    AppendVec(out, p.Rotation);
}

// The file name line of a model: the name becomes a path inside models/.
std::string ReadModelName(std::string_view line)
{
    if (line.empty())
        throw FormatError("a model's file name is empty");
    if (line.find_first_of("\\/") != std::string_view::npos || line == "." || line == "..")
        throw FormatError("the model file name \"" + std::string(line) + "\" holds a path separator");
    return std::string(line);
}

void ReadModelTransform(std::string_view line, TModelPlacement& m)
{
    ReadVec(line, m.Position);
    ReadVec(line, m.Rotation);
    ReadVec(line, m.Scale);
    EndOfRecord(line);
}

void AppendModel(std::string& out, const TModelPlacement& m)
{
    out += m.FileName;
    out += kLineEnd;
    AppendVec(out, m.Position);
    AppendVec(out, m.Rotation);
    AppendVec(out, m.Scale);
}

// One list's six sections, starting at the floors' count line (already
// read); kept into `data` when `keep`.
void ReadShapeSections(LineReader& reader, std::string_view firstCount, ObjectFileData& data, bool keep)
{
    std::string_view countLine = firstCount;
    for (int kind = 0; kind < kBlockKinds; ++kind) {
        if (kind > 0)
            countLine = reader.Next();
        const int32_t count = SectionCount(countLine);
        for (int32_t i = 0; i < count; ++i) {
            std::string_view line = reader.Next();
            if (reader.AtEnd())
                throw FormatError("the file ends before its " + std::to_string(count) + " records");
            switch (kind) {
            case 0: {
                TFloor f;
                static_cast<TFlatRect&>(f) = ReadFlat(line);
                if (keep)
                    data.floors.push_back(std::move(f));
                break;
            }
            case 1: {
                TWall w;
                static_cast<TFlatRect&>(w) = ReadFlat(line);
                if (keep)
                    data.walls.push_back(std::move(w));
                break;
            }
            case 2:
                if (TSphere p = ReadSphere(line); keep)
                    data.spheres.push_back(std::move(p));
                break;
            case 3:
                if (TTorus p = ReadTorus(line); keep)
                    data.tori.push_back(std::move(p));
                break;
            default: {
                const int nameLine = reader.Line();
                std::string name = ReadModelName(line);
                line = reader.Next();
                if (reader.AtEnd())
                    throw FormatError("the file ends before the model's transform");
                TModelPlacement m;
                m.FileName = std::move(name);
                ReadModelTransform(line, m);
                if (!keep)
                    break;
                if (kind == 4) {
                    data.models3ds.emplace_back();
                    static_cast<TModelPlacement&>(data.models3ds.back()) = std::move(m);
                    data.model3dsLines.push_back(nameLine);
                } else {
                    data.blenderModels.emplace_back();
                    static_cast<TModelPlacement&>(data.blenderModels.back()) = std::move(m);
                    data.blenderLines.push_back(nameLine);
                }
                break;
            }
            }
        }
    }
}

// After list 0's boxes: the boxes of further lists are not read; the block,
// when there is one, follows them.  Only list 0's shapes are kept.
void ReadShapesBlock(LineReader& reader, ObjectFileData& data)
{
    std::string_view line;
    do {
        line = reader.Next();
        if (reader.AtEnd())
            return;
    } while (line.substr(0, 6) != "QXEXT ");
    if (line != kShapesBlockLine)
        throw FormatError("\"" + std::string(line) + "\" is a shapes block of an unknown version");
    for (int list = 0;; ++list) {
        const std::string_view count = reader.Next();
        if (reader.AtEnd())
            return;
        ReadShapeSections(reader, count, data, list == 0);
    }
}

}  // namespace

ObjectFileData ParseObjectFile(std::string_view data, const std::string& fileName)
{
    LineReader reader(data);
    ObjectFileData result;
    try {
        result.name = std::string(reader.Next());
        reader.Next();  // the list count: only list 0 is read
        const int32_t count = TokenToInt(reader.Next());
        for (int32_t i = 0; i < count; ++i) {
            std::string_view line = reader.Next();
            TBox box;
            box.Texture = TokenToInt(NextToken(line));
            box.Position.X = TokenToFloat(NextToken(line));
            box.Position.Y = TokenToFloat(NextToken(line));
            box.Position.Z = TokenToFloat(NextToken(line));
            box.Size.X = TokenToFloat(NextToken(line));
            box.Size.Y = TokenToFloat(NextToken(line));
            box.Size.Z = TokenToFloat(NextToken(line));
            box.Tiling = TokenToFloat(NextToken(line));
            box.Rotation.X = TokenToFloat(NextToken(line));
            box.Rotation.Y = TokenToFloat(NextToken(line));
            box.Rotation.Z = TokenToFloat(NextToken(line));
            // Byte fields, stored as the low byte of the integer read.
            box.BlendEquation = static_cast<uint8_t>(TokenToInt(NextToken(line)));
            box.BlendMode = static_cast<uint8_t>(TokenToInt(NextToken(line)));
            box.CullFront = TokenToBool(NextToken(line));
            box.TexGenMode = static_cast<uint8_t>(TokenToInt(NextToken(line)));
            if (result.boxes.size() >= static_cast<size_t>(TGLPremitives::kMaxCount))
                throw FormatError("more than 32767 boxes in one list");
            result.boxes.push_back(std::move(box));
            result.boxLines.push_back(reader.Line());
        }
        ReadShapesBlock(reader, result);
    } catch (const Error& error) {
        ThrowAt(fileName, reader.Line(), error);
    }
    return result;
}

std::string FormatObjectFile(const TQX3DObject& object)
{
    std::string out;
    out += object.Name;
    out += kLineEnd;
    AppendInt(out, object.ListCount);
    out += kLineEnd;
    bool otherKinds = false;
    for (int16_t i = 0; i < object.ListCount; ++i) {
        const TGLPremitives& list = *object.Lists[static_cast<size_t>(i)];
        otherKinds = otherKinds || HasOtherKinds(list);
        AppendInt(out, list.BoxCount);
        out += kLineEnd;
        out.reserve(out.size() + static_cast<size_t>(std::max<int16_t>(list.BoxCount, 0)) * 120);
        for (int16_t j = 0; j < list.BoxCount; ++j) {
            const TBox& box = list.Boxes[static_cast<size_t>(j)];
            AppendInt(out, box.Texture);
            out += ' ';
            for (float v : {box.Position.X, box.Position.Y, box.Position.Z, box.Size.X, box.Size.Y, box.Size.Z,
                            box.Tiling, box.Rotation.X, box.Rotation.Y, box.Rotation.Z,
                            static_cast<float>(box.BlendEquation), static_cast<float>(box.BlendMode)})
                AppendReal(out, v);
            out += box.CullFront ? "True " : "False ";
            AppendReal(out, static_cast<float>(box.TexGenMode));
            out += kLineEnd;
        }
    }
    if (!otherKinds)
        return out;
    out += kShapesBlockLine;
    out += kLineEnd;
    const auto section = [&out](const auto& items, int16_t count, auto&& append) {
        const size_t n = std::min(items.size(), static_cast<size_t>(std::max<int16_t>(count, 0)));
        AppendInt(out, static_cast<int32_t>(n));
        out += kLineEnd;
        for (size_t k = 0; k < n; ++k) {
            append(out, items[k]);
            out += kLineEnd;
        }
    };
    for (int16_t i = 0; i < object.ListCount; ++i) {
        const TGLPremitives& list = *object.Lists[static_cast<size_t>(i)];
        section(list.Floors, list.FloorCount, AppendFlat);
        section(list.Walls, list.WallCount, AppendFlat);
        section(list.Spheres, list.SphereCount, AppendSphere);
        section(list.Tori, list.TorusCount, AppendTorus);
        section(list.Models3ds, list.Model3dsCount, AppendModel);
        section(list.BlenderModels, list.BlenderCount, AppendModel);
    }
    return out;
}

void ReadObjectModels(ObjectFileData& data, const std::string& modelFolder, const std::string& fileName,
                      std::vector<ModelProblem>* problems)
{
    const auto read = [&](ModelKind kind, TModelPlacement& m, int line) -> std::shared_ptr<const LoadedModel> {
        try {
            return ReadModelFile(kind, FindProjectFile(modelFolder, m.FileName)).model;
        } catch (const Error& error) {
            if (problems != nullptr)
                problems->push_back({fileName, line, m.FileName, error.what()});
            return nullptr;
        }
    };
    for (size_t i = 0; i < data.models3ds.size(); ++i)
        data.models3ds[i].Model = read(ModelKind::Model3ds, data.models3ds[i], data.model3dsLines[i]);
    for (size_t i = 0; i < data.blenderModels.size(); ++i)
        data.blenderModels[i].GameObj =
            TGameObjCopy(read(ModelKind::Blender, data.blenderModels[i], data.blenderLines[i]));
}

void ApplyObjectFile(TQX3DObject& object, ObjectFileData data)
{
    auto collision = std::make_shared<TCollision>(object.Name);
    collision->Margin = 0;
    object.Name = std::move(data.name);
    if (object.ListCount == 0)
        object.AddList();
    TGLPremitives& list = *object.Lists[0];
    for (TBox& box : data.boxes) {
        if (list.BoxCount >= TGLPremitives::kMaxCount)
            throw FormatError("A primitive list holds at most 32767 primitives of one kind");
        collision->AddVolume(box.Position.X, box.Position.Y, box.Position.Z, box.Size.X, box.Size.Y, box.Size.Z);
        list.Append(std::move(box));
    }
    const auto add = [&list](auto& items) {
        for (auto& item : items)
            list.Append(std::move(item));
    };
    add(data.floors);
    add(data.walls);
    add(data.spheres);
    add(data.tori);
    add(data.models3ds);
    add(data.blenderModels);
    object.Collision = std::move(collision);
}

}  // namespace qx
