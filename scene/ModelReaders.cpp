#include "ModelReaders.h"

#include <filesystem>
#include <map>
#include <mutex>
#include <utility>

#include "Errors.h"
#include "Text1251.h"

namespace qx {

namespace {

ModelReaders& Installed()
{
    static ModelReaders readers;
    return readers;
}

// What tells a changed file from the one read: its size and time.
struct FileStamp {
    std::uintmax_t size = 0;
    std::filesystem::file_time_type time{};
    bool operator==(const FileStamp&) const = default;
};

FileStamp StampOf(const std::string& fileName)
{
    std::error_code ec;
    FileStamp stamp;
    stamp.size = std::filesystem::file_size(fileName, ec);
    if (ec)
        return FileStamp();
    stamp.time = std::filesystem::last_write_time(fileName, ec);
    return ec ? FileStamp() : stamp;
}

struct TableEntry {
    FileStamp stamp;
    std::shared_ptr<const LoadedModel> model;
};

// The table is the process's: a load on one thread, an autosave's restore
// on another, take turns.
std::mutex g_tableMutex;

// Keyed by kind and path: a file read as either kind is read again as the other.
std::map<std::pair<ModelKind, std::string>, TableEntry>& Table()
{
    static std::map<std::pair<ModelKind, std::string>, TableEntry> table;
    return table;
}

std::vector<std::string>& LastWarnings()
{
    static std::vector<std::string> warnings;
    return warnings;
}

}  // namespace

void SetModelReaders(ModelReaders readers)
{
    Installed() = std::move(readers);
    ForgetModelFiles();
}

const ModelReaders& CurrentModelReaders() { return Installed(); }

ModelFileRead ReadModelFile(ModelKind kind, const std::string& fileName)
{
    const ModelReaders& readers = Installed();
    if (kind == ModelKind::Model3ds ? !readers.Read3ds : !readers.ReadBlender)
        throw Error(kind == ModelKind::Model3ds ? "No reader for 3DS models is installed"
                                                : "No reader for Blender-export models is installed");
    const FileStamp stamp = StampOf(fileName);
    std::lock_guard lock(g_tableMutex);
    auto& table = Table();
    const auto key = std::make_pair(kind, fileName);
    const auto hit = table.find(key);
    if (hit != table.end() && hit->second.stamp == stamp)
        return {hit->second.model, {}, false};
    if (hit != table.end())
        table.erase(hit);
    ModelFileRead read;
    read.model = kind == ModelKind::Model3ds ? readers.Read3ds(fileName, read.warnings) : readers.ReadBlender(fileName);
    read.readNow = true;
    if (!read.model)
        throw Error("The model reader gave no model");
    table[key] = {stamp, read.model};
    return read;
}

void ForgetModelFiles()
{
    std::lock_guard lock(g_tableMutex);
    Table().clear();
}

std::vector<std::string> TakeModelWarnings() { return std::exchange(LastWarnings(), {}); }

void SetLastModelWarnings(std::vector<std::string> warnings) { LastWarnings() = std::move(warnings); }

std::string ModelNameRefusal(const std::string& utf8FileName)
{
    // A line break would end the name's line in the object file.
    if (Cp1251ToUtf8(Utf8ToCp1251(utf8FileName)) == utf8FileName &&
        utf8FileName.find_first_of("\r\n") == std::string::npos)
        return std::string();
    return Cp("Имя файла модели \"") + Utf8ToCp1251(utf8FileName) +
           Cp("\" содержит знаки, которых нет в кодировке Windows-1251; переименуйте файл и добавьте модель снова.");
}

}  // namespace qx
