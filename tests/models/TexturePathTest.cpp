#include <gtest/gtest.h>

#include <filesystem>

#include "TestSupport.h"
#include "TexturePath.h"

namespace {

TEST(FindFileIgnoringCase, MapNamesDifferingOnlyInLetterCaseAreFound)
{
    qxtest::TempDir dir;
    std::filesystem::create_directory(dir / "textures");
    qxtest::WriteFileBytes(dir / "textures" / "mp5sil.bmp", "x");
    qxtest::WriteFileBytes(dir / "textures" / "Дверь.bmp", "x");
    qxtest::ScopedCurrentDir here(dir.path());
    EXPECT_EQ(qx::FindFileIgnoringCase("textures\\MP5SIL.BMP"), "textures\\mp5sil.bmp");
    EXPECT_EQ(qx::FindFileIgnoringCase("textures\\mp5sil.bmp"), "textures\\mp5sil.bmp");
    // A 1251 name from the model ("ДВЕРЬ.BMP") finds the UTF-8 file.
    EXPECT_EQ(qx::FindFileIgnoringCase("textures\\\xC4\xC2\xC5\xD0\xDC.BMP"), "textures\\Дверь.bmp");
    // A file named in 1251 bytes (copied from Windows): found as it is and
    // in other letter case ("ОКНО.BMP" for "Окно.bmp").
    qxtest::WriteFileBytes(dir / "textures" / "\xCE\xEA\xED\xEE.bmp", "x");
    EXPECT_EQ(qx::FindFileIgnoringCase("textures\\\xCE\xEA\xED\xEE.bmp"), "textures\\\xCE\xEA\xED\xEE.bmp");
    EXPECT_EQ(qx::FindFileIgnoringCase("textures\\\xCE\xCA\xCD\xCE.BMP"), "textures\\\xCE\xEA\xED\xEE.bmp");
    EXPECT_EQ(qx::FindFileIgnoringCase("textures\\other.bmp"), "textures\\other.bmp");
    EXPECT_EQ(qx::FindFileIgnoringCase("missing\\A.BMP"), "missing\\A.BMP");
}

}  // namespace
