// Loading a texture list into a registry of its own, apart from the one the
// editor draws with, so that a project load can be checked whole before it
// replaces anything.  Pictures are decoded on worker threads and uploaded on
// the calling thread (which has the GL context) in entry order, so the
// texture names come out as a serial load would give them.
//
// A picture that is missing, has no loader for its ending or does not decode
// is registered untextured (GL name 0) and listed; no message is shown.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "Textures.h"
#include "imageio/ImageDecoders.h"

namespace qx {

// One picture decoded without GL (any thread), to be uploaded apart.
struct DecodedPicture {
    ImageKind kind = ImageKind::None;
    bool keyed = false;
    DecodeResult result;
    std::string failure;  // what stopped the decoder itself (out of memory)
};
// `path`: the file-system path FindProjectFile gives.
DecodedPicture DecodePicture(const std::string& path, bool keyed);
// Why a picture did not decode, in the words a load lists it with.
std::string PictureProblemReason(const DecodedPicture& picture, const std::string& path);
// Its GL texture (the GL context current); 0 when it did not decode or
// nothing uploads.
uint32_t UploadPicture(const DecodedPicture& picture);

struct PictureProblem {
    int32_t entry = 0;   // registry index (its line in the list file is entry + 2)
    std::string name;    // the entry's name
    std::string reason;  // the loader's message, or "File not found"
};

struct StagedTextures {
    TextureRegistry registry;
    std::vector<PictureProblem> problems;
    // The pictures found only under their 1251 names (file-system paths).
    std::vector<std::string> filesUnder1251;

    StagedTextures() = default;
    StagedTextures(StagedTextures&&) noexcept;
    StagedTextures& operator=(StagedTextures&&) noexcept;
    // Deletes the GL names it still owns (not after Commit).
    ~StagedTextures();
    // Makes the staged registry the process-wide one.  The entries it
    // replaces keep their GL names, as ResetTextures leaves them.
    void Commit();

private:
    bool owned_ = true;
};

// Called on the calling thread after each picture; false cancels the load
// (the pictures uploaded so far are deleted and LoadCancelled is thrown).
using TextureProgress = std::function<bool(int done, int total)>;

class LoadCancelled : public std::exception {
public:
    const char* what() const noexcept override { return "cancelled"; }
};

// Registers the entries in order, each from folder + name, as
// LoadTextureList's AddTexture calls would (at most kMaxTextures).  `threads`
// 0 means one per hardware thread; 1 decodes on the calling thread.  With
// `upload` false nothing touches GL (the names stay 0).
StagedTextures StageTextures(const std::vector<TextureListEntry>& entries, const std::string& folder,
                             unsigned threads, bool upload, const TextureProgress& progress);

}  // namespace qx
