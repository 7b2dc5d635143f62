// The edit history: undo and redo of every change to the project's content,
// and whether the content differs from what was last saved or loaded.
//
// A step holds what it needs to go back and forth (closures over small
// snapshots or over the one entry it touched), never a copy of the whole
// project.  Steps pushed while a step is being undone or redone are not
// recorded (the change is the step's own).
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <string>
#include <vector>

struct UndoStep {
    std::string label;  // 1251, what the step did: "удаление коробки"
    std::function<void()> undo;
    std::function<void()> redo;
    // Steps pushed one after another with the same non-empty key become one
    // (the keystrokes of one field).
    std::string mergeKey;
    bool changesTrees = false;
    size_t bytes = 0;  // what its snapshots hold, roughly
};

class UndoStack {
public:
    static constexpr size_t kLimit = 500;

    void Push(UndoStep step);
    bool CanUndo() const { return position_ > 0; }
    bool CanRedo() const { return position_ < steps_.size(); }
    const std::string& UndoLabel() const;
    const std::string& RedoLabel() const;
    void Undo();
    void Redo();
    // True while a step's undo or redo runs.
    bool Applying() const { return applying_; }
    size_t Count() const { return steps_.size(); }
    size_t Bytes() const;

    // The content differs from the last save or load.
    bool Modified() const { return CurrentState() != savedState_; }
    // Names the content's state: equal values, equal content.
    uint64_t State() const { return CurrentState(); }
    // Everything was saved, trees included.
    void MarkSaved();
    // The game data were saved (texture list, objects, map): the mark clears
    // only when no tree changed since the last full save.
    void MarkGameDataSaved();
    // The content came from elsewhere (a load): no history, nothing unsaved.
    void Reset();
    // The content came from an autosave: no history, but unsaved.
    void ResetUnsaved();

    // Called after every change of the stack or of the saved state.
    std::function<void()> Changed;

    // Steps pushed while a transaction is open are gathered, and become one
    // step when it commits (undone in reverse, redone in order); a
    // transaction opened inside another belongs to the outer one.
    class Transaction {
    public:
        explicit Transaction(UndoStack& stack);
        // An open transaction cancels: what it gathered is undone.
        ~Transaction();
        Transaction(const Transaction&) = delete;
        Transaction& operator=(const Transaction&) = delete;
        // One step of what was gathered, labelled `label` (1251); nothing
        // when nothing was.  Steps with the same non-empty key in a row
        // are one, as for Push.
        void Commit(const std::string& label, const std::string& mergeKey = {});
        // Undoes what it gathered, latest first, and drops it.
        void Cancel();
        // The outermost transaction: the one whose commit makes the step.
        bool Outermost() const { return outer_; }

    private:
        UndoStack& stack_;
        size_t first_ = 0;  // its first step among those gathered
        bool outer_ = false;
        bool open_ = true;
    };
    // True while a transaction is open.
    bool InTransaction() const { return transactionDepth_ > 0; }

private:
    struct Entry {
        UndoStep step;
        uint64_t id;
    };
    uint64_t CurrentState() const { return position_ == 0 ? baseState_ : steps_[position_ - 1].id; }
    void Notify();

    std::deque<Entry> steps_;
    size_t position_ = 0;  // steps_[0 .. position_) are done
    uint64_t nextId_ = 1;
    uint64_t baseState_ = 0;   // the state below the oldest step
    uint64_t savedState_ = 0;
    bool treesChanged_ = false;
    bool applying_ = false;
    int transactionDepth_ = 0;
    std::vector<UndoStep> gathered_;
};

// The open document's history (Editor().History).
UndoStack& EditHistory();
