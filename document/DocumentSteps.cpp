#include "DocumentSteps.h"

#include <array>
#include <cmath>
#include <memory>
#include <utility>

#include "QX3DObject.h"
#include "SessionEdits.h"
#include "Text1251.h"
#include "TreeEdits.h"

namespace qx {

namespace {

void Push(Document& doc, const char* utf8Label, size_t bytes, std::function<void()> undo, std::function<void()> redo,
          bool changesTrees = false, const std::string& mergeKey = {})
{
    UndoStep step;
    step.label = Cp(utf8Label);
    step.mergeKey = mergeKey;
    step.changesTrees = changesTrees;
    step.bytes = bytes;
    step.undo = std::move(undo);
    step.redo = std::move(redo);
    doc.History.Push(std::move(step));
}

// Placements put back or taken again by a step: the selection keeps only
// what is on the map.
void PlacementsMoved(Document& doc, uint32_t changes)
{
    const Selection before = doc.Selection;
    KeepValid(doc.Selection, doc);
    if (doc.Selection != before)
        changes |= SelectionChanged;
    doc.Events.Notify(changes | MapChanged);
}

// The object tree as a step left it.
void PutObjectTree(Document& doc, const DocTree& tree, uint32_t changes)
{
    doc.ObjectTree = tree;
    PlacementsMoved(doc, changes | ObjectTreeChanged | ObjectsChanged);
}

std::vector<int> NodesOf(const Document& doc, int node, const std::string& name)
{
    return NodesOfObject(doc.ObjectTree, node, name, doc.FindObject(name) >= 0);
}

}  // namespace

void RecordMapChange(Document& doc, const char* utf8Label, MapChange change, const std::string& mergeKey)
{
    if (!change.ChangesMap()) {
        doc.Events.Notify(SelectionChanged);
        return;
    }
    auto shared = std::make_shared<const MapChange>(std::move(change));
    Document* d = &doc;
    Push(
        doc, utf8Label, shared->Bytes(),
        [d, shared] {
            Undo(*d, d->Selection, *shared);
            d->Events.Notify(MapChanged | SelectionChanged);
        },
        [d, shared] {
            Redo(*d, d->Selection, *shared);
            d->Events.Notify(MapChanged | SelectionChanged);
        },
        false, mergeKey);
    doc.Events.Notify(MapChanged | SelectionChanged);
}

void SetSelection(Document& doc, Selection selection)
{
    if (selection == doc.Selection)
        return;
    doc.Selection = std::move(selection);
    doc.Events.Notify(SelectionChanged);
}

void SelectClicked(Document& doc, int32_t hit, bool toggle)
{
    Selection selection;
    if (toggle) {
        selection = doc.Selection;
        if (hit >= 0)
            ToggleSelected(selection, doc.PlacementId(hit));
    } else if (hit >= 0) {
        selection.push_back(doc.PlacementId(hit));
    }
    if (selection == doc.Selection)
        doc.Events.Notify(SelectionChanged);
    else
        SetSelection(doc, std::move(selection));
}

void KeepSelectionValid(Document& doc)
{
    Selection valid = doc.Selection;
    KeepValid(valid, doc);
    SetSelection(doc, std::move(valid));
}

void PlaceObject(Document& doc, const std::string& name, const float at[3])
{
    const int32_t index = doc.AddPlacement(name, TPlacement{at[0], at[1], at[2], 0, 0, 0, 1, 1, 1});
    const std::vector<PlacementEntry> placed{doc.EntryOf(index)};
    Document* d = &doc;
    Push(
        doc, "размещение объекта", sizeof(PlacementEntry) + name.size(),
        [d, placed] {
            d->TakePlacementsOf(placed);
            PlacementsMoved(*d, 0);
        },
        [d, placed] {
            d->PutBackPlacements(placed);
            PlacementsMoved(*d, 0);
        });
    doc.Events.Notify(MapChanged);
}

void MovePlayerStart(Document& doc, const float at[3])
{
    const std::array<float, 3> from{doc.PlayerPos[0], doc.PlayerPos[1], doc.PlayerPos[2]};
    const std::array<float, 3> to{at[0], at[1], at[2]};
    if (from == to)
        return;
    Document* d = &doc;
    const auto put = [d](const std::array<float, 3>& p) {
        for (size_t i = 0; i < 3; ++i)
            d->PlayerPos[i] = p[i];
        d->Events.Notify(MapChanged);
    };
    put(to);
    Push(doc, "перемещение игрока", sizeof(from) * 2, [put, from] { put(from); }, [put, to] { put(to); });
}

bool DeleteNearestPlacement(Document& doc, const double at[3], double reach)
{
    int32_t nearest = -1;
    double best = reach;
    for (int32_t i = 0; i < doc.PlacementCount; ++i) {
        const TPlacement& p = doc.Placements[static_cast<size_t>(i)];
        const double d = std::sqrt((p.PosX - at[0]) * (p.PosX - at[0]) + (p.PosY - at[1]) * (p.PosY - at[1]) +
                                   (p.PosZ - at[2]) * (p.PosZ - at[2]));
        if (d <= best) {
            best = d;
            nearest = i;
        }
    }
    if (nearest < 0)
        return false;
    const std::vector<PlacementEntry> taken = doc.TakePlacements({nearest});
    Document* d = &doc;
    Push(
        doc, "удаление объекта с карты", sizeof(PlacementEntry) + taken[0].name.size(),
        [d, taken] {
            d->PutBackPlacements(taken);
            PlacementsMoved(*d, 0);
        },
        [d, taken] {
            d->TakePlacementsOf(taken);
            PlacementsMoved(*d, 0);
        });
    PlacementsMoved(doc, 0);
    return true;
}

int32_t AddObjectDefinition(Document& doc, int chosen, const std::string& name)
{
    const DocTree before = doc.ObjectTree;
    const int32_t index = doc.AddObject(name);
    AddObjectNodes(doc.ObjectTree, chosen, name);
    const DocTree after = doc.ObjectTree;
    const std::shared_ptr<TQX3DObject> object = doc.MapObjects[static_cast<size_t>(index)];
    Document* d = &doc;
    Push(
        doc, "добавление объекта", after.BytesBeside(before) + BytesOf(object.get()),
        [d, object, before] {
            d->RemoveObject(d->IndexOfObject(object.get()));
            PutObjectTree(*d, before, 0);
        },
        [d, index, name, object, after] {
            d->InsertObject(index, name, object);
            PutObjectTree(*d, after, 0);
        },
        true);
    doc.Events.Notify(ObjectsChanged | ObjectTreeChanged);
    return index;
}

void RenameObjectDefinition(Document& doc, int32_t k, int node, const std::string& name)
{
    const std::string oldName = doc.MapObjectNames[static_cast<size_t>(k)];
    if (name.empty() || name == oldName)
        return;
    const DocTree before = doc.ObjectTree;
    const std::shared_ptr<TQX3DObject> object = doc.MapObjects[static_cast<size_t>(k)];
    const std::string oldObjectName = object->Name;
    const std::vector<uint64_t> placements = doc.PlacementIdsAt(doc.PlacementsOf(k));
    doc.SetObjectName(k, name, placements);
    RenameNodes(doc.ObjectTree, NodesOf(doc, node, oldName), name);
    const DocTree after = doc.ObjectTree;
    Document* d = &doc;
    Push(
        doc, "переименование объекта", after.BytesBeside(before) + placements.size() * sizeof(uint64_t),
        [d, object, oldName, oldObjectName, placements, before] {
            d->SetObjectName(d->IndexOfObject(object.get()), oldName, placements);
            object->Name = oldObjectName;
            PutObjectTree(*d, before, 0);
        },
        [d, object, name, placements, after] {
            d->SetObjectName(d->IndexOfObject(object.get()), name, placements);
            PutObjectTree(*d, after, 0);
        },
        true);
    doc.Events.Notify(ObjectsChanged | ObjectTreeChanged | MapChanged);
}

void DeleteObjectDefinition(Document& doc, int32_t k, int node)
{
    const DocTree before = doc.ObjectTree;
    const std::string name = doc.MapObjectNames[static_cast<size_t>(k)];
    const std::shared_ptr<TQX3DObject> object = doc.MapObjects[static_cast<size_t>(k)];
    auto taken = std::make_shared<std::vector<PlacementEntry>>(doc.TakePlacements(doc.PlacementsOf(k)));
    doc.RemoveObject(k);
    RemoveNodes(doc.ObjectTree, NodesOf(doc, node, name));
    // Nothing of it stays chosen.
    doc.ObjectTree.SetCurrent(-1);
    const DocTree after = doc.ObjectTree;
    Document* d = &doc;
    Push(
        doc, "удаление объекта",
        after.BytesBeside(before) + BytesOf(object.get()) + taken->size() * (sizeof(PlacementEntry) + name.size()),
        [d, k, name, object, taken, before] {
            d->InsertObject(k, name, object);
            d->PutBackPlacements(*taken);
            PutObjectTree(*d, before, 0);
        },
        [d, object, taken, after] {
            d->TakePlacementsOf(*taken);
            d->RemoveObject(d->IndexOfObject(object.get()));
            PutObjectTree(*d, after, 0);
        },
        true);
    PlacementsMoved(doc, ObjectsChanged | ObjectTreeChanged);
}

}  // namespace qx
