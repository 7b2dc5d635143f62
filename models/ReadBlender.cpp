#include <algorithm>
#include <charconv>
#include <cmath>

#include "BlenderModel.h"
#include "Errors.h"
#include "NumberText.h"

namespace qx {

namespace {

const std::string kNoTexture = "NOTEXTURE";

// Blanks and control characters off both ends.
std::string_view Trimmed(std::string_view line)
{
    while (!line.empty() && static_cast<unsigned char>(line.front()) <= ' ')
        line.remove_prefix(1);
    while (!line.empty() && static_cast<unsigned char>(line.back()) <= ' ')
        line.remove_suffix(1);
    return line;
}

class Lines {
public:
    explicit Lines(std::string_view text) : text_(text) {}
    bool AtEnd() const { return pos_ >= text_.size(); }
    // Lines end with CR LF, LF or CR.  Past the end every line is empty.
    std::string_view Next()
    {
        if (AtEnd())
            return {};
        const size_t end = std::min(text_.find_first_of("\r\n", pos_), text_.size());
        const std::string_view line = text_.substr(pos_, end - pos_);
        pos_ = end + (text_.compare(end, 2, "\r\n") == 0 ? 2 : 1);
        return Trimmed(line);
    }

private:
    std::string_view text_;
    size_t pos_ = 0;
};

[[noreturn]] void NotAFloat(std::string_view word)
{
    throw ConvertError::NotValid(word, "floating point");
}

// The number syntax of the exporter: a point, never a comma, whatever the
// locale.
float PointFloat(std::string_view word)
{
    char buffer[256];
    const size_t n = NormalizeDecimal(word, ".", buffer, sizeof buffer);
    if (n == 0)
        NotAFloat(word);
    double value = 0;
    const auto [end, error] = std::from_chars(buffer, buffer + n, value);
    if (error != std::errc() || end != buffer + n || std::fabs(value) > 3.4028234663852886e38)
        NotAFloat(word);
    return static_cast<float>(value);
}

float Word(std::string_view line, uint8_t n) { return PointFloat(NthWord(line, " ", n)); }

// The exporter's axes turned into the editor's.
TVec3 Triple(std::string_view line)
{
    const float a = Word(line, 1), b = Word(line, 2), c = Word(line, 3);
    return {-a, c, b};
}

}  // namespace

TGameObj ParseGameObj(std::string_view text)
{
    TGameObj obj;
    Lines lines(text);
    while (!lines.AtEnd()) {
        if (lines.Next() != "face")
            continue;
        TPoligon& p = obj.Poligons.Poligons.emplace_back();
        p.TextureName = std::string(lines.Next());
        p.Textured = p.TextureName != kNoTexture;
        // Not a number: a face without corners.  Corners are taken one line
        // at a time, so a count the file cannot hold ends in the conversion
        // error of the empty lines past its end, not in a huge allocation.
        const int32_t n = EditTextToInt(lines.Next());
        for (int32_t i = 0; i < n; ++i)
            p.Vertices.push_back(Triple(lines.Next()));
        for (int32_t i = 0; i < n; ++i)
            p.Normals.push_back(Triple(lines.Next()));
        p.TexCoords.resize(p.Vertices.size());
        if (p.Textured)
            for (TTexCoord& t : p.TexCoords) {
                const std::string_view line = lines.Next();
                t = {Word(line, 1), Word(line, 2)};
            }
    }
    return obj;
}

void LoadGameObjTextures(TGameObj& obj, const TextureLoader& loadTexture)
{
    if (!loadTexture)
        return;
    for (TPoligon& p : obj.Poligons.Poligons)
        if (p.TextureName != kNoTexture)
            loadTexture(p.TextureName, p.TextureId);
}

}  // namespace qx
