// How the model primitives read their files.  The readers live above the
// scene model, so the program installs them once at start-up; until then a
// 3DS primitive gets an empty model and a Blender primitive refuses to load.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "ImportedModel.h"

namespace qx {

struct ModelReaders {
    // Reads a 3DS file.  A file that cannot be read gives an empty model (or
    // null), never an exception: the 3DS primitive ignores the reader's result.
    std::function<std::shared_ptr<ImportedModel>(const std::string& fileName)> Read3ds;
    // Reads a Blender-export text model.  Errors are thrown (qx::Error kinds)
    // and reach the caller of AddModelBlender.
    std::function<std::unique_ptr<ImportedModel>(const std::string& fileName)> ReadBlender;
};

void SetModelReaders(ModelReaders readers);
const ModelReaders& CurrentModelReaders();

}  // namespace qx
