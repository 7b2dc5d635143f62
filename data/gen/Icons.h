// The 24 x 24 tree icons of the editor's image list, white background,
// written as Sys/Api/ImageList/00.bmp, 01.bmp, ...  The index of each
// picture is what the icon-index files and the texture window refer to.
#pragma once

#include "Image.h"

#include <vector>

namespace qx::data {

enum IconIndex : int {
    IconFolder = 0,
    IconFolderOpen = 1,
    IconObject = 2,
    IconPlayer = 3,
    IconModel = 4,
    IconBox = 5,
    IconMap = 6,
    IconSphere = 7,
    IconFloor = 8,
    IconWall = 9,
    IconTexture = 10,  // the texture window gives every texture node this one
    IconTextureFolder = 11,
    IconTorus = 12,
    IconCount = 13,
};

inline constexpr int IconSize = 24;

// All icons, in index order.
std::vector<Image> TreeIcons();

}  // namespace qx::data
