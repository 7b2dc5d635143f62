// The three project pieces the editor and the game runtime both read: the
// texture list, the object list with one object file per object, and the
// map.  Bytes are parsed apart from the pictures (StageTextures) and from
// GL (BuildDisplayLists), so the game reads with exactly the editor's code.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "ProjectContent.h"
#include "ProjectFiles.h"
#include "TextureListFile.h"

namespace qx {

// File names inside the project folder.
inline constexpr const char* kTextureListFile = "textures.qxtex";
inline constexpr const char* kObjectListFile = "ObjList.qxlst";
inline constexpr const char* kMapFile = "Map1.qxmap";

// programFolder (with its trailing separator) + "Sys\Saves\".
std::string ProjectFolder(const std::string& programFolder);

// The project a chosen folder (file-system form) stands for: the folder
// itself when it holds a project's files (any of the three above), else
// its "Sys/Saves/" when that does (an installation or copy of one); empty
// when neither does.  The result ends with "/".
std::string FindProject(const std::string& folder);

// folder + name (name in code page 1251) read whole, found as
// FindProjectFile finds it (its file-system path is appended to *under1251
// when it was found under its 1251 bytes); a failure is thrown as
// "NAME: reason".
std::string ReadProjectFile(const std::string& folder, const std::string& name,
                            std::vector<std::string>* under1251 = nullptr);

// The entries of the texture list file; errors read "textures.qxtex:LINE: reason".
std::vector<TextureListEntry> ParseTextureEntries(std::string_view data);

struct LevelFiles {
    std::vector<TextureListEntry> textures;
    ProjectContent content;  // objects with their boxes and collision sets, the map; nothing compiled
    int boxCount = 0;        // boxes read into list 0 of all objects
    // For each object, the line of each of its boxes in its file.
    std::vector<std::vector<int>> boxLines;
    // The files read under their 1251 names (file-system paths).
    std::vector<std::string> filesUnder1251;
    // Model files that are missing or did not read: their primitives stay
    // empty.
    std::vector<ModelProblem> modelProblems;
};

// Reads the texture list, the object list, every object file and the map of
// `folder`, in that order.  After each file, fileRead(n) is told how many
// further items it announced (texture entries, object files; 0 otherwise).
// The models the objects name are read from `modelFolder` (file-system
// form, with its separator; empty: the "models/" folder of `folder`), each
// file once, afresh for each level (qx::ForgetModelFiles) unless
// `keepModels`: then a file unchanged since it was last read keeps its
// model (a running game reading its level again).
// Throws the reader's error ("FILE:LINE: reason").
LevelFiles ReadLevelFiles(const std::string& folder, const std::function<void(int announced)>& fileRead,
                          const std::string& modelFolder = {}, bool keepModels = false);
// The lines of the message that tells the models a load left empty.
std::string MissingModelsText(const std::vector<ModelProblem>& problems);

}  // namespace qx
