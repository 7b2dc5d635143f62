// The object file (".qxobj"), the object list (".qxlst") and the map
// (".qxmap"): CR LF lines, record lines of tokens each followed by one space,
// reals written by FloatToEditText (the process separator) and read back
// with either "," or "." as the decimal separator, so a project written
// under either locale loads.
//
// Parsing works on bytes without GL; applying a parsed object file to an
// object and compiling its display lists are separate steps.  Every error a
// parser throws names the file and the line: "FILE:LINE: reason", with the
// reason one of the conversion texts ("'x' is not a valid integer value",
// "... floating point value", "... boolean value") or a format fault, and
// the error's kind (qx::ConvertError, qx::FormatError) kept.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "Primitives.h"
#include "ProjectContent.h"
#include "TextLines.h"

class TQX3DObject;

namespace qx {

// The token before the first space of `line`, removed with that space.
// Without a space the token is empty and the line stays as it is.
std::string_view NextToken(std::string_view& line);

// Token conversions; each throws qx::ConvertError with the design's text.
int32_t TokenToInt(std::string_view token);
// Accepts "," and "." as the separator, an exponent, and the "NAN", "INF",
// "-INF" that FloatToEditText writes.  The nearest single to the digits;
// infinity only for what rounds beyond the largest single.
float TokenToFloat(std::string_view token);
// The writers' tokens: an integer (no space after it), a real in the edit
// fields' form followed by its space.
void AppendInt(std::string& out, int32_t value);
void AppendReal(std::string& out, float value);
// Lines of the files end so.
inline constexpr const char* kLineEnd = "\r\n";

// An object file as read: its name (line 1) and the primitives of list 0,
// with the line each box and each model's file name came from.
//
// After the counted box lists, an object holding other kinds has a block:
// the line "QXEXT 1", then for each list of the object six sections in the
// order floors, walls, spheres, tori, 3DS models, Blender models, each a
// count line and its records (reals through the number text, each token
// followed by one space):
//   floor, wall: Texture X Y Z SizeX SizeZ Tiling RotX RotY RotZ OwnTransform
//   sphere:      Texture X Y Z Radius Segments RotX RotY RotZ
//   torus:       Texture X Y Z Ring Tube Third RotX RotY RotZ
//   model:       the file name on a line of its own (it may hold spaces),
//                then X Y Z RotX RotY RotZ ScaleX ScaleY ScaleZ
// A reader of boxes only stops after the counted lists and never sees it;
// an object of boxes only is written without it, byte for byte as before.
struct ObjectFileData {
    std::string name;
    std::vector<TBox> boxes;
    std::vector<int> boxLines;
    std::vector<TFloor> floors;
    std::vector<TWall> walls;
    std::vector<TSphere> spheres;  // not compiled
    std::vector<TTorus> tori;
    std::vector<TModel3ds> models3ds;  // FileName only: no model read yet
    std::vector<TModelBlender> blenderModels;
    std::vector<int> model3dsLines, blenderLines;  // the line of each file name
};

inline constexpr const char* kShapesBlockLine = "QXEXT 1";
// The folder of a project that holds the models its objects use.
inline constexpr const char* kModelFolder = "models/";

ObjectFileData ParseObjectFile(std::string_view data, const std::string& fileName);
std::string FormatObjectFile(const TQX3DObject& object);

// A model file of an object file that did not read: "FILE:LINE: MODEL:
// reason" (1251 text).
struct ModelProblem {
    std::string file;  // the object file, as named to the parser
    int line = 0;      // of the model's file name
    std::string model;
    std::string reason;
    std::string Text() const { return file + ":" + std::to_string(line) + ": " + model + ": " + reason; }
};
// Gives the models `data` names their models, read from `modelFolder`
// (file-system form, with its separator) once per file (qx::ReadModelFile).
// A model that is missing or does not read keeps an empty primitive and is
// told in `problems` (when given).
void ReadObjectModels(ObjectFileData& data, const std::string& modelFolder, const std::string& fileName,
                      std::vector<ModelProblem>* problems);
// Name, a new collision set (margin 0, one volume per box) and the
// primitives appended to list 0 (made when the object has no list).  No GL.
void ApplyObjectFile(TQX3DObject& object, ObjectFileData data);

// The names of an object list file.  A count beyond the file's lines, a
// negative one, or a name with a "\" or "/" (which would name a file outside
// the list's folder) is a format fault.
std::vector<std::string> ParseObjectList(std::string_view data, const std::string& fileName);
std::string FormatObjectList(const ProjectContent& content);

struct MapFileData {
    float playerPos[3] = {0, 0, 0};
    std::vector<std::string> names;
    std::vector<TPlacement> placements;
};
MapFileData ParseMap(std::string_view data, const std::string& fileName);
// One placement line of the map: the name and nine reals (position,
// rotation in degrees, scale), each followed by a space, then CR LF.
void AppendPlacementLine(std::string& out, const std::string& name, const TPlacement& p);
// Reads such a line (without its line end), taking its tokens off `line`;
// throws the token conversions' errors.
TPlacement ParsePlacementLine(std::string_view& line, std::string& name);
std::string FormatMap(const ProjectContent& content);
// Replaces the map part of `content` by `data`.
void ApplyMap(ProjectContent& content, MapFileData data);

// The file of object i of a list file: the list's folder, the name, ".qxobj".
std::string ObjectFileName(const std::string& listFileName, const std::string& objectName);

// Throws a copy of `error` (same kind) whose text starts with "FILE:" (and
// "LINE:" when line > 0).
[[noreturn]] void ThrowAt(const std::string& fileName, int line, const std::exception& error);

}  // namespace qx

// The file-level operations under their design names.  Paths are design
// paths (backslashes allowed).  A load is all or nothing: the content is
// replaced only when every file was read; the saves write each file through
// a temporary beside it.
//
// The object file of one object: every list's primitives written (the kinds
// other than boxes in a block after the boxes); reading replaces the name
// and the collision set and appends the primitives of the file's first list
// to list 0 (the models read from the models/ folder beside the file; a
// missing one leaves its primitive empty), then builds the object's drawing.
// Errors name the file (and line).
void SaveToFile(const TQX3DObject& object, const std::string& fileName);
void LoadFromFile(TQX3DObject& object, const std::string& fileName);
void SaveObjectList(const ProjectContent& content, const std::string& base);
void LoadObjectList(ProjectContent& content, const std::string& base);
void SaveMap(const ProjectContent& content, const std::string& base);
void LoadMap(ProjectContent& content, const std::string& base);
