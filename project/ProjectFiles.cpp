#include "ProjectFiles.h"

#include <charconv>

#include "Collisions.h"
#include "Errors.h"
#include "ModelReaders.h"
#include "NumberText.h"
#include "Paths.h"
#include "QX3DObject.h"
#include "TextureListFile.h"
#include "Text1251.h"

namespace qx {

namespace {

[[noreturn]] void NotValid(std::string_view token, const char* what)
{
    throw ConvertError::NotValid(token, what);
}

void AppendInt(std::string& out, int32_t value)
{
    char buffer[16];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    out.append(buffer, result.ptr);
}

void AppendReal(std::string& out, float value)
{
    AppendFloatToEditText(out, value);
    out += ' ';
}

const char* const kLineEnd = "\r\n";

}  // namespace

std::string_view NextToken(std::string_view& line)
{
    const size_t space = line.find(' ');
    if (space == std::string_view::npos)
        return std::string_view();
    const std::string_view token = line.substr(0, space);
    line.remove_prefix(space + 1);
    return token;
}

int32_t TokenToInt(std::string_view token)
{
    try {
        return StrictTextToInt(token);
    } catch (const ConvertError&) {
        NotValid(token, "integer");
    }
}

float TokenToFloat(std::string_view token)
{
    float value = 0;
    if (!ParseFileReal(token, value))
        NotValid(token, "floating point");
    return value;
}

void ThrowAt(const std::string& fileName, int line, const std::exception& error)
{
    std::string text = fileName + ":";
    if (line > 0)
        text += std::to_string(line) + ":";
    text += " ";
    text += error.what();
    if (dynamic_cast<const ConvertError*>(&error))
        throw ConvertError(text);
    if (dynamic_cast<const InOutError*>(&error))
        throw InOutError(text);
    throw FormatError(text);
}

// ---- object file ----

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

// ---- object list ----

std::vector<std::string> ParseObjectList(std::string_view data, const std::string& fileName)
{
    LineReader reader(data);
    std::vector<std::string> names;
    try {
        const int32_t count = TokenToInt(reader.Next());
        if (count < 0)
            throw FormatError("the object count " + std::to_string(count) + " is negative");
        for (int32_t i = 0; i < count; ++i) {
            std::string_view name = reader.Next();
            if (reader.AtEnd())
                throw FormatError("the file ends before its " + std::to_string(count) + " object names");
            // The name becomes a file name beside the list: it must not lead
            // out of the project folder.
            if (name.find_first_of("\\/") != std::string_view::npos)
                throw FormatError("the object name \"" + std::string(name) + "\" holds a path separator");
            names.emplace_back(name);
        }
    } catch (const Error& error) {
        ThrowAt(fileName, reader.Line(), error);
    }
    return names;
}

std::string FormatObjectList(const ProjectContent& content)
{
    std::string out;
    AppendInt(out, content.MapObjectCount);
    out += kLineEnd;
    for (int32_t i = 0; i < content.MapObjectCount; ++i) {
        out += content.MapObjectNames[static_cast<size_t>(i)];
        out += kLineEnd;
    }
    return out;
}

std::string ObjectFileName(const std::string& listFileName, const std::string& objectName)
{
    const size_t last = listFileName.find_last_of("\\/:");
    const std::string folder = last == std::string::npos ? std::string() : listFileName.substr(0, last + 1);
    return folder + objectName + ".qxobj";
}

// ---- map ----

MapFileData ParseMap(std::string_view data, const std::string& fileName)
{
    LineReader reader(data);
    MapFileData result;
    try {
        std::string_view line = reader.Next();
        for (float& v : result.playerPos)
            v = TokenToFloat(NextToken(line));
        const int32_t count = TokenToInt(reader.Next());
        if (count < 0)
            throw FormatError("the placement count " + std::to_string(count) + " is negative");
        for (int32_t i = 0; i < count; ++i) {
            line = reader.Next();
            result.names.emplace_back();
            result.placements.push_back(ParsePlacementLine(line, result.names.back()));
        }
    } catch (const Error& error) {
        ThrowAt(fileName, reader.Line(), error);
    }
    return result;
}

std::string FormatMap(const ProjectContent& content)
{
    std::string out;
    out.reserve(64 + static_cast<size_t>(std::max(content.PlacementCount, 0)) * 80);
    for (float v : content.PlayerPos)
        AppendReal(out, v);
    out += kLineEnd;
    AppendInt(out, content.PlacementCount);
    out += kLineEnd;
    for (int32_t i = 0; i < content.PlacementCount; ++i)
        AppendPlacementLine(out, content.PlacementNames[static_cast<size_t>(i)],
                            content.Placements[static_cast<size_t>(i)]);
    return out;
}

void AppendPlacementLine(std::string& out, const std::string& name, const TPlacement& p)
{
    out += name;
    out += ' ';
    for (float v : {p.PosX, p.PosY, p.PosZ, p.RotX, p.RotY, p.RotZ, p.ScaleX, p.ScaleY, p.ScaleZ})
        AppendReal(out, v);
    out += kLineEnd;
}

TPlacement ParsePlacementLine(std::string_view& line, std::string& name)
{
    name = std::string(NextToken(line));
    TPlacement p;
    for (float* v : {&p.PosX, &p.PosY, &p.PosZ, &p.RotX, &p.RotY, &p.RotZ, &p.ScaleX, &p.ScaleY, &p.ScaleZ})
        *v = TokenToFloat(NextToken(line));
    return p;
}

void ApplyMap(ProjectContent& content, MapFileData data)
{
    for (int k = 0; k < 3; ++k)
        content.PlayerPos[k] = data.playerPos[k];
    content.SetPlacements(std::move(data.names), std::move(data.placements));
}

}  // namespace qx

namespace {

std::string ReadProjectFile(const std::string& fileName)
{
    try {
        return ReadWholeFile(ToFsPath(fileName));
    } catch (const qx::Error& error) {
        qx::ThrowAt(fileName, 0, error);
    }
}

void WriteProjectFile(const std::string& fileName, std::string_view bytes)
{
    try {
        WriteWholeFile(ToFsPath(fileName), bytes);
    } catch (const qx::Error& error) {
        qx::ThrowAt(fileName, 0, error);
    }
}

}  // namespace

void SaveToFile(const TQX3DObject& object, const std::string& fileName)
{
    WriteProjectFile(fileName, qx::FormatObjectFile(object));
}

namespace {

// The models/ folder of the project an object file lies in.
std::string ModelFolderOf(const std::string& objectFileName)
{
    const std::string path = ToFsPath(objectFileName);
    const size_t slash = path.find_last_of('/');
    return (slash == std::string::npos ? std::string() : path.substr(0, slash + 1)) + qx::kModelFolder;
}

}  // namespace

void LoadFromFile(TQX3DObject& object, const std::string& fileName)
{
    qx::ObjectFileData data = qx::ParseObjectFile(ReadProjectFile(fileName), fileName);
    qx::ReadObjectModels(data, ModelFolderOf(fileName), fileName, nullptr);
    qx::ApplyObjectFile(object, std::move(data));
    object.BuildDisplayLists();
}

void SaveObjectList(const ProjectContent& content, const std::string& base)
{
    const std::string listFile = base + ".qxlst";
    WriteProjectFile(listFile, qx::FormatObjectList(content));
    for (int32_t i = 0; i < content.MapObjectCount; ++i) {
        const std::string& name = content.MapObjectNames[static_cast<size_t>(i)];
        SaveToFile(*content.MapObjects[static_cast<size_t>(i)], qx::ObjectFileName(listFile, Cp1251ToUtf8(name)));
    }
}

void LoadObjectList(ProjectContent& content, const std::string& base)
{
    const std::string listFile = base + ".qxlst";
    const std::vector<std::string> names = qx::ParseObjectList(ReadProjectFile(listFile), listFile);
    ProjectContent staged = content;
    staged.MapObjects.clear();
    staged.MapObjectNames.clear();
    for (const std::string& name : names) {
        auto object = std::make_shared<TQX3DObject>(name);
        object->AddList();
        LoadFromFile(*object, qx::ObjectFileName(listFile, Cp1251ToUtf8(name)));
        staged.MapObjects.push_back(std::move(object));
        staged.MapObjectNames.push_back(name);
    }
    staged.MapObjectCount = static_cast<int32_t>(names.size());
    staged.MapObjects.emplace_back();
    staged.MapObjectNames.emplace_back();
    staged.Touch();
    content = std::move(staged);
}

void SaveMap(const ProjectContent& content, const std::string& base)
{
    WriteProjectFile(base + ".qxmap", qx::FormatMap(content));
}

void LoadMap(ProjectContent& content, const std::string& base)
{
    const std::string fileName = base + ".qxmap";
    qx::ApplyMap(content, qx::ParseMap(ReadProjectFile(fileName), fileName));
}
