// The clipboard's placement lines on any bytes: they are read whole or
// refused with qx::Error, and what was read writes back to lines that read
// to the same placements.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "Errors.h"
#include "MapEdits.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static ProjectContent content = [] {
        ProjectContent c;
        c.AddObject("_Crate");
        c.AddObject("_A");
        return c;
    }();
    std::vector<std::string> names;
    std::vector<TPlacement> placements;
    try {
        qx::ReadPlacementLines(std::string_view(reinterpret_cast<const char*>(data), size), content, names,
                               placements);
    } catch (const qx::Error&) {
        return 0;
    }
    ProjectContent copy = content;
    for (size_t i = 0; i < placements.size(); ++i)
        copy.AddPlacement(names[i], placements[i]);
    std::vector<std::string> again;
    std::vector<TPlacement> read;
    qx::ReadPlacementLines(qx::PlacementLines(copy, qx::SelectAll(copy)), content, again, read);
    if (again != names || read.size() != placements.size())
        std::abort();
    // The same values (a NaN stays a NaN; -0 is written as 0, the same value).
    const auto same = [](float a, float b) { return a == b || (a != a && b != b); };
    for (size_t i = 0; i < read.size(); ++i) {
        const TPlacement& a = read[i];
        const TPlacement& b = placements[i];
        for (auto f : {&TPlacement::PosX, &TPlacement::PosY, &TPlacement::PosZ, &TPlacement::RotX, &TPlacement::RotY,
                       &TPlacement::RotZ, &TPlacement::ScaleX, &TPlacement::ScaleY, &TPlacement::ScaleZ})
            if (!same(a.*f, b.*f))
                std::abort();
    }
    return 0;
}
