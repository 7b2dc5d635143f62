// Hand-made 3DS files: chunks nest by concatenation, the length is filled in.
#pragma once

#include <cstdint>
#include <cstring>
#include <initializer_list>
#include <string>

namespace qxtest {

inline std::string Le16(uint16_t v) { return {char(v & 0xFF), char(v >> 8)}; }

inline std::string Le32(uint32_t v)
{
    return {char(v & 0xFF), char((v >> 8) & 0xFF), char((v >> 16) & 0xFF), char(v >> 24)};
}

inline std::string F32(float f)
{
    uint32_t bits;
    std::memcpy(&bits, &f, 4);
    return Le32(bits);
}

inline std::string Chunk(uint16_t id, const std::string& body)
{
    return Le16(id) + Le32(uint32_t(body.size() + 6)) + body;
}

inline std::string Cat(std::initializer_list<std::string> parts)
{
    std::string s;
    for (const std::string& p : parts)
        s += p;
    return s;
}

inline std::string Z(const std::string& text) { return text + std::string(1, '\0'); }

inline std::string Rgb24(uint8_t r, uint8_t g, uint8_t b) { return Chunk(0x0011, {char(r), char(g), char(b)}); }

inline std::string Percent(uint16_t p) { return Chunk(0x0030, Le16(p)); }

inline std::string Material(const std::string& name, const std::string& more = {})
{
    return Chunk(0xAFFF, Chunk(0xA000, Z(name)) + more);
}

inline std::string Vertices(std::initializer_list<std::initializer_list<float>> points)
{
    std::string body = Le16(uint16_t(points.size()));
    for (const auto& p : points)
        for (float f : p)
            body += F32(f);
    return Chunk(0x4110, body);
}

// Faces (a, b, c) with flags 0; `subChunks` (material groups) follow them.
inline std::string Faces(std::initializer_list<std::initializer_list<uint16_t>> faces, const std::string& subChunks = {})
{
    std::string body = Le16(uint16_t(faces.size()));
    for (const auto& f : faces) {
        for (uint16_t i : f)
            body += Le16(i);
        body += Le16(0);
    }
    return Chunk(0x4120, body + subChunks);
}

inline std::string Group(const std::string& material, uint16_t faceCount = 0)
{
    std::string body = Z(material) + Le16(faceCount);
    for (uint16_t i = 0; i < faceCount; ++i)
        body += Le16(i);
    return Chunk(0x4130, body);
}

inline std::string Mesh(const std::string& name, const std::string& meshChunks)
{
    return Chunk(0x4000, Z(name) + Chunk(0x4100, meshChunks));
}

// A main chunk with a version chunk and the 3D editor chunk (mesh version first).
inline std::string File3ds(const std::string& editorChunks, uint32_t version = 3)
{
    return Chunk(0x4D4D, Chunk(0x0002, Le32(version)) +
                             Chunk(0x3D3D, Chunk(0x3D3E, Le32(3)) + editorChunks));
}

inline std::string Triangle(const std::string& name, const std::string& extra = {})
{
    return Mesh(name, Vertices({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}}) + Faces({{0, 1, 2}}) + extra);
}

}  // namespace qxtest
