#include "GeneratedData.h"

#include <algorithm>
#include <cstdlib>
#include <stdexcept>

#include <sys/wait.h>

namespace qxdatatest {

int RunGenerator(const std::filesystem::path& root)
{
    const std::string command =
        std::string("'") + QX_MAKE_DATA_PATH + "' '" + root.string() + "' > /dev/null";
    const int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::vector<std::string> ListFiles(const std::filesystem::path& root)
{
    std::vector<std::string> files;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(root))
        if (entry.is_regular_file())
            files.push_back(std::filesystem::relative(entry.path(), root).generic_string());
    std::sort(files.begin(), files.end());
    return files;
}

std::string IconPath(int index)
{
    return "Sys/Api/ImageList/" + std::string(index < 10 ? "0" : "") + std::to_string(index) + ".bmp";
}

std::unique_ptr<qxtest::TempDir> GeneratedInstallation::dir_;

void GeneratedInstallation::SetUpTestSuite()
{
    dir_ = std::make_unique<qxtest::TempDir>();
    ASSERT_EQ(RunGenerator(dir_->path()), 0);
}

void GeneratedInstallation::TearDownTestSuite()
{
    dir_.reset();
}

namespace {

uint32_t Le(const std::string& b, size_t at, int bytes)
{
    if (at + bytes > b.size())
        throw std::runtime_error("BMP shorter than its headers");
    uint32_t v = 0;
    for (int i = bytes - 1; i >= 0; --i)
        v = (v << 8) | static_cast<uint8_t>(b[at + i]);
    return v;
}

}  // namespace

Bmp ReadBmp(const std::filesystem::path& file)
{
    const std::string b = qxtest::ReadFileBytes(file);
    Bmp bmp;
    bmp.actualSize = b.size();
    bmp.type = b.substr(0, 2);
    bmp.fileSizeField = Le(b, 2, 4);
    bmp.dataOffset = Le(b, 10, 4);
    bmp.headerSize = Le(b, 14, 4);
    bmp.width = static_cast<int32_t>(Le(b, 18, 4));
    bmp.height = static_cast<int32_t>(Le(b, 22, 4));
    bmp.planes = static_cast<uint16_t>(Le(b, 26, 2));
    bmp.bitsPerPixel = static_cast<uint16_t>(Le(b, 28, 2));
    bmp.compression = Le(b, 30, 4);
    bmp.imageSize = Le(b, 34, 4);
    bmp.coloursUsed = Le(b, 46, 4);
    bmp.pixels = b.substr(54);
    return bmp;
}

Bmp::Rgb Bmp::At(int x, int row) const
{
    const size_t at = (static_cast<size_t>(row) * width + x) * 3;
    const auto byte = [&](size_t i) { return static_cast<int>(static_cast<uint8_t>(pixels.at(i))); };
    return {byte(at + 2), byte(at + 1), byte(at)};
}

}  // namespace qxdatatest
