// Runs the start-up data generator into a folder and reads back what it
// wrote, independently of the generator's own code.
#pragma once

#include "TestSupport.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace qxdatatest {

// Exit code of qx_make_data run on the folder.
int RunGenerator(const std::filesystem::path& root);

// Relative paths (with slashes) of every regular file under root, sorted.
std::vector<std::string> ListFiles(const std::filesystem::path& root);

// "Sys/Api/ImageList/07.bmp" for 7.
std::string IconPath(int index);

// One generator run shared by the tests of the suite.
class GeneratedInstallation : public ::testing::Test {
protected:
    static void SetUpTestSuite();
    static void TearDownTestSuite();
    static const std::filesystem::path& Root() { return dir_->path(); }

private:
    static std::unique_ptr<qxtest::TempDir> dir_;
};

// The headers and pixels of a BMP as the editor's loaders read them.
struct Bmp {
    std::string type;
    uint32_t fileSizeField = 0, dataOffset = 0, headerSize = 0;
    int32_t width = 0, height = 0;
    uint16_t planes = 0, bitsPerPixel = 0;
    uint32_t compression = 0, imageSize = 0, coloursUsed = 0;
    size_t actualSize = 0;
    std::string pixels;  // everything after the 54 header bytes

    struct Rgb {
        int r, g, b;
        bool operator==(const Rgb&) const = default;
    };
    // Row 0 is the bottom row.  Assumes the rows are tightly packed 24-bit.
    Rgb At(int x, int row) const;
};
Bmp ReadBmp(const std::filesystem::path& file);

}  // namespace qxdatatest
