// A small level of every box setting and every other kind, for holding two
// drawings of it to the same picture, and the picture read back.
#pragma once

#include <GL/gl.h>

#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include "ObjectBuffers.h"
#include "ProjectContent.h"
#include "QX3DObject.h"

namespace qxtest {

// The object drawings held to one picture: the display lists (the
// reference), the vertex buffers, and the buffers with occlusion culling.
enum class Drawing { Reference, Buffers, Culled };
inline constexpr Drawing kDrawings[] = {Drawing::Reference, Drawing::Buffers, Drawing::Culled};

inline void UseDrawing(Drawing drawing)
{
    qx::SetObjectPath(drawing == Drawing::Reference ? qx::ObjectPath::DisplayLists : qx::ObjectPath::Buffers);
    qx::SetOcclusionCulling(drawing == Drawing::Culled);
}

// Objects "_P0" ... "_P11" of 15 opaque boxes (textures -1 .. textures - 1,
// turned, tiled, coloured, some culled inside out, some with eye-linear
// tex-gen) and a sphere, a torus, a placed floor and a wall, placed 150
// times within 40 units of the origin at heights 0 and 4.  Not built.
inline ProjectContent PictureLevel(int textures)
{
    ProjectContent c;
    std::mt19937 random(5);
    std::uniform_real_distribution<float> unit(0, 1);
    for (int n = 0; n < 12; ++n) {
        TGLPremitives& list = *c.MapObjects[static_cast<size_t>(c.AddObject("_P" + std::to_string(n)))]->Lists[0];
        for (int b = 0; b < 15; ++b) {
            const int16_t i = list.AddBox(b % (textures + 1) - 1, unit(random) * 6 - 3, unit(random) * 3,
                                          unit(random) * 6 - 3, 0.5f + unit(random) * 2, 0.5f + unit(random) * 2,
                                          0.5f + unit(random) * 2, 1 + float(b % 3), unit(random) * 40,
                                          unit(random) * 360, 0);
            TBox& box = list.Boxes[static_cast<size_t>(i)];
            box.CullFront = b % 7 != 0;
            if (b % 4 == 1)
                box.Color = {unit(random), unit(random), unit(random), 1};
            if (b % 11 == 5)
                box.TexGenMode = 3;
        }
        list.AddSphere(n % (textures + 1) - 1, 12, 0, 5, 0, 1.5f, 0, 30, 0);
        TTorus torus;
        torus.Texture = n % (textures + 1) - 1;
        torus.ShapeParams[0] = 2;
        torus.ShapeParams[1] = 0.5f;
        torus.Position = {3, 4, 3};
        torus.Rotation = {60, 0, 0};
        list.Tori.push_back(torus);
        list.TorusCount = 1;
        list.AddFloor(0, -4, 0.01f, -4, 3, 2, 2, 20, 0, 0);
        list.Floors[0].OwnTransform = true;
        TWall wall;
        static_cast<TFlatRect&>(wall) = list.Floors[0];
        wall.Rotation = {90, 45, 0};
        list.Walls.push_back(wall);
        list.WallCount = 1;
    }
    for (int p = 0; p < 150; ++p)
        c.AddPlacement("_P" + std::to_string(p % 12),
                       TPlacement{unit(random) * 80 - 40, float(p % 2) * 4, unit(random) * 80 - 40, 0,
                                  unit(random) * 360, 0, 1, 1 + float(p % 3) * 0.25f, 1});
    return c;
}

inline void BuildObjects(ProjectContent& c)
{
    for (int32_t k = 0; k < c.MapObjectCount; ++k)
        c.MapObjects[static_cast<size_t>(k)]->BuildDisplayLists();
}

inline std::vector<unsigned char> ReadPicture(int width = 256, int height = 256)
{
    std::vector<unsigned char> rgba(static_cast<size_t>(width) * static_cast<size_t>(height) * 4);
    glReadPixels(0, 0, width, height, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
    return rgba;
}

inline size_t DifferentPixels(const std::vector<unsigned char>& a, const std::vector<unsigned char>& b)
{
    size_t n = 0;
    for (size_t i = 0; i + 3 < a.size() && i + 3 < b.size(); i += 4)
        n += a[i] != b[i] || a[i + 1] != b[i + 1] || a[i + 2] != b[i + 2];
    return n;
}

}  // namespace qxtest
