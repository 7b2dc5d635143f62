#include "EditHistory.h"

#include <memory>
#include <utility>

void UndoStack::Push(UndoStep step)
{
    if (applying_)
        return;
    if (transactionDepth_ > 0) {
        gathered_.push_back(std::move(step));
        return;
    }
    steps_.erase(steps_.begin() + static_cast<std::ptrdiff_t>(position_), steps_.end());
    treesChanged_ = treesChanged_ || step.changesTrees;
    // Keystrokes in one field: the first step keeps its way back, the way
    // forward becomes the latest.  Never across a save.
    if (!step.mergeKey.empty() && !steps_.empty() && steps_.back().step.mergeKey == step.mergeKey &&
        steps_.back().id != savedState_) {
        Entry& last = steps_.back();
        last.step.redo = std::move(step.redo);
        last.step.bytes += step.bytes;
        last.step.changesTrees = last.step.changesTrees || step.changesTrees;
        Notify();
        return;
    }
    steps_.push_back({std::move(step), nextId_++});
    if (steps_.size() > kLimit) {
        baseState_ = steps_.front().id;
        steps_.pop_front();
    }
    position_ = steps_.size();
    Notify();
}

const std::string& UndoStack::UndoLabel() const
{
    static const std::string none;
    return CanUndo() ? steps_[position_ - 1].step.label : none;
}

const std::string& UndoStack::RedoLabel() const
{
    static const std::string none;
    return CanRedo() ? steps_[position_].step.label : none;
}

namespace {

class ApplyingScope {
public:
    explicit ApplyingScope(bool& flag) : flag_(flag) { flag_ = true; }
    ~ApplyingScope() { flag_ = false; }
    ApplyingScope(const ApplyingScope&) = delete;
    ApplyingScope& operator=(const ApplyingScope&) = delete;

private:
    bool& flag_;
};

}  // namespace

void UndoStack::Undo()
{
    if (!CanUndo() || applying_)
        return;
    Entry& entry = steps_[position_ - 1];
    {
        ApplyingScope scope(applying_);
        entry.step.undo();
    }
    --position_;
    treesChanged_ = treesChanged_ || entry.step.changesTrees;
    Notify();
}

void UndoStack::Redo()
{
    if (!CanRedo() || applying_)
        return;
    Entry& entry = steps_[position_];
    {
        ApplyingScope scope(applying_);
        entry.step.redo();
    }
    ++position_;
    treesChanged_ = treesChanged_ || entry.step.changesTrees;
    Notify();
}

size_t UndoStack::Bytes() const
{
    size_t total = 0;
    for (const Entry& entry : steps_)
        total += entry.step.bytes;
    return total;
}

void UndoStack::MarkSaved()
{
    savedState_ = CurrentState();
    treesChanged_ = false;
    Notify();
}

void UndoStack::MarkGameDataSaved()
{
    if (!treesChanged_)
        savedState_ = CurrentState();
    Notify();
}

void UndoStack::Reset()
{
    steps_.clear();
    position_ = 0;
    baseState_ = nextId_++;
    savedState_ = baseState_;
    treesChanged_ = false;
    Notify();
}

void UndoStack::ResetUnsaved()
{
    Reset();
    savedState_ = 0;
    treesChanged_ = true;
    Notify();
}

void UndoStack::Notify()
{
    if (Changed)
        Changed();
}

UndoStack::Transaction::Transaction(UndoStack& stack)
    : stack_(stack), first_(stack.gathered_.size()), outer_(stack.transactionDepth_ == 0)
{
    ++stack_.transactionDepth_;
}

UndoStack::Transaction::~Transaction()
{
    if (open_)
        Cancel();
}

void UndoStack::Transaction::Commit(const std::string& label, const std::string& mergeKey)
{
    if (!open_)
        return;
    open_ = false;
    --stack_.transactionDepth_;
    if (!outer_)
        return;  // the outer transaction makes the step
    std::vector<UndoStep> steps = std::move(stack_.gathered_);
    stack_.gathered_.clear();
    if (steps.empty())
        return;
    // One step gathered is the step itself: no wrapper to hold.
    if (steps.size() == 1) {
        UndoStep only = std::move(steps.front());
        only.label = label;
        only.mergeKey = mergeKey;
        stack_.Push(std::move(only));
        return;
    }
    UndoStep step;
    step.label = label;
    step.mergeKey = mergeKey;
    for (const UndoStep& s : steps) {
        step.changesTrees = step.changesTrees || s.changesTrees;
        step.bytes += s.bytes;
    }
    auto shared = std::make_shared<std::vector<UndoStep>>(std::move(steps));
    step.undo = [shared] {
        for (auto it = shared->rbegin(); it != shared->rend(); ++it)
            it->undo();
    };
    step.redo = [shared] {
        for (UndoStep& s : *shared)
            s.redo();
    };
    stack_.Push(std::move(step));
}

void UndoStack::Transaction::Cancel()
{
    if (!open_)
        return;
    open_ = false;
    --stack_.transactionDepth_;
    std::vector<UndoStep>& gathered = stack_.gathered_;
    std::vector<UndoStep> steps(std::make_move_iterator(gathered.begin() + static_cast<std::ptrdiff_t>(first_)),
                                std::make_move_iterator(gathered.end()));
    gathered.resize(first_);
    ApplyingScope scope(stack_.applying_);
    for (auto it = steps.rbegin(); it != steps.rend(); ++it)
        it->undo();
}
