#include "ModelReport.h"

#include <QGuiApplication>
#include <QOffscreenSurface>
#include <QOpenGLContext>

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "BlenderModel.h"
#include "Errors.h"
#include "Messages.h"
#include "ModelsGl.h"
#include "NumberText.h"
#include "Paths.h"
#include "SurfacelessGl.h"
#include "Text1251.h"

namespace {

// A current GL context for the texture uploads: Qt's offscreen surface, or
// Mesa's surfaceless EGL without any display.
class OffscreenGl {
public:
    OffscreenGl()
    {
        QSurfaceFormat format;
        format.setProfile(QSurfaceFormat::CompatibilityProfile);
        format.setVersion(2, 1);
        surface_.setFormat(format);
        surface_.create();
        context_.setFormat(format);
        if (surface_.isValid() && context_.create() && context_.makeCurrent(&surface_))
            valid_ = true;
        else
            surfaceless_ = std::make_unique<SurfacelessGl>();
    }
    bool valid() const { return valid_ || (surfaceless_ && surfaceless_->valid()); }

private:
    QOffscreenSurface surface_;
    QOpenGLContext context_;
    std::unique_ptr<SurfacelessGl> surfaceless_;
    bool valid_ = false;
};

// Warnings in the order they arise, in UTF-8: the readers' and loaders'
// messages (1251 text) and the textures that did not load.
class WarningLog : public qx::MessageSink {
public:
    void ShowMessage(const std::string& caption, const std::string& text) override
    {
        lines.push_back(Cp1251ToUtf8(caption == "Warning" ? text : caption + ": " + text));
    }
    bool AskYesNo(const std::string& caption, const std::string& text) override
    {
        ShowMessage(caption, text);
        return false;
    }
    std::vector<std::string> lines;
};

// Names from the files are 1251 text, paths from the command line UTF-8.
std::string QuotedUtf8(const std::string& utf8)
{
    std::string out = "\"";
    for (const char c : utf8) {
        if (c == '"' || c == '\\')
            out += '\\';
        out += c;
    }
    return out + "\"";
}

std::string Quoted(const std::string& cp1251) { return QuotedUtf8(Cp1251ToUtf8(cp1251)); }

std::string Real(float value)
{
    char buffer[32];
    const auto [end, error] = std::to_chars(buffer, buffer + sizeof buffer, value + 0.0f);  // no "-0"
    return error == std::errc() ? std::string(buffer, end) : std::string("?");
}

int Byte(float unit) { return static_cast<int>(std::clamp(unit, 0.0f, 1.0f) * 255.0f + 0.5f); }

struct Totals {
    size_t objects = 0, vertices = 0, faces = 0;
    TVec3 lo{}, hi{};
    bool any = false;

    void Add(const std::vector<TVec3>& points)
    {
        for (const TVec3& v : points) {
            if (!any) {
                lo = hi = v;
                any = true;
            }
            lo = {std::min(lo.X, v.X), std::min(lo.Y, v.Y), std::min(lo.Z, v.Z)};
            hi = {std::max(hi.X, v.X), std::max(hi.Y, v.Y), std::max(hi.Z, v.Z)};
        }
    }

    void Print() const
    {
        std::printf("total objects=%zu vertices=%zu faces=%zu bbox=", objects, vertices, faces);
        if (any)
            std::printf("(%s,%s,%s)-(%s,%s,%s)\n", Real(lo.X).c_str(), Real(lo.Y).c_str(), Real(lo.Z).c_str(),
                        Real(hi.X).c_str(), Real(hi.Y).c_str(), Real(hi.Z).c_str());
        else
            std::printf("-\n");
    }
};

void PrintObject(const std::string& name, size_t vertices, size_t faces, const std::string& material,
                 const std::string& diffuse, const std::string& texture, bool loaded)
{
    std::printf("object %s vertices=%zu faces=%zu material=%s diffuse=%s texture=%s loaded=%s\n",
                Quoted(name).c_str(), vertices, faces, material.c_str(), diffuse.c_str(), texture.c_str(),
                loaded ? "yes" : "no");
}

void PrintWarnings(const std::vector<std::string>& lines)
{
    for (const std::string& line : lines)
        std::printf("warning: %s\n", line.c_str());
}

// Textures by their design paths inside fsFolder (a file-system path).
qx::TextureLoader LoggingLoader(bool haveGl, WarningLog& log, std::vector<std::pair<std::string, bool>>& loads,
                                const std::string& fsFolder = {})
{
    const qx::TextureLoader registry = qx::RegistryTextureLoader(fsFolder);
    return [haveGl, registry, fsFolder, &log, &loads](const std::string& path, uint32_t& id) {
        const bool ok = haveGl && registry(path, id);
        if (!ok)
            log.lines.push_back("texture " + QuotedUtf8(fsFolder + Cp1251ToUtf8(path)) + " did not load" +
                                (haveGl ? "" : " (no OpenGL context)"));
        loads.emplace_back(path, ok);
        return ok;
    };
}

int Report3ds(const std::string& path, const std::string& bytes, bool haveGl)
{
    WarningLog log;
    std::vector<std::pair<std::string, bool>> loads;
    T3DModel model;
    qx::Read3dsResult result;
    {
        qx::ScopedMessageSink sink(log);
        const auto* data = reinterpret_cast<const uint8_t*>(bytes.data());
        result = qx::Read3ds({data, bytes.size()}, model, LoggingLoader(haveGl, log, loads));
    }
    if (!result.ok) {
        std::printf("qxinspect: %s does not begin with a 3DS main chunk (0x4D4D)\n", QuotedUtf8(path).c_str());
        return 1;
    }
    for (const std::string& fault : result.faults)
        log.lines.push_back(Cp1251ToUtf8(fault));
    PrintWarnings(log.lines);
    Totals totals;
    for (const T3DObject& o : model.Objects) {
        const TMaterial& m = o.Material;
        const bool hasMaterial = !m.Name.empty();
        const std::string diffuse = hasMaterial ? "(" + std::to_string(Byte(m.Diffuse.R)) + "," +
                                                      std::to_string(Byte(m.Diffuse.G)) + "," +
                                                      std::to_string(Byte(m.Diffuse.B)) + ")"
                                                : "-";
        PrintObject(o.Name, o.Vertices.size(), o.Faces.size(), hasMaterial ? Quoted(m.Name) : "-", diffuse,
                    m.MapName.empty() ? "-" : Quoted(m.MapName), m.TextureLoaded);
        ++totals.objects;
        totals.vertices += o.Vertices.size();
        totals.faces += o.Faces.size();
        totals.Add(o.Vertices);
    }
    totals.Print();
    return 0;
}

int ReportBlender(const std::string& path, const std::string& bytes, bool haveGl)
{
    WarningLog log;
    std::vector<std::pair<std::string, bool>> loads;
    TGameObj obj;
    try {
        qx::ScopedMessageSink sink(log);
        obj = qx::ParseGameObj(bytes);
        qx::LoadGameObjTextures(obj, LoggingLoader(haveGl, log, loads, PathFolder(path)));
    } catch (const qx::Error& e) {
        std::printf("qxinspect: %s: %s\n", QuotedUtf8(path).c_str(), Cp1251ToUtf8(e.what()).c_str());
        return 1;
    }
    PrintWarnings(log.lines);
    // One line per texture name, in order of first use.
    struct Group {
        std::string texture;
        size_t vertices = 0, faces = 0;
        bool loaded = false;
    };
    std::vector<Group> groups;
    Totals totals;
    size_t load = 0;
    for (const TPoligon& p : obj.Poligons.Poligons) {
        auto g = std::find_if(groups.begin(), groups.end(), [&](const Group& x) { return x.texture == p.TextureName; });
        if (g == groups.end())
            g = groups.insert(groups.end(), Group{p.TextureName});
        g->vertices += p.Vertices.size();
        ++g->faces;
        if (p.Textured && load < loads.size())
            g->loaded = loads[load++].second;
        totals.vertices += p.Vertices.size();
        ++totals.faces;
        totals.Add(p.Vertices);
    }
    for (const Group& g : groups) {
        const bool textured = g.texture != "NOTEXTURE";
        PrintObject(g.texture, g.vertices, g.faces, "-", "-", textured ? Quoted(g.texture) : "-", g.loaded);
    }
    totals.objects = groups.size();
    totals.Print();
    return 0;
}

bool Looks3ds(const std::string& path, const std::string& bytes)
{
    std::string ending = path.size() >= 4 ? path.substr(path.size() - 4) : std::string();
    std::transform(ending.begin(), ending.end(), ending.begin(), [](unsigned char c) { return char(std::tolower(c)); });
    return ending == ".3ds" || (bytes.size() >= 2 && bytes[0] == 'M' && bytes[1] == 'M');
}

}  // namespace

int RunModelReport(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: qxinspect model FILE\n");
        return 2;
    }
    const std::string path = argv[2];  // the file system's, as typed
    std::string bytes;
    try {
        bytes = ReadWholeFile(path);
    } catch (const qx::Error& e) {
        std::printf("qxinspect: %s: %s\n", QuotedUtf8(path).c_str(), Cp1251ToUtf8(e.what()).c_str());
        return 1;
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    qx::InstallModelReaders();
    OffscreenGl gl;
    return Looks3ds(path, bytes) ? Report3ds(path, bytes, gl.valid()) : ReportBlender(path, bytes, gl.valid());
}
