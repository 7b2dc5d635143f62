#include "LargeModel3ds.h"

#include <cmath>
#include <cstdint>
#include <cstring>

namespace {

void Put16(std::string& s, uint16_t v) { s += {char(v & 0xFF), char(v >> 8)}; }

void Put32(std::string& s, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        s += char((v >> (8 * i)) & 0xFF);
}

void PutFloat(std::string& s, float f)
{
    uint32_t bits;
    std::memcpy(&bits, &f, 4);
    Put32(s, bits);
}

std::string Chunk(uint16_t id, const std::string& body)
{
    std::string s;
    Put16(s, id);
    Put32(s, uint32_t(body.size() + 6));
    return s + body;
}

std::string Name(const std::string& text) { return text + std::string(1, '\0'); }

std::string Grid(int index, int side)
{
    std::string vertices, uv, faces, group;
    Put16(vertices, uint16_t(side * side));
    Put16(uv, uint16_t(side * side));
    for (int y = 0; y < side; ++y)
        for (int x = 0; x < side; ++x) {
            PutFloat(vertices, float(x + index * side));
            PutFloat(vertices, float(y));
            PutFloat(vertices, std::sin(x * 0.1f) * std::cos(y * 0.07f) * 5.0f);
            PutFloat(uv, float(x) / float(side - 1));
            PutFloat(uv, float(y) / float(side - 1));
        }
    const int cells = side - 1;
    group = Name("Steel");
    Put16(group, uint16_t(cells * cells * 2));
    Put16(faces, uint16_t(cells * cells * 2));
    for (int y = 0; y < cells; ++y)
        for (int x = 0; x < cells; ++x) {
            const uint16_t a = uint16_t(y * side + x), b = uint16_t(a + 1), c = uint16_t(a + side),
                           d = uint16_t(c + 1);
            for (const auto& tri : {std::initializer_list<uint16_t>{a, c, b}, {b, c, d}}) {
                for (const uint16_t corner : tri)
                    Put16(faces, corner);
                Put16(faces, 7);
            }
        }
    for (int f = 0; f < cells * cells * 2; ++f)
        Put16(group, uint16_t(f));
    return Chunk(0x4000, Name("Grid" + std::to_string(index)) +
                             Chunk(0x4100, Chunk(0x4110, vertices) + Chunk(0x4140, uv) +
                                               Chunk(0x4120, faces + Chunk(0x4130, group))));
}

}  // namespace

std::string MakeLarge3ds(int meshes, int side)
{
    std::string material = Chunk(0xA000, Name("Steel"));
    std::string rgb = Chunk(0x0011, {char(180), char(180), char(190)});
    material += Chunk(0xA020, rgb) + Chunk(0xA010, rgb) + Chunk(0xA030, rgb);
    std::string percent;
    Put16(percent, 30);
    material += Chunk(0xA040, Chunk(0x0030, percent));
    std::string editor;
    std::string meshVersion;
    Put32(meshVersion, 3);
    editor += Chunk(0x3D3E, meshVersion) + Chunk(0xAFFF, material);
    for (int i = 0; i < meshes; ++i)
        editor += Grid(i, side);
    std::string version;
    Put32(version, 3);
    return Chunk(0x4D4D, Chunk(0x0002, version) + Chunk(0x3D3D, editor));
}
