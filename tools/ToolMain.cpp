// qxinspect: checks texture files with the editor's own loaders, so that a
// folder of textures can be vetted before a release.
//
//   qxinspect texture FILE [--key]
//   qxinspect project FOLDER        (see ProjectReport.h)
//   qxinspect model FILE            (ModelReport.h)
//
// Paths on the command line are the file system's, taken as typed.
//
// prints "WIDTHxHEIGHT FORMAT md5=HEX" (FORMAT RGB or RGBA; HEX the MD5 of
// the pixel block exactly as the loader hands it to the GL upload: rows
// bottom first, tightly packed) and exits 0; when the loader refuses the
// file it prints each message as "caption: text" and exits 1.  The block is
// also uploaded in an offscreen GL context when one can be had.
#include <QCryptographicHash>
#include <QGuiApplication>
#include <QOffscreenSurface>
#include <QOpenGLContext>

#include <GL/gl.h>

#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

#include "ProjectReport.h"
#include "ModelReport.h"
#include "SurfacelessGl.h"
#include "Text1251.h"
#include "TextureUpload.h"
#include "imageio/ImageDecoders.h"

namespace {

int Usage()
{
    std::fprintf(stderr, "usage: qxinspect texture FILE [--key]\n"
                         "       qxinspect project FOLDER\n"
                         "       qxinspect model FILE\n");
    return 2;
}

bool UploadAndCheck(const qx::PixelBlock& block, bool keyedBmp)
{
    const uint32_t name = qx::UploadBlock(block, keyedBmp);
    return name != 0 && glGetError() == GL_NO_ERROR;
}

// Without any display: Mesa's surfaceless EGL platform, desktop GL.
bool UploadSurfaceless(const qx::PixelBlock& block, bool keyedBmp)
{
    SurfacelessGl gl;
    return gl.valid() && UploadAndCheck(block, keyedBmp);
}

// Uploads the block as the editor would; false when no GL context exists or
// GL reports an error.
bool UploadOffscreen(const qx::PixelBlock& block, bool keyedBmp)
{
    QSurfaceFormat format;
    format.setProfile(QSurfaceFormat::CompatibilityProfile);
    format.setVersion(2, 1);
    QOffscreenSurface surface;
    surface.setFormat(format);
    surface.create();
    QOpenGLContext context;
    context.setFormat(format);
    if (!surface.isValid() || !context.create() || !context.makeCurrent(&surface))
        return UploadSurfaceless(block, keyedBmp);
    const bool ok = UploadAndCheck(block, keyedBmp);
    context.doneCurrent();
    return ok;
}

int InspectTexture(const std::string& path, bool keyed)
{
    const qx::ImageKind kind = qx::ImageKindForPath(path, true);
    if (kind == qx::ImageKind::None) {
        std::printf("qxinspect: no loader for the ending of \"%s\"\n", path.c_str());
        return 1;
    }
    const bool effectiveKey = kind == qx::ImageKind::Tga ? false : keyed;
    const qx::DecodeResult result = qx::DecodeImageFile(kind, path, effectiveKey);
    if (!result.ok()) {
        for (const qx::LoaderMessage& m : result.messages)
            std::printf("%s: %s\n", Cp1251ToUtf8(m.caption).c_str(), Cp1251ToUtf8(m.text).c_str());
        return 1;
    }
    for (const qx::LoaderMessage& m : result.messages)  // a keyed BMP short of data still loads
        std::fprintf(stderr, "%s: %s\n", Cp1251ToUtf8(m.caption).c_str(), Cp1251ToUtf8(m.text).c_str());
    const qx::PixelBlock& block = *result.block;
    const QByteArray bytes(reinterpret_cast<const char*>(block.pixels.data()), qsizetype(block.pixels.size()));
    const QByteArray md5 = QCryptographicHash::hash(bytes, QCryptographicHash::Md5).toHex();
    if (!UploadOffscreen(block, kind == qx::ImageKind::Bmp && effectiveKey))
        std::fprintf(stderr, "qxinspect: the OpenGL upload failed or no context could be made\n");
    std::printf("%ux%u %s md5=%s\n", block.width, block.height, block.channels == 4 ? "RGBA" : "RGB",
                md5.constData());
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc == 3 && std::strcmp(argv[1], "project") == 0)
        return ProjectReport(argv[2]);
    if (argc >= 2 && std::strcmp(argv[1], "model") == 0)
        return RunModelReport(argc, argv);
    if (argc < 3 || std::strcmp(argv[1], "texture") != 0)
        return Usage();
    bool keyed = false;
    std::string file;
    for (int i = 2; i < argc; ++i) {
        if (std::strcmp(argv[i], "--key") == 0)
            keyed = true;
        else if (file.empty())
            file = argv[i];
        else
            return Usage();
    }
    if (file.empty())
        return Usage();
    // No window is ever shown: the offscreen platform serves without a display.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    return InspectTexture(file, keyed);
}
