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

void TreeChanged(const Document& doc, const DocTree& tree)
{
    doc.Events.Notify(&tree == &doc.ObjectTree ? ObjectTreeChanged
                      : &tree == &doc.MapTree  ? MapTreeChanged
                      : &tree == &doc.TextureTree ? TextureTreeChanged
                                                  : 0u);
}

void TreesReplaced(const Document& doc) { doc.Events.Notify(ObjectTreeChanged | MapTreeChanged | TextureTreeChanged); }

void TellHistoryChanges(Document& doc)
{
    doc.History.Changed = [&doc] { doc.Events.Notify(HistoryChanged); };
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
