// The file layer of the decoders: read the file read-only, in one piece,
// then decode the bytes.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

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

const char* CaptionOf(ImageKind kind)
{
    switch (kind) {
    case ImageKind::Tga: return kTgaErrorCaption;
    case ImageKind::Png: return kPngCaption;
    case ImageKind::Gif: return kGifCaption;
    case ImageKind::Jpeg: return kJpegCaption;
    default: return kBmpCaption;
    }
}

}  // namespace

DecodeResult DecodeImageFile(ImageKind kind, const std::string& path, bool keyed)
{
    DecodeResult result;
    if (kind == ImageKind::None)
        return result;
    std::vector<uint8_t> bytes;
    // Model paths are code page 1251; the file system's names are UTF-8.
    switch (ReadImageBytes(Cp1251ToUtf8(ToFsPath(path)), bytes)) {
    case ReadOutcome::CannotOpen:
        result.messages = OpeningMessages(kind, path, keyed);
        return result;
    case ReadOutcome::TooLarge:
        result.messages.push_back(FileTooLargeMessage(CaptionOf(kind), path));
        if (kind == ImageKind::Bmp && keyed)
            result.messages.push_back(LoaderMessageNo(6, path));
        return result;
    case ReadOutcome::Read: break;
    }
    const Bytes data(bytes.data(), bytes.size());
    switch (kind) {
    case ImageKind::Bmp: return DecodeBmp(data, path, keyed);
    case ImageKind::Tga: return DecodeTga(data, path);
    case ImageKind::Png: return DecodePng(data, path, keyed);
    case ImageKind::Gif: return DecodeGif(data, path, keyed);
    case ImageKind::Jpeg: return DecodeJpeg(data, path, keyed);
    case ImageKind::None: break;
    }
    return result;
}

}  // namespace qx
