// Bitmap text in the GL view: one glBitmap display list per 8-bit code, so a
// text prints with one glCallLists over its bytes.  Codes are read as code
// page 1251 (Cyrillic prints); glyphs are drawn bold by Qt's font engine in
// the requested face (resolved by fontconfig) and height.
//
// The raster position goes through the current matrices: a world point in
// the 3D pass, a window pixel (y down) in the overlay pass, the text standing
// on it.  Callers set Text and Color before each PrintAt.  GUI thread, GL
// context current; needs a QGuiApplication for the font engine.
#pragma once

#include <cstdint>
#include <string>

#include "DisplayList.h"
#include "VectorMath.h"

class TQXFont {
public:
    TQXFont() = default;
    virtual ~TQXFont() = default;

    bool Visible = true;
    std::string Text;  // code page 1251 bytes
    uint32_t ListBase = 0;
    TColor4 Color;

    // Height 0 means 8, an empty face "Arial".  Replaces (and frees) the
    // glyph lists of an earlier Build.
    void Build(const std::string& text, uint8_t height, const std::string& faceName,
               const TColor4& color);
    // A colour with alpha above 0.1 switches alpha blending on first; alpha
    // below 1 switches blending off afterwards (so opaque text leaves it on).
    void PrintAt(float x, float y, float z);

private:
    qx::GlListRef glyphs_;
};

// Reserves 257 lists and fills lists base + c (c = 0..255) with the bitmap of
// code c; the last list stays empty.  Height as a signed byte: positive asks
// for that cell height in pixels, negative for that character height.
// Returns the base (0 when no lists could be reserved); the caller owns the
// lists.  Face names are 1251 bytes.
uint32_t CreateFontLists(int8_t height, const std::string& faceName);

// Prints the bytes of text through the lists from listBase at the raster
// position (x, y, z), with 2D texturing off during the print and on after it.
void PrintText(uint32_t listBase, const std::string& text, float x, float y, float z);
