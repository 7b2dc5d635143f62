// The GL side of model import: textures through the registry, and the
// readers handed to the scene's model primitives.
#pragma once

#include "Model3ds.h"

namespace qx {

// LoadTextureFile without the colour key, the file name's letter case
// forgiven (FindFileIgnoringCase); design paths are taken inside fsFolder
// (a file-system path, empty or ending in a separator).
TextureLoader RegistryTextureLoader(const std::string& fsFolder = {});

// Makes the model primitives read 3DS files and Blender exports (without GL;
// their pictures load on first drawing, beside the model first, then for a
// 3DS model in the project's textures/ folder beside models/).  Called once
// at start-up.
void InstallModelReaders();

}  // namespace qx
