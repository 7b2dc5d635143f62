// The file layer of the decoders: read the file read-only, in one piece,
// then decode the bytes.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <new>

#include "ImageDecoders.h"
#include "LoaderMessages.h"
#include "Paths.h"
#include "Text1251.h"

namespace qx {

namespace {

// No picture within the size cap needs a larger file.
constexpr uint64_t kMaxFileBytes = uint64_t{512} << 20;

enum class ReadOutcome { Read, CannotOpen, TooLarge };

ReadOutcome ReadImageBytes(const std::string& fsPath, std::vector<uint8_t>& bytes)
{
    const int fd = ::open(fsPath.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return ReadOutcome::CannotOpen;
    struct stat info {};
    ReadOutcome outcome = ReadOutcome::Read;
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        outcome = ReadOutcome::CannotOpen;
    } else if (static_cast<uint64_t>(info.st_size) > kMaxFileBytes) {
        outcome = ReadOutcome::TooLarge;
    } else {
        bytes.resize(static_cast<size_t>(info.st_size));
        size_t done = 0;
        while (done < bytes.size()) {
            const ssize_t got = ::read(fd, bytes.data() + done, bytes.size() - done);
            if (got < 0 && errno == EINTR)
                continue;
            if (got < 0) {
                outcome = ReadOutcome::CannotOpen;
                break;
            }
            if (got == 0)
                break;  // the file shrank meanwhile: decode what arrived
            done += static_cast<size_t>(got);
        }
        bytes.resize(done);
    }
    ::close(fd);
    return outcome;
}

// The message a loader gives for a file it cannot open.
std::vector<LoaderMessage> OpeningMessages(ImageKind kind, const std::string& path, bool keyed)
{
    switch (kind) {
    case ImageKind::Bmp:
        if (keyed)
            return {LoaderMessageNo(2, path), LoaderMessageNo(6, path)};
        return {LoaderMessageNo(1, path)};
    case ImageKind::Tga: return {LoaderMessageNo(7, path)};
    case ImageKind::Png: return {LoaderMessageNo(12, path)};
    case ImageKind::Gif: return {LoaderMessageNo(13, path)};
    case ImageKind::Jpeg: return {LoaderMessageNo(14, path)};
    case ImageKind::None: break;
    }
    return {};
}

}  // namespace

DecodeResult DecodeImageFile(ImageKind kind, const std::string& path, bool keyed)
{
    DecodeResult result;
    if (kind == ImageKind::None)
        return result;
    std::vector<uint8_t> bytes;
    // The path is the file system's (UTF-8); messages are 1251 text.
    const std::string shown = Utf8ToCp1251(path);
    switch (ReadImageBytes(ToFsPath(path), bytes)) {
    case ReadOutcome::CannotOpen:
        result.messages = OpeningMessages(kind, shown, keyed);
        return result;
    case ReadOutcome::TooLarge:
        result.messages.push_back(FileTooLargeMessage(LoaderCaption(kind), shown));
        if (kind == ImageKind::Bmp && keyed)
            result.messages.push_back(LoaderMessageNo(6, shown));
        return result;
    case ReadOutcome::Read: break;
    }
    const Bytes data(bytes.data(), bytes.size());
    try {
        switch (kind) {
        case ImageKind::Bmp: return DecodeBmp(data, shown, keyed);
        case ImageKind::Tga: return DecodeTga(data, shown);
        case ImageKind::Png: return DecodePng(data, shown, keyed);
        case ImageKind::Gif: return DecodeGif(data, shown, keyed);
        case ImageKind::Jpeg: return DecodeJpeg(data, shown, keyed);
        case ImageKind::None: break;
        }
    } catch (const std::bad_alloc&) {
        result.messages.push_back(OutOfMemoryMessage(LoaderCaption(kind), shown));
    }
    return result;
}

}  // namespace qx
