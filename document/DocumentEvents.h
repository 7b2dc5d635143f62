// What changed in a document, told to whoever shows it.  The editing
// functions change data and say which kinds of thing they changed; the
// windows observe and show the new state.  Observers belong to the
// document's instance, not to its value: copying or assigning a document
// neither copies nor drops them.
#pragma once

#include <cstdint>
#include <functional>
#include <utility>
#include <vector>

namespace qx {

// Kinds of change, combined as bits.
enum DocChange : uint32_t {
    ObjectsChanged = 1u << 0,      // the object list or a definition
    MapChanged = 1u << 1,          // placements or the player start
    ObjectTreeChanged = 1u << 2,
    MapTreeChanged = 1u << 3,
    TextureTreeChanged = 1u << 4,
    TexturesChanged = 1u << 5,     // the texture table
    SessionChanged = 1u << 6,      // the object view: opened, left, working copy
    PendingChanged = 1u << 7,      // the pending primitive's values or kind
    SelectionChanged = 1u << 8,    // the map view's selection
    HistoryChanged = 1u << 9,      // the undo stack or the saved mark
    CursorChanged = 1u << 10,
    // Sent with MapChanged when all that changed is where the selected
    // placements stand (a drag under way): a view may update just those.
    SelectionMoved = 1u << 11,
    NoticeChanged = 1u << 12,      // the session's notice to the user
};

class DocumentEvents {
public:
    using Observer = std::function<void(uint32_t changes)>;

    DocumentEvents() = default;
    DocumentEvents(const DocumentEvents&) {}
    DocumentEvents& operator=(const DocumentEvents&) { return *this; }

    // Returns a key for Forget.
    int Observe(Observer observer);
    void Forget(int key);
    // Tells every observer, in the order they came.
    void Notify(uint32_t changes) const;

private:
    struct Entry {
        int key;
        Observer observer;
    };
    std::vector<Entry> observers_;
    int nextKey_ = 1;
};

// An observer that is forgotten when this goes (or observes elsewhere):
// a view that outlives no document it shows.
class Observation {
public:
    Observation() = default;
    Observation(DocumentEvents& events, DocumentEvents::Observer observer)
        : events_(&events), key_(events.Observe(std::move(observer)))
    {
    }
    ~Observation() { Reset(); }
    Observation(const Observation&) = delete;
    Observation& operator=(const Observation&) = delete;
    Observation(Observation&& other) noexcept : events_(std::exchange(other.events_, nullptr)), key_(other.key_) {}
    Observation& operator=(Observation&& other) noexcept
    {
        if (this != &other) {
            Reset();
            events_ = std::exchange(other.events_, nullptr);
            key_ = other.key_;
        }
        return *this;
    }
    void Reset()
    {
        if (events_)
            std::exchange(events_, nullptr)->Forget(key_);
    }

private:
    DocumentEvents* events_ = nullptr;
    int key_ = 0;
};

}  // namespace qx
