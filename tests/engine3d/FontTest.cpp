// The bitmap font: Cyrillic glyphs from code page 1251 bytes, the raster
// position in the overlay and the 3D pass, the blending rules of PrintAt,
// and the state it leaves.  Checked on read-back pixels.
#include <gtest/gtest.h>

#include <GL/gl.h>
#include <QFont>
#include <QImage>
#include <QPainter>

#include <vector>

#include "GLEngine.h"
#include "GlTestContext.h"
#include "QXFont.h"
#include "Text1251.h"

namespace {

constexpr int kSize = 256;

// Lit pixels of the frame, indexed [overlayY * 256 + x] (y down, as overlay).
std::vector<unsigned char> Mask(int threshold = 100)
{
    std::vector<unsigned char> rgba(kSize * kSize * 4);
    glReadPixels(0, 0, kSize, kSize, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
    std::vector<unsigned char> mask(kSize * kSize);
    for (int y = 0; y < kSize; ++y)
        for (int x = 0; x < kSize; ++x)
            mask[(kSize - 1 - y) * kSize + x] = rgba[(y * kSize + x) * 4] > threshold;
    return mask;
}

int Count(const std::vector<unsigned char>& m)
{
    int n = 0;
    for (unsigned char v : m)
        n += v;
    return n;
}

struct Box {
    int left = kSize, right = -1, top = kSize, bottom = -1;
};
Box Extent(const std::vector<unsigned char>& m)
{
    Box b;
    for (int y = 0; y < kSize; ++y)
        for (int x = 0; x < kSize; ++x)
            if (m[y * kSize + x]) {
                b.left = std::min(b.left, x);
                b.right = std::max(b.right, x);
                b.top = std::min(b.top, y);
                b.bottom = std::max(b.bottom, y);
            }
    return b;
}

class FontTest : public qxtest::GlTest {
protected:
    void SetUp() override
    {
        GlTest::SetUp();
        glViewport(0, 0, kSize, kSize);
        SetProjection(255, kSize, kSize);
        glClearColor(0, 0, 0, 0);
        glClear(GL_COLOR_BUFFER_BIT);
    }
    std::vector<unsigned char> Print(TQXFont& font, const std::string& text, float x, float y)
    {
        glClear(GL_COLOR_BUFFER_BIT);
        font.Text = text;
        font.PrintAt(x, y, 0);
        return Mask();
    }
};

TEST_F(FontTest, CyrillicTextMatchesTheFontEngineDrawingOfTheSameWord)
{
    // Height 236 is -20 as a signed byte: a 20-pixel character height.
    TQXFont font;
    font.Build("", 236, "Arial", {1, 1, 1, 1});
    const auto printed = Print(font, Cp("Игрок"), 40, 100);

    QImage reference(kSize, kSize, QImage::Format_Grayscale8);
    reference.fill(0);
    {
        QFont face("Arial");
        face.setWeight(QFont::Bold);
        face.setPixelSize(20);
        face.setStyleStrategy(QFont::NoAntialias);
        QPainter painter(&reference);
        painter.setFont(face);
        painter.setPen(Qt::white);
        painter.drawText(QPointF(40, 100), QString::fromUtf8("Игрок"));
    }
    int both = 0, either = 0;
    for (int y = 0; y < kSize; ++y)
        for (int x = 0; x < kSize; ++x) {
            const bool a = printed[y * kSize + x];
            const bool b = reference.constScanLine(y)[x] > 127;
            both += a && b;
            either += a || b;
        }
    ASSERT_GT(either, 100);
    EXPECT_GT(double(both) / either, 0.85) << both << " of " << either;
}

TEST_F(FontTest, DistinctCyrillicCodesGiveDistinctGlyphs)
{
    TQXFont font;
    font.Build("", 20, "Arial", {1, 1, 1, 1});
    const auto upper = Print(font, Cp("Ж"), 50, 100);
    const auto lower = Print(font, Cp("ж"), 50, 100);
    const auto question = Print(font, "?", 50, 100);
    EXPECT_GT(Count(upper), 30);
    EXPECT_NE(upper, question) << "the byte must not fall back to a placeholder";
    EXPECT_GT(Extent(upper).bottom - Extent(upper).top, Extent(lower).bottom - Extent(lower).top);
    // Ж is (nearly) mirror-symmetric; a mapping to another letter rarely is.
    const Box b = Extent(upper);
    int same = 0, lit = 0;
    for (int y = b.top; y <= b.bottom; ++y)
        for (int x = b.left; x <= b.right; ++x) {
            const bool here = upper[y * kSize + x];
            const bool mirrored = upper[y * kSize + (b.left + b.right - x)];
            lit += here;
            same += here && mirrored;
        }
    EXPECT_GT(double(same) / lit, 0.8);
}

TEST_F(FontTest, OverlayTextStandsOnItsRasterPosition)
{
    TQXFont font;
    font.Build("", 20, "Arial", {1, 1, 1, 1});
    const Box b = Extent(Print(font, "HH", 10, 20));
    EXPECT_GE(b.left, 10);
    EXPECT_LE(b.left, 13);
    EXPECT_EQ(b.bottom, 19) << "the letters stand on overlay row 20";
    EXPECT_GE(b.top, 2);
}

TEST_F(FontTest, BlanksMoveThePen)
{
    TQXFont font;
    font.Build("", 20, "Arial", {1, 1, 1, 1});
    const Box joined = Extent(Print(font, "HH", 10, 50));
    const Box spaced = Extent(Print(font, "H  H", 10, 50));
    EXPECT_GT(spaced.right - joined.right, 6);
}

TEST_F(FontTest, ZeroHeightAndEmptyFaceMeanAnEightPixelArial)
{
    TQXFont fallback, explicitFont, large;
    fallback.Build("", 0, "", {1, 1, 1, 1});
    explicitFont.Build("", 8, "Arial", {1, 1, 1, 1});
    large.Build("", 20, "Arial", {1, 1, 1, 1});
    const auto a = Print(fallback, "HOH", 20, 50);
    const auto b = Print(explicitFont, "HOH", 20, 50);
    const auto c = Print(large, "HOH", 20, 50);
    EXPECT_GT(Count(a), 10);
    EXPECT_EQ(a, b);
    const Box small = Extent(a);
    EXPECT_LE(small.bottom - small.top + 1, 8);
    EXPECT_GT(Extent(c).bottom - Extent(c).top, small.bottom - small.top);
}

TEST_F(FontTest, EmptyTextChangesNoState)
{
    TQXFont font;
    font.Build("", 20, "Arial", {1, 0, 0, 0.5f});
    font.Text.clear();
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_BLEND);
    glColor4f(0.25f, 0.5f, 0.75f, 1);
    glRasterPos3f(5, 5, 0);
    float rasterBefore[4], rasterAfter[4], colour[4];
    glGetFloatv(GL_CURRENT_RASTER_POSITION, rasterBefore);
    font.PrintAt(100, 100, 0);
    glGetFloatv(GL_CURRENT_RASTER_POSITION, rasterAfter);
    glGetFloatv(GL_CURRENT_COLOR, colour);
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    EXPECT_FLOAT_EQ(colour[0], 0.25f);
    for (int i = 0; i < 4; ++i)
        EXPECT_FLOAT_EQ(rasterBefore[i], rasterAfter[i]);
}

TEST_F(FontTest, BlendingRulesFollowTheAlpha)
{
    TQXFont font;
    font.Build("", 20, "Arial", {1, 1, 1, 0.5f});
    glDisable(GL_BLEND);
    glDisable(GL_TEXTURE_2D);
    auto brightest = [] {
        std::vector<unsigned char> rgba(kSize * kSize * 4);
        glReadPixels(0, 0, kSize, kSize, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
        int best = 0;
        for (size_t i = 0; i < rgba.size(); i += 4)
            best = std::max<int>(best, rgba[i]);
        return best;
    };

    Print(font, "H", 20, 50);
    EXPECT_NEAR(brightest(), 128, 2) << "half alpha blends over black";
    EXPECT_FALSE(glIsEnabled(GL_BLEND)) << "alpha below 1 switches blending off after";
    EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D)) << "texturing is on again after a print";

    font.Color = {1, 1, 1, 1};
    Print(font, "H", 20, 50);
    EXPECT_EQ(brightest(), 255);
    EXPECT_TRUE(glIsEnabled(GL_BLEND)) << "an opaque text leaves blending on";

    glDisable(GL_BLEND);
    font.Color = {1, 1, 1, 0.05f};
    Print(font, "H", 20, 50);
    EXPECT_EQ(brightest(), 255) << "alpha 0.05 does not switch blending on";
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
}

TEST_F(FontTest, HiddenOrUnbuiltFontsPrintNothing)
{
    TQXFont unbuilt;
    unbuilt.Color = {1, 1, 1, 1};
    EXPECT_EQ(Count(Print(unbuilt, "ABC", 20, 50)), 0);

    TQXFont hidden;
    hidden.Build("", 20, "Arial", {1, 1, 1, 1});
    hidden.Visible = false;
    EXPECT_EQ(Count(Print(hidden, "ABC", 20, 50)), 0);
}

TEST_F(FontTest, WorldPointRasterPositionInThe3DPass)
{
    TQXFont font;
    font.Build("11", 20, "Arial", {1, 1, 1, 1});
    SetProjection(0, kSize, kSize);
    glTranslatef(0, 0, -10);
    glClear(GL_COLOR_BUFFER_BIT);
    font.PrintAt(0, 0, 0);  // the centre of the view
    const Box b = Extent(Mask());
    EXPECT_GE(b.left, 127);
    EXPECT_LE(b.left, 131);
    EXPECT_EQ(b.bottom, 127);

    glClear(GL_COLOR_BUFFER_BIT);
    font.PrintAt(0, 0, 20);  // behind the eye: GL skips the whole text
    EXPECT_EQ(Count(Mask()), 0);
}

TEST_F(FontTest, BuildReservesTheGlyphListsOnceAndRebuildFreesTheOldOnes)
{
    const int64_t baseline = qx::LiveGlLists();
    TQXFont font;
    font.Build("11", 20, "Arial", {1, 1, 1, 0.2f});
    EXPECT_EQ(font.Text, "11");
    EXPECT_FLOAT_EQ(font.Color.A, 0.2f);
    EXPECT_EQ(qx::LiveGlLists(), baseline + 257);
    const GLuint first = font.ListBase;
    EXPECT_TRUE(glIsList(first + 0xC6));
    font.Build("11", 12, "Arial", {1, 1, 1, 1});
    EXPECT_EQ(qx::LiveGlLists(), baseline + 257);
    EXPECT_TRUE(glIsList(font.ListBase + 255));
}

}  // namespace
