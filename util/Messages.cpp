#include "Messages.h"

#include <cstdio>

namespace qx {
namespace {

class StderrSink : public MessageSink {
public:
    void ShowMessage(const std::string& caption, const std::string& text) override
    {
        std::fprintf(stderr, "%s: %s\n", caption.c_str(), text.c_str());
    }
    bool AskYesNo(const std::string& caption, const std::string& text) override
    {
        std::fprintf(stderr, "%s: %s [answered No]\n", caption.c_str(), text.c_str());
        return false;
    }
    Answer AskYesNoCancel(const std::string& caption, const std::string& text) override
    {
        std::fprintf(stderr, "%s: %s [answered Cancel]\n", caption.c_str(), text.c_str());
        return Answer::Cancel;
    }
};

StderrSink g_stderrSink;
MessageSink* g_sink = &g_stderrSink;

}  // namespace

MessageSink& Messages() { return *g_sink; }

void SetMessageSink(MessageSink* sink) { g_sink = sink ? sink : &g_stderrSink; }

void RecordingMessageSink::ShowMessage(const std::string& caption, const std::string& text)
{
    entries.push_back({caption, text, false});
}

bool RecordingMessageSink::AskYesNo(const std::string& caption, const std::string& text)
{
    entries.push_back({caption, text, true});
    return answer;
}

Answer RecordingMessageSink::AskYesNoCancel(const std::string& caption, const std::string& text)
{
    entries.push_back({caption, text, true});
    return threeWayAnswer;
}

ScopedMessageSink::ScopedMessageSink(MessageSink& sink) : previous_(&Messages())
{
    SetMessageSink(&sink);
}

ScopedMessageSink::~ScopedMessageSink() { SetMessageSink(previous_); }

}  // namespace qx
