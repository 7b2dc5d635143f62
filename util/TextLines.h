// Line by line over the bytes of a text file: CR LF or LF, a last line
// without a line end still counts.  Every line-based reader of the
// project's files splits its bytes here.
#pragma once

#include <string_view>

namespace qx {

// Past the end it gives empty lines (and AtEnd() is true), as reading past
// the end of a text file does.
class LineReader {
public:
    explicit LineReader(std::string_view data) : rest_(data) {}
    std::string_view Next()
    {
        ++line_;
        if (rest_.empty()) {
            atEnd_ = true;
            return std::string_view();
        }
        const size_t end = rest_.find('\n');
        std::string_view line = rest_.substr(0, end);
        rest_ = end == std::string_view::npos ? std::string_view() : rest_.substr(end + 1);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        return line;
    }
    // The next line into `line`; false (and `line` untouched) past the end.
    bool Next(std::string_view& line)
    {
        const std::string_view next = Next();
        if (atEnd_)
            return false;
        line = next;
        return true;
    }
    int Line() const { return line_; }  // 1-based number of the last line given
    bool AtEnd() const { return atEnd_; }

private:
    std::string_view rest_;
    int line_ = 0;
    bool atEnd_ = false;
};

}  // namespace qx
