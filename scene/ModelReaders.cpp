#include "ModelReaders.h"

namespace qx {

namespace {
ModelReaders& Installed()
{
    static ModelReaders readers;
    return readers;
}
}  // namespace

void SetModelReaders(ModelReaders readers) { Installed() = std::move(readers); }

const ModelReaders& CurrentModelReaders() { return Installed(); }

}  // namespace qx
