// An object's drawing as vertex arrays grouped by render state, without GL:
// what the primitives would draw immediately, walked once and sorted into
// groups that each set their state once and draw all their vertices.
//
// The builder follows the immediate drawing step by step: a matrix stack
// (translations, rotations and scales as glTranslatef, glRotatef and
// glScaled give them) that it applies to the vertices, and the state that
// one primitive leaves to the next inside a list (the current colour and
// texture), so a group holds what the immediate drawing would have shown.
#pragma once

#include <cstdint>
#include <vector>

#include "Occlusion.h"
#include "Shapes.h"
#include "VectorMath.h"

namespace qx {

enum class MeshCull : uint8_t { Front, Back, None };

// How a group selects its texture.
enum class MeshTexture : uint8_t {
    Keep,      // whatever the drawing before left bound
    Registry,  // BindTexture(texture): a registry index, -1 switches texturing off
    Name,      // texturing on, GL texture name `texture` bound directly
    Bind,      // GL texture name `texture` bound, texturing left as it is
    Off,       // texturing off
};

struct MeshMaterial {
    TColor4 ambient, diffuse, highlight, emission;  // as glMaterial takes them
    float shininess = 0;
};

struct MeshState {
    shapes::Run run = shapes::Run::Triangles;
    MeshTexture textureBy = MeshTexture::Keep;
    int32_t texture = 0;
    uint8_t texGen = 0;  // SetTexGen's mode
    uint8_t blendEquation = 0;
    uint8_t blendMode = 0;  // 0: no blending
    MeshCull cull = MeshCull::Front;
    bool normals = false;  // the vertices carry normals; without, the current normal applies
    bool material = false;
    TColor4 color{1, 1, 1, 1};
    MeshMaterial surface;

    // Bit for bit, so equal states share a group.
    bool Same(const MeshState& other) const;
    // Drawn after the opaque groups, in the order they were met.
    bool Blended() const { return blendMode != 0; }
};

struct MeshVertex {
    float x, y, z;
    float s, t;
    float nx, ny, nz;
    uint32_t piece = 0;  // MeshBuilder::piece when it was made (not drawn)
};

// One state's vertices.  Independent primitives (points, lines, triangles,
// quads) make one run; strips and polygons keep one run per glBegin.
struct MeshGroup {
    MeshState state;
    std::vector<MeshVertex> vertices;
    std::vector<int32_t> runFirst;
    std::vector<int32_t> runCount;
    // Set by SplitIntoChunks (MeshChunks.h): where each chunk's vertices
    // begin, and last where the group ends; empty: not cut.
    std::vector<int32_t> chunkStart;
};

class MeshBuilder {
public:
    MeshBuilder();

    // The matrix stack, as the GL calls of the same names change it.
    void Push();
    void Pop();
    void Translate(double x, double y, double z);
    // Degrees about (ax, ay, az), normalised as GL does.
    void Rotate(double angle, double ax, double ay, double az);
    void Scale(double x, double y, double z);

    // What the immediate drawing leaves behind for the next primitive.
    TColor4 currentColor{1, 1, 1, 1};
    float currentS = 0, currentT = 0;  // the last texture coordinate given
    MeshTexture currentTextureBy = MeshTexture::Keep;
    int32_t currentTexture = 0;
    // BindTexture(index) as the registry does it: an index past its end
    // (registrySize) changes nothing.
    void BindRegistry(int32_t index, int32_t registrySize);

    // Glues the shapes' walks (Shapes.h) to the group of `state`: Begin
    // opens a run with state.run replaced by the walk's, Vertex transforms
    // by the stack.  A sphere-map group's vertices get a normal: the GL
    // default (0, 0, 1) under the stack.  An object-linear tex-gen state
    // becomes texture coordinates (the untransformed x and y, as GL's
    // default planes give them) and no tex-gen.
    void UseState(const MeshState& state) { state_ = state; }
    void Begin(shapes::Run run);
    void Normal(const TVec3& n);
    void Vertex(float x, float y, float z, float s, float t);
    void End();

    // The piece of the object the vertices that follow belong to (0: none),
    // for SplitIntoChunks.
    uint32_t piece = 0;

    // While set, each quad that ends is taken for a face of a closed,
    // opaque solid drawn in one colour, for DropSharedFaces.
    bool solid = false;
    // Two such faces on the same corners, turned opposite ways and in the
    // same group, lie where two solids touch: nothing outside either can
    // see them (any ray to them crosses one solid's drawn outer face first,
    // nearer), so both go, and Mesa is spared their hidden pixels.  The
    // faces that stay are the solids' outside: `kept` (when given) gets
    // them, for hiding what lies behind them.
    void DropSharedFaces(std::vector<OccluderQuad>* kept = nullptr);

    // The groups in the order their states first came; leaves the builder
    // without groups.
    std::vector<MeshGroup> Take();

private:
    struct Matrix {
        double m[12] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0};  // rows of a 3 x 4 affine matrix
    };
    void Multiply(const Matrix& right);
    MeshGroup& GroupOf(const MeshState& state);

    std::vector<Matrix> stack_;
    MeshState state_;
    MeshGroup* group_ = nullptr;
    size_t runStart_ = 0;
    bool objectLinear_ = false;
    bool sphereMap_ = false;
    TVec3 normal_{0, 0, 1};
    std::vector<MeshGroup> groups_;
    struct SolidFace {
        uint32_t group;
        uint32_t first;  // its four vertices
    };
    std::vector<SolidFace> solidFaces_;
};

}  // namespace qx
