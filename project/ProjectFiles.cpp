#include "ProjectFiles.h"

#include <charconv>

#include "Errors.h"
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

}  // namespace

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
