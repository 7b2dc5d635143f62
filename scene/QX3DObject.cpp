#include "QX3DObject.h"

#include <algorithm>
#include <random>

#include "Errors.h"
#include "ObjectGlSide.h"

namespace {

std::string RandomObjectName()
{
    static std::mt19937 generator{std::random_device{}()};
    std::uniform_int_distribution<int> number(0, 31999);
    return "QX3DObject:" + std::to_string(number(generator));
}

}  // namespace

namespace qx {

ObjectGlSide& ObjectGl()
{
    constinit static ObjectGlSide side;
    return side;
}

}  // namespace qx

TQX3DObject::TQX3DObject(const std::string& name)
    : Name(name.empty() ? RandomObjectName() : name)
{
}

void TQX3DObject::AddList()
{
    if (ListCount >= kMaxLists)
        throw qx::Error("An object holds at most 32767 primitive lists");
    Changed();
    ++ListCount;
    CurrentList = static_cast<int16_t>(ListCount - 1);
    Lists.resize(static_cast<size_t>(ListCount));
    DisplayLists.resize(static_cast<size_t>(ListCount));
    Buffers.resize(static_cast<size_t>(ListCount));
    Lists[CurrentList] = std::make_unique<TGLPremitives>();
    DisplayLists[CurrentList] = qx::GlListRef();
    Buffers[static_cast<size_t>(CurrentList)] = nullptr;
}

void TQX3DObject::Clear()
{
    if (ListCount == 0)
        return;
    Changed();
    Lists.clear();
    DisplayLists.clear();
    Buffers.clear();
    ListCount = 0;
}

void TQX3DObject::BuildDisplayLists() { BuildListRange(0, ListCount); }

void TQX3DObject::BuildListRange(int16_t first, int16_t count)
{
    Changed();
    if (const auto build = qx::ObjectGl().buildLists)
        build(*this, first, count);
    BuiltRevision = Revision;
}

void TQX3DObject::Assign(const TQX3DObject& source)
{
    if (&source == this)
        return;
    Changed();
    if (!source.DrawingStale())
        BuiltRevision = Revision;
    ListCount = source.ListCount;
    CurrentList = source.CurrentList;
    Name = source.Name;
    Reserved1 = source.Reserved1;
    Reserved2 = source.Reserved2;
    Reserved3 = source.Reserved3;
    Reserved4 = source.Reserved4;
    Lists.clear();
    DisplayLists.clear();
    Buffers.assign(source.Buffers.begin(), source.Buffers.end());
    Buffers.resize(static_cast<size_t>(std::max<int16_t>(ListCount, 0)));
    for (int16_t i = 0; i < ListCount; ++i) {
        DisplayLists.push_back(source.DisplayLists[i]);
        auto list = std::make_unique<TGLPremitives>();
        list->Assign(*source.Lists[i]);
        Lists.push_back(std::move(list));
    }
}
