#include "TexturePath.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "Paths.h"
#include "Text1251.h"

namespace qx {

namespace {

// Upper case of a code page 1251 byte: ASCII letters, the 32 basic Cyrillic
// letters and Ё/ё.
unsigned char Folded(unsigned char c)
{
    if (c >= 'a' && c <= 'z')
        return static_cast<unsigned char>(c - 32);
    if (c >= 0xE0)
        return static_cast<unsigned char>(c - 32);
    if (c == 0xB8)
        return 0xA8;
    return c;
}

bool SameIgnoringCase(const std::string& a, const std::string& b)
{
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return Folded(static_cast<unsigned char>(x)) == Folded(static_cast<unsigned char>(y));
           });
}

}  // namespace

std::string FindFileIgnoringCase(const std::string& designPath, const std::string& fsFolder)
{
    namespace fs = std::filesystem;
    std::error_code error;
    // The model's names are 1251 bytes; the file system's are UTF-8.
    const std::string path = fsFolder + Cp1251ToUtf8(designPath);
    if (designPath.empty() || fs::exists(ToFsPath(path), error))
        return path;
    // A folder copied byte for byte from Windows keeps the 1251 bytes.
    if (fs::exists(ToFsPath(fsFolder + designPath), error))
        return fsFolder + designPath;
    const size_t cut = designPath.find_last_of("\\/");
    const std::string folder = cut == std::string::npos ? std::string() : designPath.substr(0, cut + 1);
    const std::string name = designPath.substr(folder.size());
    if (name.empty())
        return path;
    const std::string utf8Folder = fsFolder + Cp1251ToUtf8(folder);
    const std::string listed = ToFsPath(utf8Folder);
    std::string found;
    fs::directory_iterator entries(listed.empty() ? fs::path(".") : fs::path(listed), error);
    for (; !error && entries != fs::directory_iterator(); entries.increment(error)) {
        const std::string candidate = entries->path().filename().string();
        const bool same = SameIgnoringCase(Utf8ToCp1251(candidate), name) || SameIgnoringCase(candidate, name);
        if (same && (found.empty() || candidate < found))
            found = candidate;
    }
    return found.empty() ? path : utf8Folder + found;
}

}  // namespace qx
