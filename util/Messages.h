// The one way the editor shows a message or asks a Yes/No question.
// The widgets layer installs a message-box sink; tests install a recorder;
// without either, messages go to standard error.
#pragma once

#include <string>
#include <vector>

namespace qx {

enum class Answer { Yes, No, Cancel };

class MessageSink {
public:
    virtual ~MessageSink() = default;
    // Caption and text are code page 1251 bytes.
    virtual void ShowMessage(const std::string& caption, const std::string& text) = 0;
    virtual bool AskYesNo(const std::string& caption, const std::string& text) = 0;
    // Yes, No and Cancel; a sink without a third button answers as AskYesNo.
    virtual Answer AskYesNoCancel(const std::string& caption, const std::string& text)
    {
        return AskYesNo(caption, text) ? Answer::Yes : Answer::No;
    }
};

// The sink in force; never null.
MessageSink& Messages();
// Installs a sink (null restores the standard-error sink).  Not owned.
void SetMessageSink(MessageSink* sink);

// Records messages instead of showing them; answers questions with a preset.
class RecordingMessageSink : public MessageSink {
public:
    struct Entry {
        std::string caption;
        std::string text;
        bool question = false;
    };
    void ShowMessage(const std::string& caption, const std::string& text) override;
    bool AskYesNo(const std::string& caption, const std::string& text) override;
    Answer AskYesNoCancel(const std::string& caption, const std::string& text) override;

    std::vector<Entry> entries;
    bool answer = true;
    Answer threeWayAnswer = Answer::Yes;
};

// Installs a sink for the lifetime of the scope.
class ScopedMessageSink {
public:
    explicit ScopedMessageSink(MessageSink& sink);
    ~ScopedMessageSink();
    ScopedMessageSink(const ScopedMessageSink&) = delete;
    ScopedMessageSink& operator=(const ScopedMessageSink&) = delete;

private:
    MessageSink* previous_;
};

}  // namespace qx
