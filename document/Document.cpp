#include "Document.h"

#include <algorithm>

namespace qx {

int DocumentEvents::Observe(Observer observer)
{
    observers_.push_back({nextKey_, std::move(observer)});
    return nextKey_++;
}

void DocumentEvents::Forget(int key)
{
    std::erase_if(observers_, [key](const Entry& e) { return e.key == key; });
}

void DocumentEvents::Notify(uint32_t changes) const
{
    if (changes == 0)
        return;
    // An observer may forget itself or another while being told.
    const std::vector<Entry> now = observers_;
    for (const Entry& e : now)
        e.observer(changes);
}

}  // namespace qx

int32_t Document::EditIndex() const
{
    if (!EditedDefinition)
        return -1;
    for (int32_t i = 0; i < MapObjectCount; ++i)
        if (MapObjects[static_cast<size_t>(i)] == EditedDefinition)
            return i;
    return -1;
}
