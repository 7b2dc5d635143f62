// The project readers over arbitrary bytes: the object file (parsed and
// applied to an object), the object list and the map.  Each gives its data
// or a qx::Error, nothing else.
#include <cstdint>
#include <string_view>

#include "Errors.h"
#include "ProjectFiles.h"
#include "QX3DObject.h"

#define QX_READER_Object 1
#define QX_READER_List 2
#define QX_READER_Map 3
#define QX_CAT(a, b) a##b
#define QX_READER(kind) QX_CAT(QX_READER_, kind)

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    try {
#if QX_READER(QX_FUZZ_READER) == QX_READER_Object
        TQX3DObject object("Fuzz");
        qx::ApplyObjectFile(object, qx::ParseObjectFile(bytes, "fuzz.qxobj"));
        (void)qx::FormatObjectFile(object);
#elif QX_READER(QX_FUZZ_READER) == QX_READER_List
        (void)qx::ParseObjectList(bytes, "fuzz.qxlst");
#else
        ProjectContent content;
        qx::ApplyMap(content, qx::ParseMap(bytes, "fuzz.qxmap"));
        (void)qx::FormatMap(content);
        (void)content.ObjectOfPlacement(0);
#endif
    } catch (const qx::Error&) {
    }
    return 0;
}
