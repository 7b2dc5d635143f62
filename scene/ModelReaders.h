// How the model primitives read their files.  The readers live above the
// scene model, so the program installs them once at start-up; until then no
// model file can be read.
//
// A model file is read once and its model shared by every primitive that
// uses it: reading goes through a table keyed by the file's path, which
// reads the file again only when it changed (size or modification time) or
// after ForgetModelFiles.  Reading needs no GL; a model's pictures are
// loaded apart (LoadPictures), once, with the GL context current.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "ImportedModel.h"
#include "VectorMath.h"

namespace qx {

// A model as the readers give it.
class LoadedModel : public ImportedModel {
public:
    // What it draws as triangles, in its own space, three corners each
    // (lines and points left out; polygons as fans).
    virtual std::vector<TVec3> Triangles() const = 0;
    // Loads its pictures through the texture registry the first time;
    // needs the GL context.
    void LoadPictures() const
    {
        if (picturesLoaded_)
            return;
        picturesLoaded_ = true;
        LoadPicturesNow();
    }

protected:
    virtual void LoadPicturesNow() const = 0;

private:
    mutable bool picturesLoaded_ = false;
};

struct ModelReaders {
    // Read a file (a file-system path) without GL.  Errors are thrown with
    // the reader's message (qx::Error kinds): a 3DS file without a main
    // chunk, a Blender export that does not convert, a file that cannot be
    // read.  Read3ds puts what it left out of a damaged file in `warnings`.
    std::function<std::shared_ptr<LoadedModel>(const std::string& fileName, std::vector<std::string>& warnings)>
        Read3ds;
    std::function<std::shared_ptr<LoadedModel>(const std::string& fileName)> ReadBlender;
};

void SetModelReaders(ModelReaders readers);
const ModelReaders& CurrentModelReaders();

enum class ModelKind { Model3ds, Blender };

struct ModelFileRead {
    std::shared_ptr<const LoadedModel> model;
    std::vector<std::string> warnings;  // the reader's, when this call read the file
    bool readNow = false;               // false: the model read before
};

// The model of a file, read through the installed reader when the table
// holds none for that path (or the file changed since).  Throws the
// reader's error, or qx::Error when no reader is installed; a failed read
// leaves nothing in the table.
ModelFileRead ReadModelFile(ModelKind kind, const std::string& fileName);
// Empties the table (a project is loaded): every file is read afresh.
// Primitives keep the models they hold.
void ForgetModelFiles();

// The warnings of the last AddModel3ds that read its file, handed out once
// (empty afterwards).
std::vector<std::string> TakeModelWarnings();
void SetLastModelWarnings(std::vector<std::string> warnings);

// Object files hold a model's file name in code page 1251: the message
// refusing a file name (UTF-8, without folder) that has no 1251 spelling,
// empty when it has one.
std::string ModelNameRefusal(const std::string& utf8FileName);

}  // namespace qx
