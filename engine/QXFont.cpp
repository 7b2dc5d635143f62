#include "QXFont.h"

#include <GL/gl.h>
#include <QFont>
#include <QFontMetricsF>
#include <QImage>
#include <QPainter>
#include <QString>

#include <algorithm>
#include <cmath>
#include <vector>

#include "GLEngine.h"
#include "Text1251.h"

namespace {

constexpr GLsizei kGlyphLists = 257;

QFont GlyphFont(int8_t height, const std::string& faceName)
{
    QFont font(QString::fromStdString(Cp1251ToUtf8(faceName)));
    font.setWeight(QFont::Bold);
    font.setItalic(false);
    font.setUnderline(false);
    font.setStrikeOut(false);
    // glBitmap keeps one bit per pixel: draw the glyphs sharp, not smoothed.
    font.setStyleStrategy(QFont::NoAntialias);
    if (height < 0) {
        font.setPixelSize(-static_cast<int>(height));  // character (em) height
    } else {
        // A positive height is the cell height (ascent + descent): scale the
        // em size so the face's cell comes out at that height.
        font.setPixelSize(height);
        const QFontMetricsF probe(font);
        const double cell = probe.ascent() + probe.descent();
        if (cell > 0)
            font.setPixelSize(std::max(1, static_cast<int>(std::lround(height * height / cell))));
    }
    return font;
}

// Compiles the glyph of one character into the list being defined.
void CompileGlyph(const QFont& font, const QFontMetricsF& metrics, QChar ch)
{
    const float advance = static_cast<float>(metrics.horizontalAdvance(ch));
    const QRect box = QFontMetrics(font).boundingRect(ch).adjusted(-1, -1, 1, 1);
    if (box.width() <= 2 || box.height() <= 2) {
        // A blank still moves the pen.  Mesa drops an empty glBitmap from a
        // display list, so the blank is one unset pixel.
        static const GLubyte unset = 0;
        glBitmap(1, 1, 0, 0, advance, 0, &unset);
        return;
    }

    QImage image(box.size(), QImage::Format_Grayscale8);
    image.fill(0);
    {
        QPainter painter(&image);
        painter.setFont(font);
        painter.setPen(Qt::white);
        painter.drawText(QPointF(-box.left(), -box.top()), QString(ch));
    }

    // glBitmap rows run bottom to top, most significant bit first, packed to
    // bytes (the unpack alignment is 1 while the list is compiled).
    const int width = image.width();
    const int height = image.height();
    const int rowBytes = (width + 7) / 8;
    std::vector<GLubyte> bits(static_cast<size_t>(rowBytes) * height, 0);
    for (int row = 0; row < height; ++row) {
        const uchar* line = image.constScanLine(height - 1 - row);
        GLubyte* out = bits.data() + static_cast<size_t>(row) * rowBytes;
        for (int x = 0; x < width; ++x)
            if (line[x] > 127)
                out[x / 8] |= static_cast<GLubyte>(0x80 >> (x % 8));
    }
    // The bitmap's bottom row lies box.bottom() pixels below the baseline
    // (Qt's y grows downwards); its first column box.left() right of the pen.
    glBitmap(width, height, static_cast<float>(-box.left()), static_cast<float>(box.bottom() + 1),
             advance, 0, bits.data());
}

}  // namespace

uint32_t CreateFontLists(int8_t height, const std::string& faceName)
{
    const GLuint base = glGenLists(kGlyphLists);
    if (base == 0)
        return 0;
    const QFont font = GlyphFont(height, faceName);
    const QFontMetricsF metrics(font);

    glPushClientAttrib(GL_CLIENT_PIXEL_STORE_BIT);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
    glPixelStorei(GL_UNPACK_SKIP_ROWS, 0);
    glPixelStorei(GL_UNPACK_SKIP_PIXELS, 0);
    glPixelStorei(GL_UNPACK_LSB_FIRST, GL_FALSE);
    glPixelStorei(GL_UNPACK_SWAP_BYTES, GL_FALSE);
    for (int code = 0; code < 256; ++code) {
        glNewList(base + code, GL_COMPILE);
        const QString decoded =
            QString::fromStdString(Cp1251ToUtf8(std::string(1, static_cast<char>(code))));
        // Control codes and the one unassigned byte (0x98) have no glyph.
        if (code >= 0x20 && decoded.size() == 1 && decoded[0] != QChar::ReplacementCharacter)
            CompileGlyph(font, metrics, decoded[0]);
        glEndList();
    }
    glNewList(base + 256, GL_COMPILE);
    glEndList();
    glPopClientAttrib();
    return base;
}

void PrintText(uint32_t listBase, const std::string& text, float x, float y, float z)
{
    if (text.empty())
        return;
    glDisable(GL_TEXTURE_2D);
    glPushMatrix();
    glRasterPos3f(x, y, z);
    glPushAttrib(GL_LIST_BIT);
    glListBase(listBase);
    glCallLists(static_cast<GLsizei>(text.size()), GL_UNSIGNED_BYTE, text.data());
    glPopAttrib();
    glPopMatrix();
    glEnable(GL_TEXTURE_2D);
}

void TQXFont::Build(const std::string& text, uint8_t height, const std::string& faceName,
                    const TColor4& color)
{
    Text = text;
    Color = color;
    const uint8_t cell = height == 0 ? 8 : height;
    const std::string face = faceName.empty() ? std::string("Arial") : faceName;
    glyphs_ = qx::GlListRef::Adopt(CreateFontLists(static_cast<int8_t>(cell), face), kGlyphLists);
    ListBase = static_cast<uint32_t>(glyphs_.Id(0));
}

void TQXFont::PrintAt(float x, float y, float z)
{
    // Without glyph lists the bytes would call whatever lists happen to sit
    // at ids 0..255 (other objects' geometry): print nothing instead.
    if (!Visible || Text.empty() || !glyphs_)
        return;
    if (Color.A > 0.1f)
        SetBlend(0, 2);
    glColor4f(Color.R, Color.G, Color.B, Color.A);
    PrintText(ListBase, Text, x, y, z);
    if (Color.A < 1.0f)
        SetBlend(0, 0);
}
