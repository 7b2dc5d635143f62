#include "TextureEdits.h"

#include <memory>
#include <utility>
#include <vector>

#include "Messages.h"
#include "PrimitiveList.h"
#include "Project.h"
#include "QX3DObject.h"
#include "Text1251.h"
#include "TreeEdits.h"

namespace qx {

namespace {

constexpr int kTextureNodeIcon = 10;

struct TextureEntry {
    std::string name;
    uint32_t id = 0;
    bool keyed = false;
};

void InsertEntry(TextureRegistry& reg, int32_t index, const TextureEntry& entry)
{
    const auto at = static_cast<size_t>(index);
    const auto count = static_cast<size_t>(reg.TextureCount);
    // Leftovers past the count (ResetTextures keeps them) are cut first.
    reg.TextureNames.resize(count);
    reg.TextureIds.resize(count);
    reg.TextureKeyed.resize(count);
    reg.TextureNames.insert(reg.TextureNames.begin() + static_cast<ptrdiff_t>(at), entry.name);
    reg.TextureIds.insert(reg.TextureIds.begin() + static_cast<ptrdiff_t>(at), entry.id);
    reg.TextureKeyed.insert(reg.TextureKeyed.begin() + static_cast<ptrdiff_t>(at), entry.keyed);
    ++reg.TextureCount;
}

TextureEntry TakeEntry(TextureRegistry& reg, int32_t index)
{
    const auto at = static_cast<size_t>(index);
    TextureEntry entry{std::move(reg.TextureNames[at]), reg.TextureIds[at], reg.TextureKeyed[at]};
    reg.TextureNames.erase(reg.TextureNames.begin() + static_cast<ptrdiff_t>(at));
    reg.TextureIds.erase(reg.TextureIds.begin() + static_cast<ptrdiff_t>(at));
    reg.TextureKeyed.erase(reg.TextureKeyed.begin() + static_cast<ptrdiff_t>(at));
    --reg.TextureCount;
    return entry;
}

// A primitive that showed a removed texture.
struct TexturedPart {
    std::shared_ptr<TQX3DObject> object;
    size_t list;
    ShapeKind kind;
    int index;
};

// Every object whose primitives hold texture indices: the definitions and
// the object view's working copy and pending primitive (the document's
// own, never released, so held without owning).
std::vector<std::shared_ptr<TQX3DObject>> TexturedObjects(Document& doc)
{
    std::vector<std::shared_ptr<TQX3DObject>> objects;
    for (int32_t i = 0; i < doc.MapObjectCount; ++i)
        if (const auto& object = doc.MapObjects[static_cast<size_t>(i)])
            objects.push_back(object);
    for (TQX3DObject* own : {doc.EditedModel, doc.PendingPrimitive})
        if (own)
            objects.push_back(std::shared_ptr<TQX3DObject>(own, [](TQX3DObject*) {}));
    return objects;
}

std::vector<TexturedPart> PartsShowing(Document& doc, int32_t texture)
{
    std::vector<TexturedPart> parts;
    for (const auto& object : TexturedObjects(doc))
        for (size_t l = 0; l < object->Lists.size(); ++l)
            ForEachTexture(*object->Lists[l], [&](ShapeKind kind, int i, int32_t& t) {
                if (t == texture)
                    parts.push_back({object, l, kind, i});
            });
    return parts;
}

// What a renumbering changed: definitions, the pending primitive.
uint32_t Renumbered(const Document& doc, const std::vector<TQX3DObject*>& changed)
{
    uint32_t changes = 0;
    for (TQX3DObject* object : changed)
        changes |= object == doc.PendingPrimitive ? PendingChanged
                   : object == doc.EditedModel    ? 0u
                                                  : ObjectsChanged;
    return changes;
}

// Entry `index` leaves the table: primitives above it move down one, those
// on it become untextured, and the choice follows its texture.  Returns
// the changes beside the table's.
uint32_t TakeTexture(Document& doc, int32_t index, TextureEntry& entry)
{
    entry = TakeEntry(doc.TextureTable, index);
    std::vector<TQX3DObject*> changed;
    for (const auto& object : TexturedObjects(doc))
        if (RemapRemovedTexture(*object, index)) {
            object->Changed();
            changed.push_back(object.get());
        }
    if (doc.SelectedTexture == index)
        doc.SelectedTexture = -1;
    else if (doc.SelectedTexture > index)
        --doc.SelectedTexture;
    return Renumbered(doc, changed);
}

// TakeTexture undone: `parts` showed it.
uint32_t PutBackTexture(Document& doc, int32_t index, const TextureEntry& entry,
                        const std::vector<TexturedPart>& parts)
{
    InsertEntry(doc.TextureTable, index, entry);
    std::vector<TQX3DObject*> changed;
    for (const auto& object : TexturedObjects(doc)) {
        bool moved = false;
        for (auto& list : object->Lists)
            ForEachTexture(*list, [&](ShapeKind, int, int32_t& t) {
                if (t >= index) {
                    ++t;
                    moved = true;
                }
            });
        if (moved)
            changed.push_back(object.get());
    }
    for (const TexturedPart& part : parts) {
        *FieldsOf(*part.object->Lists[part.list], part.kind, part.index).Texture = index;
        changed.push_back(part.object.get());
    }
    for (TQX3DObject* object : changed)
        object->Changed();
    return Renumbered(doc, changed);
}

// The step's side of a texture edit: the tree and the choice as they were
// before and after, and what the table did.
struct TextureSide {
    DocTree tree;
    int32_t selected = 0;
};

TextureSide SideOf(const Document& doc) { return {doc.TextureTree, doc.SelectedTexture}; }

void PutSide(Document& doc, const TextureSide& side, uint32_t changes)
{
    doc.TextureTree = side.tree;
    doc.SelectedTexture = side.selected;
    doc.Events.Notify(changes | TexturesChanged | TextureTreeChanged);
}

// `changes`: what the edit changed beside the table and the tree.
void PushTextureStep(Document& doc, const char* utf8Label, const TextureSide& before, size_t bytes,
                     std::function<uint32_t()> undo, std::function<uint32_t()> redo, uint32_t changes = 0)
{
    auto sides = std::make_shared<std::pair<TextureSide, TextureSide>>(before, SideOf(doc));
    UndoStep step;
    step.label = Cp(utf8Label);
    step.changesTrees = true;
    step.bytes = bytes + sides->second.tree.BytesBeside(sides->first.tree) + sizeof(*sides);
    Document* d = &doc;
    step.undo = [d, sides, undo = std::move(undo)] { PutSide(*d, sides->first, undo()); };
    step.redo = [d, sides, redo = std::move(redo)] { PutSide(*d, sides->second, redo()); };
    doc.History.Push(std::move(step));
    doc.Events.Notify(changes | TexturesChanged | TextureTreeChanged);
}

bool IsCategory(const std::string& text) { return !text.empty() && text[0] == '+'; }

}  // namespace

int ListTextureNode(DocTree& tree, const std::string& name)
{
    int anchor = tree.Current();
    if (anchor < 0)
        anchor = tree.NodeCount() > 0 ? 0 : -1;
    const int node = AddNodeNear(tree, anchor, name);
    tree.SetIcons(node, kTextureNodeIcon, kTextureNodeIcon);
    if (tree.Parent(node) >= 0)
        tree.SetExpanded(tree.Parent(node), true);
    return node;
}

int32_t AddLibraryTexture(Document& doc, const std::string& name, bool keyed)
{
    TextureRegistry& reg = doc.TextureTable;
    if (reg.TextureCount >= TextureRegistry::kMaxTextures)
        return -1;
    const TextureSide before = SideOf(doc);
    const int32_t index = reg.TextureCount;
    InsertEntry(reg, index, {name, TextureRegistry::kAwaitingUpload, keyed});
    doc.SelectedTexture = index;
    doc.TextureTree.SetCurrent(ListTextureNode(doc.TextureTree, name));
    // Undone, the entry leaves with the picture the view gave it meanwhile.
    auto entry = std::make_shared<TextureEntry>();
    Document* d = &doc;
    PushTextureStep(
        doc, "добавление текстуры", before, sizeof(TextureEntry) + name.size(),
        [d, index, entry] {
            *entry = TakeEntry(d->TextureTable, index);
            return 0u;
        },
        [d, index, entry] {
            InsertEntry(d->TextureTable, index, *entry);
            return 0u;
        });
    return index;
}

bool RemoveLibraryTexture(Document& doc, int node)
{
    // Categories have their own command; this one never takes a category
    // with its contents.
    if (node < 0 || IsCategory(doc.TextureTree.Text(node)))
        return false;
    const std::string text = doc.TextureTree.Text(node);
    // The texture the node names, which after earlier removals or with
    // categories in between is not the one at the node's sibling position.
    const int32_t index = FindTexture(doc.TextureTable, text);
    if (index >= 0 && index < doc.HelperTextures) {
        Messages().ShowMessage(Cp("Ошибка удаления текстуры"), Cp("Служебные текстуры (первые восемь) удалить нельзя"));
        return false;
    }
    if (index >= 0 && doc.TextureTable.TextureCount == 1) {
        Messages().ShowMessage(Cp("Ошибка удаления текстуры"), Cp("Должна остаться минимум 1-а текстура"));
        return false;
    }
    const TextureSide before = SideOf(doc);
    auto parts = std::make_shared<std::vector<TexturedPart>>();
    auto entry = std::make_shared<TextureEntry>();
    uint32_t changes = 0;
    if (index >= 0) {
        *parts = PartsShowing(doc, index);
        changes = TakeTexture(doc, index, *entry);
    }
    doc.TextureTree.Remove(node);
    Document* d = &doc;
    PushTextureStep(
        doc, "удаление текстуры", before, sizeof(TextureEntry) + parts->size() * sizeof(TexturedPart),
        [d, index, entry, parts] { return index >= 0 ? PutBackTexture(*d, index, *entry, *parts) : 0u; },
        [d, index, entry] { return index >= 0 ? TakeTexture(*d, index, *entry) : 0u; }, changes);
    return true;
}

void AddTextureCategory(Document& doc, const std::string& name)
{
    const TextureSide before = SideOf(doc);
    DocTree& tree = doc.TextureTree;
    const int selected = tree.Current();
    const int node = AddNodeNear(tree, selected, "+ " + name);
    if (selected >= 0)
        tree.SetIcons(node, tree.Icon(selected), tree.SelectedIcon(selected));
    PushTextureStep(doc, "добавление категории", before, 0, [] { return 0u; }, [] { return 0u; });
}

void RemoveTextureCategory(Document& doc, int node)
{
    const TextureSide before = SideOf(doc);
    doc.TextureTree.Remove(node);
    PushTextureStep(doc, "удаление категории", before, 0, [] { return 0u; }, [] { return 0u; });
}

void ChooseTexture(Document& doc, int32_t index)
{
    if (doc.SelectedTexture == index)
        return;
    doc.SelectedTexture = index;
    doc.Events.Notify(TexturesChanged);
}

}  // namespace qx
