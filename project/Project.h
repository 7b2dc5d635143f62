// The project: five pieces under one folder (the executable's folder +
// "Sys\Saves\"): the texture list, the object list with one object file per
// object, the map, and the object and texture trees with their icons.
//
// Saving writes every file of the step together (all or none).  Loading
// reads and checks every file first (ReadProject, which touches nothing the
// editor shows) and only then replaces textures, objects, map and trees
// (CommitProject); a failure names the file, the line and the reason.
// Pictures that are missing or do not decode do not stop a load: they are
// registered untextured and listed in the staged problems.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "Errors.h"
#include "FileSet.h"
#include "LevelFiles.h"
#include "ProjectContent.h"
#include "TextureStaging.h"
#include "TreeFiles.h"

namespace qx {

// File names inside the project folder (the other three: LevelFiles.h).
inline constexpr const char* kObjectTreeFile = "AllObjectList.qxlst";
inline constexpr const char* kObjectTreeIconsFile = "AllObjectListIcons.qxicon";
inline constexpr const char* kTextureTreeFile = "AllTexturesList.qxlst";
inline constexpr const char* kTextureTreeIconsFile = "AllTexturesListIcons.qxicon";
// The autosave's folder inside the project folder.
inline constexpr const char* kAutosaveFolder = "Autosave/";

// The trees to save; null for the game launch, which saves only the texture
// list, the objects and the map.
struct ProjectTrees {
    const TreeAccess* objectTree = nullptr;
    const TreeAccess* textureTree = nullptr;
};

// A save that did not take place.  what() tells the user that the folder
// keeps the files of before and what can be done, then gives the reason
// ("FILE: I/O error N (reason)"); Reason() is the reason alone, for those
// that tell of the failure their own way (the autosave).
class SaveFailed : public InOutError {
public:
    explicit SaveFailed(const std::string& reason);
    const std::string& Reason() const { return reason_; }

private:
    std::string reason_;
};

// Writes the project's files into `folder` (which must exist) together,
// and moves the files of that folder (and its pictures) that the committed
// load read under their 1251 names to their UTF-8 names in the same step,
// never over an existing file, and removes the object files of the names
// content.SavedObjectNames holds and the list no longer does (the caller
// calls ObjectFilesSaved once the save succeeded).  Throws SaveFailed
// naming the file that failed; the files on disk are then those of the
// previous save.  `alsoWrite` joins the same step (the project's own files
// win over an entry of the same path).
void SaveProject(const std::string& folder, const TextureRegistry& textures, const ProjectContent& content,
                 const ProjectTrees& trees, const std::vector<FileToWrite>& alsoWrite = {});

// For a save into another folder: every file of the project folder `from`
// (the texture library's pictures, models, whatever else the user keeps
// there) as it is to be written under `to` (both file-system forms with
// their trailing "/"), with the subfolders created.  Leaves out the
// autosave, the lock and what a save cut short leaves behind.  Throws
// qx::InOutError naming a file that cannot be read.
std::vector<FileToWrite> ProjectFilesToCopy(const std::string& from, const std::string& to);

struct StagedProject {
    StagedTextures textures;
    ProjectContent content;
    MemoryTree objectTree;
    MemoryTree textureTree;
    int boxCount = 0;  // boxes read into list 0 of all objects
    // For each object, the line of each of its boxes in its file.
    std::vector<std::vector<int>> boxLines;
    // Object files and pictures read under their 1251 names (file-system
    // paths): after the commit, the next save into their folder gives them
    // their UTF-8 names.
    std::vector<std::string> filesUnder1251;
    // Model files that are missing or did not read (their parts stay empty).
    std::vector<ModelProblem> modelProblems;
};

struct ReadOptions {
    unsigned threads = 0;  // picture decoders; 0 = one per hardware thread
    bool upload = true;    // false: no GL at all (textures get name 0)
    // Called between files and pictures; false cancels (LoadCancelled).
    std::function<bool(int done, int total)> progress;
    // Called while the objects' GL side is built, after the point of no
    // return (a load cannot be cancelled then).
    std::function<void(int done, int total)> building;
    // Where the pictures are; empty: the "textures" folder beside the files
    // (an autosave reads the library's).  The models are in the "models"
    // folder beside that one.
    std::string pictureFolder;
};

// Reads and checks every file of the project in `folder`.  Throws the
// reader's error ("FILE:LINE: reason", FILE inside the folder) or
// LoadCancelled; whatever was staged is released.
StagedProject ReadProject(const std::string& folder, const ReadOptions& options);

// Replaces the editor's textures, object list, map and the two trees by the
// staged ones and builds the objects' GL side (the GL context must be
// current), telling `building` how far it is.  The objects replaced are
// released after the next frames (ObjectRelease.h).  Does not fail.
void CommitProject(StagedProject& staged, ProjectContent& content, TreeAccess& objectTree,
                   TreeAccess& textureTree, const std::function<void(int done, int total)>& building = {});

// "Загрузить проект" without widgets: ReadProject, then CommitProject, then
// (when pictures failed) one message listing them, or that message's text
// in *missingPictures when the caller shows it later.  False when
// cancelled; errors propagate with nothing changed.
bool LoadProjectInto(const std::string& folder, const ReadOptions& options, ProjectContent& content,
                     TreeAccess& objectTree, TreeAccess& textureTree, std::string* missingPictures = nullptr);
// Caption of that message.
std::string ProjectLoadCaption();

// Before the editor reads a folder's project (at start-up and before every
// load): finishes or undoes a save of each folder that was cut short
// (RecoverInterruptedSave) and tells the user in one message, which names
// a project's autosave folder (kAutosaveFolder) apart from the project's
// own.  Returns that message's text, empty when nothing was left over.
std::string RecoverInterruptedSaves(const std::vector<std::string>& folders);

// The first textures of every project are the editor's own pictures (the
// grid, the cursor, the sky), which no edit removes.
inline constexpr int32_t kHelperTextures = 8;

// The one message that lists the pictures a load registered untextured and
// the model files it left empty; empty when there are none.
std::string MissingPicturesText(const StagedProject& staged);

// After texture `removed` left the registry: texture indices of boxes,
// spheres, tori, floors and walls above it move down one, those that used
// it become untextured (-1).  Returns whether any primitive changed.
bool RemapRemovedTexture(TQX3DObject& object, int32_t removed);

}  // namespace qx
