// The texture registry: the one process-wide table of loaded textures.
// A texture's registry index is its identity everywhere in the editor
// (primitives store it, object files save it, the texture list rebuilds it in
// the same order).  Entry i is (TextureNames[i], TextureIds[i],
// TextureKeyed[i]) for 0 <= i < TextureCount; at most kMaxTextures entries.
//
// Paths are the file system's (UTF-8; "\" separates as well as "/"); the
// names the registry keeps are their file-name parts in code page 1251, the
// form in which the design's texts and files hold them.  Every function here runs on the
// GUI thread with the scene's GL context current.
//
// The table and its registration are data (qx_texture_table); the GL names
// come from the upload qx_textures installs (TextureGlSide.h), which also
// defines the binding and texturing helpers at the end of this header.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct TextureRegistry {
    static constexpr int32_t kMaxTextures = 32767;
    // The GL name of an entry the document listed whose picture the view
    // has not uploaded yet (binds as none).
    static constexpr uint32_t kAwaitingUpload = 0xFFFFFFFFu;

    int32_t TextureCount = 0;
    // Sized at least TextureCount; entries past the count are stale leftovers
    // of ResetTextures and are overwritten as new entries arrive.
    std::vector<std::string> TextureNames;  // file-name part of the load path
    std::vector<uint32_t> TextureIds;       // GL texture name, 0 = none
    std::vector<bool> TextureKeyed;         // colour-key flag
};

namespace qx {
// One entry as the texture list names it: the picture's name (1251) and its
// colour-key flag.
struct TextureListEntry {
    std::string name;
    bool keyed = false;
};
}  // namespace qx

// The process-wide registry: the one bound (the editor's document holds
// its own), else one of the process's.
TextureRegistry& Textures();
// From now on Textures() is `registry`; the entries registered so far move
// into it.
void BindTextureRegistry(TextureRegistry& registry);
// `registry` goes: when it is the one bound, its entries move back into the
// process's own, which Textures() is from now on.
void ReleaseTextureRegistry(TextureRegistry& registry);

// Loads through the loader the path's ending selects (".JPEG" not
// recognised) unless an entry named exactly `path` exists, in which case its
// GL name is returned.  `textureId` is written only on success or on a hit.
bool LoadTextureFile(const std::string& path, uint32_t& textureId, bool keyed);
// Registers path (".JPEG" recognised); a file that fails to load keeps GL
// name 0.  Returns the new index, the index of an entry named exactly `path`,
// or 0 when the registry is full.
int32_t AddTexture(const std::string& path, bool keyed);
// Index of the last entry named `name`, or -1.
int32_t FindTexture(const std::string& name);
int32_t FindTexture(const TextureRegistry& reg, const std::string& name);
// AddTexture into `reg` rather than the process's registry.
int32_t AddTexture(TextureRegistry& reg, const std::string& path, bool keyed);
// -1 switches 2D texturing off; indices past the last entry do nothing.
// The filter mode 2 is applied to the texture bound *before* the call.
void BindTexture(int32_t index);
// Refuses (with a message) to remove the only entry.
void RemoveTexture(int32_t index);
// Forgets every entry; their GL names stay allocated.
void ResetTextures();

// 0 linear, 1 nearest, 2 trilinear, 3 nearest-mipmap; on the bound texture.
void SetTextureFilter(int32_t mode);
// 0 off, 1 sphere map, 2 object linear, 3 eye linear, for S and T.
void SetTexGen(int32_t mode);
void BindTextureName(uint32_t name);
void DeleteTextureName(uint32_t name);
