// A number field that never interrupts typing.  The text the user has typed
// so far is classified on every change:
// - a number takes effect at once (the field's apply runs);
// - the beginning of one ("-", "", "1,", "1e") changes nothing, silently;
// - anything else is marked (red text) and changes nothing.
// When the user presses Enter or leaves the field, a text that is not a
// number is marked and reported once, through `report`, which raises the
// field's conversion error (shown by the handler guard).  A program that
// sets the text with signals blocked calls ShowFieldValue to clear the mark.
#pragma once

#include <QLineEdit>

#include <functional>
#include <string_view>

#include "NumberText.h"

struct NumberFieldRules {
    FieldText (*classify)(std::string_view text) = ClassifyRealText;
    // Runs when the text is a number (and, where `report` is null, also to
    // report a text that is not one: the design's handlers raise the error).
    std::function<void()> apply;
    std::function<void()> report;
    // Position, size and grid fields ignore an empty text, as designed.
    bool emptyIsNoValue = false;
};

void WatchNumberField(QLineEdit* edit, NumberFieldRules rules);
// Whether the field shows its text as not a number.
bool FieldMarked(const QLineEdit* edit);
// Sets the text without running the field's rules and clears the mark.
void ShowFieldValue(QLineEdit* edit, const QString& text);
