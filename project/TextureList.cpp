// SaveTextureList / LoadTextureList: the registry's side of the list file.
#include "TextureListFile.h"

#include "Paths.h"
#include "Text1251.h"

namespace {

// The folder part of the base: up to and including its last "\", "/" or ":".
std::string BaseFolder(const std::string& base)
{
    const size_t last = base.find_last_of("\\/:");
    return last == std::string::npos ? std::string() : base.substr(0, last + 1);
}

}  // namespace

void SaveTextureList(const std::string& base)
{
    const TextureRegistry& reg = Textures();
    std::vector<qx::TextureListEntry> entries;
    entries.reserve(static_cast<size_t>(reg.TextureCount));
    for (int32_t i = 0; i < reg.TextureCount; ++i)
        entries.push_back({reg.TextureNames[static_cast<size_t>(i)], reg.TextureKeyed[static_cast<size_t>(i)]});
    WriteWholeFile(ToFsPath(base + ".qxtex"), qx::FormatTextureList(entries));
}

void LoadTextureList(const std::string& base)
{
    const std::string data = ReadWholeFile(ToFsPath(base + ".qxtex"));
    const std::string folder = BaseFolder(base) + "textures\\";
    qx::ParseTextureList(data, [&](const qx::TextureListEntry& entry) {
        AddTexture(folder + Cp1251ToUtf8(entry.name), entry.keyed);
    });
}
