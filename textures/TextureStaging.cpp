#include "TextureStaging.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <filesystem>
#include <mutex>
#include <optional>
#include <thread>

#include "Paths.h"
#include "RegistryName.h"
#include "TextureGlSide.h"
#include "imageio/ImageDecoders.h"

namespace qx {

DecodedPicture DecodePicture(const std::string& path, bool keyed)
{
    DecodedPicture d;
    d.kind = ImageKindForPath(path, true);
    // TGA ignores the colour key; the others pass it on.
    d.keyed = d.kind == ImageKind::Tga ? false : keyed;
    try {
        if (d.kind != ImageKind::None)
            d.result = DecodeImageFile(d.kind, path, d.keyed);
    } catch (const std::exception& e) {
        d.result = DecodeResult();
        d.failure = e.what();
    }
    return d;
}

std::string PictureProblemReason(const DecodedPicture& d, const std::string& path)
{
    std::error_code error;
    if (!std::filesystem::exists(ToFsPath(path), error))
        return "File not found";
    if (!d.failure.empty())
        return d.failure;
    if (d.kind == ImageKind::None)
        return "no loader for the file's ending";
    if (!d.result.messages.empty())
        return d.result.messages.front().text;
    return "the picture does not decode";
}

uint32_t UploadPicture(const DecodedPicture& d)
{
    if (!d.result.ok() || TextureGl().upload == nullptr)
        return 0;
    return TextureGl().upload(*d.result.block, d.kind == ImageKind::Bmp && d.keyed);
}

namespace {

void DeleteNames(const TextureRegistry& reg)
{
    const auto deleteName = TextureGl().deleteName;
    if (deleteName == nullptr)
        return;
    for (int32_t i = 0; i < reg.TextureCount; ++i)
        if (const uint32_t name = reg.TextureIds[static_cast<size_t>(i)]; name != 0)
            deleteName(name);
}

// Hands entry indexes to the workers, at most `window` ahead of the upload,
// so decoded blocks waiting for their turn stay few.
class DecodeQueue {
public:
    DecodeQueue(const std::vector<std::string>& paths, const std::vector<bool>& keyed, size_t window)
        : paths_(paths), keyed_(keyed), slots_(paths.size()), window_(window)
    {
    }

    void Work()
    {
        for (;;) {
            size_t i;
            {
                std::unique_lock lock(mutex_);
                room_.wait(lock, [&] { return stop_ || next_ >= paths_.size() || next_ < taken_ + window_; });
                if (stop_ || next_ >= paths_.size())
                    return;
                i = next_++;
            }
            DecodedPicture d = DecodePicture(paths_[i], keyed_[i]);
            std::lock_guard lock(mutex_);
            slots_[i] = std::move(d);
            ready_.notify_all();
        }
    }

    // Waits up to `wait` for entry i; empty when it is not ready yet.
    std::optional<DecodedPicture> Take(size_t i, std::chrono::milliseconds wait)
    {
        std::unique_lock lock(mutex_);
        if (!ready_.wait_for(lock, wait, [&] { return slots_[i].has_value(); }))
            return std::nullopt;
        std::optional<DecodedPicture> d = std::move(slots_[i]);
        slots_[i].reset();
        taken_ = i + 1;
        room_.notify_all();
        return d;
    }

    void Stop()
    {
        std::lock_guard lock(mutex_);
        stop_ = true;
        room_.notify_all();
    }

private:
    const std::vector<std::string>& paths_;
    const std::vector<bool>& keyed_;
    std::vector<std::optional<DecodedPicture>> slots_;
    size_t window_;
    size_t next_ = 0;
    size_t taken_ = 0;
    bool stop_ = false;
    std::mutex mutex_;
    std::condition_variable ready_, room_;
};

}  // namespace

StagedTextures::StagedTextures(StagedTextures&& other) noexcept
    : registry(std::move(other.registry)),
      problems(std::move(other.problems)),
      filesUnder1251(std::move(other.filesUnder1251)),
      owned_(other.owned_)
{
    other.owned_ = false;
}

StagedTextures& StagedTextures::operator=(StagedTextures&& other) noexcept
{
    if (this != &other) {
        if (owned_)
            DeleteNames(registry);
        registry = std::move(other.registry);
        problems = std::move(other.problems);
        filesUnder1251 = std::move(other.filesUnder1251);
        owned_ = other.owned_;
        other.owned_ = false;
    }
    return *this;
}

StagedTextures::~StagedTextures()
{
    if (owned_)
        DeleteNames(registry);
}

void StagedTextures::Commit()
{
    std::swap(Textures(), registry);
    owned_ = false;
}

StagedTextures StageTextures(const std::vector<TextureListEntry>& entries, const std::string& folder,
                             unsigned threads, bool upload, const TextureProgress& progress)
{
    const size_t count = std::min(entries.size(), static_cast<size_t>(TextureRegistry::kMaxTextures));
    StagedTextures staged;
    std::vector<std::string> paths(count);
    std::vector<bool> keyed(count);
    for (size_t i = 0; i < count; ++i) {
        bool under1251 = false;
        paths[i] = FindProjectFile(folder, entries[i].name, &under1251);
        if (under1251)
            staged.filesUnder1251.push_back(paths[i]);
        keyed[i] = entries[i].keyed;
    }
    if (threads == 0)
        threads = std::max(1u, std::thread::hardware_concurrency());

    TextureRegistry& reg = staged.registry;
    reg.TextureNames.resize(count);
    reg.TextureIds.assign(count, 0);
    reg.TextureKeyed.assign(count, false);

    DecodeQueue queue(paths, keyed, 2 * size_t{threads} + 2);
    std::vector<std::thread> workers;
    if (threads > 1)
        for (unsigned t = 0; t < threads; ++t)
            workers.emplace_back([&queue] { queue.Work(); });
    struct Joiner {
        DecodeQueue& queue;
        std::vector<std::thread>& workers;
        ~Joiner()
        {
            queue.Stop();
            for (std::thread& w : workers)
                w.join();
        }
    } joiner{queue, workers};

    const int total = static_cast<int>(count);
    for (size_t i = 0; i < count; ++i) {
        std::optional<DecodedPicture> d;
        if (workers.empty())
            d = DecodePicture(paths[i], keyed[i]);
        while (!d) {
            d = queue.Take(i, std::chrono::milliseconds(30));
            if (!d && progress && !progress(static_cast<int>(i), total))
                throw LoadCancelled();
        }
        uint32_t id = 0;
        if (d->result.ok()) {
            if (upload)
                id = UploadPicture(*d);
        } else {
            staged.problems.push_back({static_cast<int32_t>(i), entries[i].name, PictureProblemReason(*d, paths[i])});
        }
        reg.TextureNames[i] = RegistryFileName(entries[i].name);  // 1251, as AddTexture registers it
        reg.TextureIds[i] = id;
        reg.TextureKeyed[i] = entries[i].keyed;
        reg.TextureCount = static_cast<int32_t>(i + 1);
        if (progress && !progress(static_cast<int>(i + 1), total))
            throw LoadCancelled();
    }
    return staged;
}

}  // namespace qx
