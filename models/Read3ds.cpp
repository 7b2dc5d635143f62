// The 3DS chunk walk.  Every chunk is read inside its parent's bounds: a
// length below the 6-byte header ends the walk of that level, a length past
// the parent is cut back to the parent's end, counts are cut back to the
// records the chunk really holds (a face list whose count does not fit is
// left out whole), and faces naming vertices the object does not have are
// dropped.  Each of these is written to the result's faults.
#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>
#include <unordered_map>

#include "Messages.h"
#include "Model3ds.h"

namespace qx {

namespace {

constexpr size_t kHeaderBytes = 6;
// Real files nest five levels deep; a deeper chain is made up.
constexpr int kMaxDepth = 32;
constexpr size_t kMaxFaults = 50;

enum : uint16_t {
    kMain = 0x4D4D,
    kVersion = 0x0002,
    kEditor = 0x3D3D,
    kMaterialBlock = 0xAFFF,
    kNamedObject = 0x4000,
    kTriangleMesh = 0x4100,
    kVertexList = 0x4110,
    kFaceList = 0x4120,
    kFaceMaterial = 0x4130,
    kTexCoords = 0x4140,
    kMaterialName = 0xA000,
    kAmbient = 0xA010,
    kDiffuse = 0xA020,
    kSpecular = 0xA030,
    kShininess = 0xA040,
    kTextureMap = 0xA200,
    kMapFileName = 0xA300,
    kColorFloat = 0x0010,
    kColor24 = 0x0011,
    kColor24Gamma = 0x0012,
    kColorFloatGamma = 0x0013,
    kPercentInt = 0x0030,
    kPercentFloat = 0x0031,
};

uint16_t Le16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }

uint32_t Le32(const uint8_t* p)
{
    return uint32_t{p[0]} | (uint32_t{p[1]} << 8) | (uint32_t{p[2]} << 16) | (uint32_t{p[3]} << 24);
}

float LeFloat(const uint8_t* p)
{
    const uint32_t bits = Le32(p);
    float f;
    std::memcpy(&f, &bits, sizeof f);
    return f;
}

std::string Hex(uint16_t id)
{
    static const char digits[] = "0123456789ABCDEF";
    std::string s = "0x";
    for (int shift = 12; shift >= 0; shift -= 4)
        s += digits[(id >> shift) & 0xF];
    return s;
}

// [begin, end) of the file, end after the header's length was checked.
struct Chunk {
    uint16_t id = 0;
    size_t start = 0;
    size_t data = 0;
    size_t end = 0;
    size_t size() const { return end - data; }
};

class Reader {
public:
    Reader(ModelBytes file, T3DModel& model, const TextureLoader& loadTexture, std::vector<std::string>& faults)
        : file_(file), model_(model), loadTexture_(loadTexture), faults_(faults)
    {
    }

    bool Run()
    {
        Chunk main;
        if (file_.size() < kHeaderBytes || Le16(file_.data()) != kMain)
            return false;
        if (!NextChunk(0, file_.size(), main))
            return true;
        ProcessChunk(main, 0);
        FinishObjects();
        if (faultCount_ > kMaxFaults)
            faults_.push_back("and " + std::to_string(faultCount_ - kMaxFaults) + " more faults");
        return true;
    }

private:
    // A file of nothing but broken chunks says so a few times, not a million.
    void Fault(std::string text)
    {
        if (++faultCount_ <= kMaxFaults)
            faults_.push_back(std::move(text));
    }

    // The chunk whose header starts at pos, inside a parent ending at limit.
    bool NextChunk(size_t pos, size_t limit, Chunk& c)
    {
        if (limit - pos < kHeaderBytes) {
            Fault(std::to_string(limit - pos) + " bytes at offset " + std::to_string(pos) +
                  " are too few for a chunk header");
            return false;
        }
        c.id = Le16(file_.data() + pos);
        const uint32_t length = Le32(file_.data() + pos + 2);
        c.start = pos;
        c.data = pos + kHeaderBytes;
        if (length < kHeaderBytes) {
            Fault("chunk " + Hex(c.id) + " at offset " + std::to_string(pos) + " claims " +
                  std::to_string(length) + " bytes, less than its header");
            return false;
        }
        if (length > limit - pos) {
            Fault("chunk " + Hex(c.id) + " at offset " + std::to_string(pos) + " runs " +
                  std::to_string(length - (limit - pos)) + " bytes past its parent or the file");
            c.end = limit;
        } else {
            c.end = pos + length;
        }
        return true;
    }

    bool Deeper(const Chunk& c, int depth)
    {
        if (depth < kMaxDepth)
            return true;
        Fault("chunk " + Hex(c.id) + " at offset " + std::to_string(c.start) + " is nested too deeply");
        return false;
    }

    // A zero-terminated name from pos; `next` is the byte after the zero.
    std::string ReadName(size_t pos, size_t end, size_t& next)
    {
        const uint8_t* first = file_.data() + pos;
        const uint8_t* last = file_.data() + end;
        const uint8_t* zero = std::find(first, last, uint8_t{0});
        if (zero == last) {
            Fault("a name at offset " + std::to_string(pos) + " has no terminating zero");
            next = end;
        } else {
            next = static_cast<size_t>(zero - file_.data()) + 1;
        }
        return std::string(first, zero);
    }

    // The rest of a chunk up to its terminating zero; all of it when the
    // zero is missing.
    std::string RestText(const Chunk& c)
    {
        const uint8_t* first = file_.data() + c.data;
        const uint8_t* last = file_.data() + c.end;
        return std::string(first, std::find(first, last, uint8_t{0}));
    }

    void ProcessChunk(const Chunk& parent, int depth)
    {
        Chunk c;
        for (size_t pos = parent.data; pos < parent.end && NextChunk(pos, parent.end, c); pos = c.end) {
            switch (c.id) {
            case kVersion:
                if (c.size() < 4)
                    Fault("the version chunk holds " + std::to_string(c.size()) + " bytes");
                else if (Le32(file_.data() + c.data) > 3)
                    Messages().ShowMessage("Warning", "Unsupported file version.");
                break;
            case kEditor:
                // Every sub-chunk by its id, the first one too: a file may
                // store a material or a mesh there.
                if (Deeper(c, depth))
                    ProcessChunk(c, depth + 1);
                break;
            case kMaterialBlock:
                materials_.emplace_back();
                if (Deeper(c, depth))
                    ReadMaterial(materials_.back(), c, depth + 1);
                firstByName_.emplace(materials_.back().Name, materials_.size() - 1);
                break;
            case kNamedObject: {
                model_.Objects.emplace_back();
                T3DObject& object = model_.Objects.back();
                size_t next = c.end;
                object.Name = ReadName(c.data, c.end, next);
                if (Deeper(c, depth))
                    ReadObject(object, next, c.end, depth + 1);
                break;
            }
            default:
                break;
            }
        }
    }

    void ReadMaterial(TMaterial& m, const Chunk& parent, int depth)
    {
        Chunk c;
        for (size_t pos = parent.data; pos < parent.end && NextChunk(pos, parent.end, c); pos = c.end) {
            switch (c.id) {
            case kMaterialName: m.Name = RestText(c); break;
            case kAmbient: ReadColor(c, m.Ambient); break;
            case kDiffuse: ReadColor(c, m.Diffuse); break;
            case kSpecular: ReadColor(c, m.Specular); break;
            case kShininess: {
                double percent = 0;
                if (ReadPercentage(c, percent))
                    m.Shininess = static_cast<float>(128.0 - percent * 1.28);
                break;
            }
            case kTextureMap:
                if (Deeper(c, depth))
                    ReadMaterial(m, c, depth + 1);
                break;
            case kMapFileName:
                m.MapName = RestText(c);
                m.TextureLoaded = loadTexture_ && loadTexture_("textures\\" + m.MapName, m.TextureId);
                break;
            default:
                break;
            }
        }
    }

    // The first sub-chunk that is a colour, 24-bit or floating-point.
    void ReadColor(const Chunk& parent, TColor4& color)
    {
        Chunk c;
        for (size_t pos = parent.data; pos < parent.end && NextChunk(pos, parent.end, c); pos = c.end) {
            const uint8_t* p = file_.data() + c.data;
            if ((c.id == kColor24 || c.id == kColor24Gamma) && c.size() >= 3) {
                ColorFromRGB(color, p[0] | (p[1] << 8) | (p[2] << 16));
                return;
            }
            if ((c.id == kColorFloat || c.id == kColorFloatGamma) && c.size() >= 12) {
                const auto unit = [](float f) { return f > 0.0f ? std::min(f, 1.0f) : 0.0f; };
                SetColor4(color, unit(LeFloat(p)), unit(LeFloat(p + 4)), unit(LeFloat(p + 8)), 1.0f);
                return;
            }
        }
        Fault("colour chunk " + Hex(parent.id) + " at offset " + std::to_string(parent.start) + " holds no colour");
    }

    // 0 to 100 from either form: the whole-number chunk holds a percentage,
    // the floating-point one a fraction of 1 (50 of 255 is stored 0.196078).
    // Damaged files hold values past the ends, which are clamped to them.
    bool ReadPercentage(const Chunk& parent, double& percent)
    {
        Chunk c;
        for (size_t pos = parent.data; pos < parent.end && NextChunk(pos, parent.end, c); pos = c.end) {
            const uint8_t* p = file_.data() + c.data;
            if (c.id == kPercentInt && c.size() >= 2) {
                percent = std::min(static_cast<double>(Le16(p)), 100.0);
                return true;
            }
            if (c.id == kPercentFloat && c.size() >= 4 && std::isfinite(LeFloat(p))) {
                percent = std::clamp(static_cast<double>(LeFloat(p)) * 100.0, 0.0, 100.0);
                return true;
            }
        }
        Fault("percentage chunk " + Hex(parent.id) + " at offset " + std::to_string(parent.start) +
              " holds no percentage");
        return false;
    }

    // The records of `bytes` each that follow a 16-bit count.  A count past
    // the chunk's room is cut back to the records there, or, for a list
    // whose records are followed by sub-chunks (the faces), leaves the whole
    // list out: the room then holds sub-chunk bytes, and records read from
    // them would be made up.
    struct Records {
        size_t pos = 0;
        size_t count = 0;
        bool whole = false;  // the count held
    };

    Records RecordsOf(const Chunk& c, size_t bytes, const T3DObject& object, bool subChunksFollow = false)
    {
        Records r;
        if (c.size() < 2) {
            Fault("list " + Hex(c.id) + " of \"" + object.Name + "\" has no count");
            r.pos = c.end;
            return r;
        }
        r.pos = c.data + 2;
        const size_t count = Le16(file_.data() + c.data);
        const size_t room = (c.end - r.pos) / bytes;
        r.whole = count <= room;
        r.count = r.whole ? count : subChunksFollow ? 0 : room;
        if (!r.whole)
            Fault("list " + Hex(c.id) + " of \"" + object.Name + "\" counts " + std::to_string(count) +
                  " records but has room for " + std::to_string(room) +
                  (subChunksFollow ? "; the whole list is left out" : ""));
        return r;
    }

    void ReadObject(T3DObject& object, size_t begin, size_t end, int depth)
    {
        Chunk c;
        for (size_t pos = begin; pos < end && NextChunk(pos, end, c);) {
            size_t next = c.end;
            switch (c.id) {
            case kTriangleMesh:
                if (Deeper(c, depth))
                    ReadObject(object, c.data, c.end, depth + 1);
                break;
            case kVertexList: ReadVertices(object, c); break;
            case kFaceList: {
                const Records r = RecordsOf(c, 8, object, true);
                object.Faces.resize(r.count);
                const uint8_t* p = file_.data() + r.pos;
                for (TFace& f : object.Faces) {
                    f = {Le16(p), Le16(p + 2), Le16(p + 4)};
                    p += 8;
                }
                // The face list's own sub-chunks (the material groups) follow
                // its records and are read as the mesh's.
                if (r.whole)
                    next = r.pos + r.count * 8;
                break;
            }
            case kFaceMaterial: {
                size_t after = c.end;
                ApplyMaterialGroup(object, ReadName(c.data, c.end, after));
                break;
            }
            case kTexCoords: {
                const Records r = RecordsOf(c, 8, object);
                object.TexCoords.resize(r.count);
                const uint8_t* p = file_.data() + r.pos;
                for (TTexCoord& t : object.TexCoords) {
                    t = {LeFloat(p), LeFloat(p + 4)};
                    p += 8;
                }
                break;
            }
            default:
                break;
            }
            pos = next;
        }
    }

    void ReadVertices(T3DObject& object, const Chunk& c)
    {
        const Records r = RecordsOf(c, 12, object);
        object.Vertices.resize(r.count);
        if (r.count != 0)
            std::memcpy(object.Vertices.data(), file_.data() + r.pos, r.count * 12);
        if constexpr (std::endian::native != std::endian::little)
            for (TVec3& v : object.Vertices) {
                const uint8_t* p = reinterpret_cast<const uint8_t*>(&v);
                v = {LeFloat(p), LeFloat(p + 4), LeFloat(p + 8)};
            }
        // The file's Z-up axes turned into the editor's Y-up ones.
        for (TVec3& v : object.Vertices)
            v = {v.X, v.Z, -v.Y};
    }

    // The group names the object's material; only materials read before it
    // count, the first of a name wins.
    void ApplyMaterialGroup(T3DObject& object, const std::string& name)
    {
        object.Material.Name = name;
        const auto found = firstByName_.find(name);
        if (found != firstByName_.end())
            object.Material = materials_[found->second];
    }

    void FinishObjects()
    {
        for (T3DObject& object : model_.Objects) {
            const size_t vertexCount = object.Vertices.size();
            const auto missing = [vertexCount](const TFace& f) {
                return f.A >= vertexCount || f.B >= vertexCount || f.C >= vertexCount;
            };
            const auto kept = std::remove_if(object.Faces.begin(), object.Faces.end(), missing);
            if (kept != object.Faces.end()) {
                Fault(std::to_string(object.Faces.end() - kept) + " faces of \"" + object.Name +
                      "\" name vertices past its " + std::to_string(vertexCount));
                object.Faces.erase(kept, object.Faces.end());
            }
            ComputeNormals(object);
        }
    }

    ModelBytes file_;
    T3DModel& model_;
    const TextureLoader& loadTexture_;
    std::vector<std::string>& faults_;
    std::vector<TMaterial> materials_;  // the objects keep copies
    std::unordered_map<std::string, size_t> firstByName_;
    size_t faultCount_ = 0;
};

}  // namespace

Read3dsResult Read3ds(ModelBytes file, T3DModel& model, const TextureLoader& loadTexture)
{
    model.Clear();
    Read3dsResult result;
    result.ok = Reader(file, model, loadTexture, result.faults).Run();
    return result;
}

}  // namespace qx
