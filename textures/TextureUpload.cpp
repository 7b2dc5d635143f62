#include "TextureUpload.h"

#include <algorithm>

#include <GL/gl.h>
#include <GL/glu.h>

#include "imageio/Resample.h"

namespace {

GLuint BuildTexture(GLsizei width, GLsizei height, GLenum format, GLint magFilter, const uint8_t* pixels)
{
    // Rescale here to the size GLU would choose, so that GLU's own scaler
    // (which loses the last row when only the width changes) never runs.
    GLint maxSide = 1;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &maxSide);
    const uint32_t targetWidth = qx::GluTextureSide(uint32_t(width), uint32_t(std::max(maxSide, 1)));
    const uint32_t targetHeight = qx::GluTextureSide(uint32_t(height), uint32_t(std::max(maxSide, 1)));
    qx::PixelBlock scaled;
    if (width > 0 && height > 0 && (targetWidth != uint32_t(width) || targetHeight != uint32_t(height))) {
        qx::ResamplePixels(pixels, uint32_t(width), uint32_t(height), format == GL_RGBA ? 4 : 3, scaled,
                           targetWidth, targetHeight);
        width = GLsizei(targetWidth);
        height = GLsizei(targetHeight);
        pixels = scaled.pixels.data();
    }

    GLuint name = 0;
    glGenTextures(1, &name);
    glBindTexture(GL_TEXTURE_2D, name);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, magFilter);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    GLint previousAlignment = 4;
    glGetIntegerv(GL_UNPACK_ALIGNMENT, &previousAlignment);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    const GLint internalFormat = format == GL_RGBA ? GL_RGBA : 3;
    gluBuild2DMipmaps(GL_TEXTURE_2D, internalFormat, width, height, format, GL_UNSIGNED_BYTE, pixels);
    glPixelStorei(GL_UNPACK_ALIGNMENT, previousAlignment);
    return name;
}

}  // namespace

uint32_t CreateTexture(uint16_t width, uint16_t height, uint32_t format, const uint8_t* pixels)
{
    return BuildTexture(width, height, format, GL_LINEAR, pixels);
}

namespace qx {

uint32_t UploadBlock(const PixelBlock& block, bool keyedBmp)
{
    const GLenum format = block.channels == 4 ? GL_RGBA : GL_RGB;
    const auto width = static_cast<GLsizei>(block.width);
    const auto height = static_cast<GLsizei>(block.height);
    return BuildTexture(width, height, format, keyedBmp ? GL_NEAREST : GL_LINEAR, block.pixels.data());
}

}  // namespace qx
