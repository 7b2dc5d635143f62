// Registration, lookup and removal of registry entries; the pictures'
// upload goes through the GL side (TextureGlSide.h).
#include "Textures.h"

#include "Text1251.h"
#include "Messages.h"
#include "RegistryName.h"
#include "TextureGlSide.h"

namespace {

TextureRegistry* g_boundRegistry = nullptr;

TextureRegistry& ProcessRegistry()
{
    static TextureRegistry registry;
    return registry;
}

}  // namespace

TextureRegistry& Textures() { return g_boundRegistry ? *g_boundRegistry : ProcessRegistry(); }

void BindTextureRegistry(TextureRegistry& registry)
{
    if (&registry == &Textures())
        return;
    registry = std::move(Textures());
    g_boundRegistry = &registry;
}

void ReleaseTextureRegistry(TextureRegistry& registry)
{
    if (g_boundRegistry != &registry)
        return;
    ProcessRegistry() = std::move(registry);
    g_boundRegistry = nullptr;
}

namespace qx {

TextureGlSide& TextureGl()
{
    constinit static TextureGlSide side;
    return side;
}

}  // namespace qx

namespace {

bool RunLoader(qx::ImageKind kind, const std::string& path, uint32_t& textureId, bool keyed)
{
    const auto load = qx::TextureGl().load;
    return load != nullptr && load(kind, path, textureId, keyed);
}

// Last entry whose stored name equals `name` byte for byte.  Stored names
// carry no folder, so a path with one never matches.
int32_t LastEntryNamed(const TextureRegistry& reg, const std::string& name)
{
    for (int32_t i = reg.TextureCount - 1; i >= 0; --i)
        if (reg.TextureNames[static_cast<size_t>(i)] == name)
            return i;
    return -1;
}

// Makes room for entry TextureCount (leftovers of ResetTextures are reused).
void ReserveEntry(TextureRegistry& reg)
{
    const size_t needed = static_cast<size_t>(reg.TextureCount) + 1;
    if (reg.TextureNames.size() < needed) {
        reg.TextureNames.resize(needed);
        reg.TextureIds.resize(needed, 0);
        reg.TextureKeyed.resize(needed, false);
    }
}

void RecordEntry(TextureRegistry& reg, const std::string& path, uint32_t id, bool keyed)
{
    const auto i = static_cast<size_t>(reg.TextureCount);
    reg.TextureNames[i] = Utf8ToCp1251(qx::RegistryFileName(path));
    reg.TextureIds[i] = id;
    reg.TextureKeyed[i] = keyed;
    ++reg.TextureCount;
}

}  // namespace

bool LoadTextureFile(const std::string& path, uint32_t& textureId, bool keyed)
{
    TextureRegistry& reg = Textures();
    const int32_t hit = LastEntryNamed(reg, Utf8ToCp1251(path));
    if (hit >= 0) {
        textureId = reg.TextureIds[static_cast<size_t>(hit)];
        return true;
    }
    if (reg.TextureCount >= TextureRegistry::kMaxTextures)
        return false;
    ReserveEntry(reg);
    const bool loaded = RunLoader(qx::ImageKindForPath(path, false), path, textureId, keyed);
    RecordEntry(reg, path, textureId, keyed);
    return loaded;
}

int32_t AddTexture(const std::string& path, bool keyed) { return AddTexture(Textures(), path, keyed); }

int32_t AddTexture(TextureRegistry& reg, const std::string& path, bool keyed)
{
    const int32_t hit = LastEntryNamed(reg, Utf8ToCp1251(path));
    if (hit >= 0)
        return hit;
    if (reg.TextureCount >= TextureRegistry::kMaxTextures)
        return 0;
    ReserveEntry(reg);
    uint32_t id = 0;
    RunLoader(qx::ImageKindForPath(path, true), path, id, keyed);
    const int32_t index = reg.TextureCount;
    RecordEntry(reg, path, id, keyed);
    return index;
}

int32_t FindTexture(const std::string& name) { return FindTexture(Textures(), name); }

int32_t FindTexture(const TextureRegistry& reg, const std::string& name)
{
    if (name.empty() || reg.TextureCount == 0)
        return -1;
    return LastEntryNamed(reg, name);
}

void RemoveTexture(int32_t index)
{
    TextureRegistry& reg = Textures();
    if (reg.TextureCount == 1) {
        qx::Messages().ShowMessage(Cp("Ошибка удаления текстуры"), Cp("Должна остаться минимум 1-а текстура"));
        return;
    }
    if (index < 0 || index >= reg.TextureCount)
        return;
    const auto i = static_cast<size_t>(index);
    const auto last = static_cast<size_t>(reg.TextureCount - 1);
    const uint32_t removedId = reg.TextureIds[i];
    for (size_t j = i; j < last; ++j) {
        reg.TextureNames[j] = std::move(reg.TextureNames[j + 1]);
        reg.TextureIds[j] = reg.TextureIds[j + 1];
        reg.TextureKeyed[j] = reg.TextureKeyed[j + 1];
    }
    if (const auto deleteName = qx::TextureGl().deleteName)
        deleteName(removedId);
    --reg.TextureCount;
}

void ResetTextures()
{
    Textures().TextureCount = 0;
}
