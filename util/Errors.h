// Error kinds that end an event handler.  The application's top-level
// handler shows what() in a message box and the editor carries on.
#pragma once

#include <stdexcept>
#include <string>
#include <string_view>

namespace qx {

// Base of every error the editor raises itself.  Texts are 8-bit code page
// 1251, like everything else in the model.
class Error : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A text that is not a number ("Could not convert variant of type ...").
class ConvertError : public Error {
public:
    using Error::Error;
    // "'<text>' is not a valid <what> value", keeping the text for a message
    // of the editor's own (RussianReason).
    static ConvertError NotValid(std::string_view text, const char* what);
    const std::string* Offending() const { return hasText_ ? &text_ : nullptr; }

private:
    std::string text_;
    bool hasText_ = false;
};

// A file that cannot be opened, read or written ("File not found",
// "I/O error %d").
class InOutError : public Error {
public:
    using Error::Error;
    static InOutError FromErrno(int code);  // ENOENT -> "File not found"
};

// Malformed content of a file the editor reads (tree levels, icon indexes).
class FormatError : public Error {
public:
    using Error::Error;
};

// An error whose message the user has seen already (a loader's box): it ends
// the handler like any other error, but is not shown a second time.
class ReportedError : public Error {
public:
    using Error::Error;
};

// The reason an error gives, for the editor's own Russian messages: a text
// that is no number reads "'abc' — не число"; every other error its what().
std::string RussianReason(const std::exception& error);

}  // namespace qx
