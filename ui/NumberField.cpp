#include "NumberField.h"

#include <QPalette>
#include <QSignalBlocker>

#include "HandlerGuard.h"
#include "QtText.h"

namespace {

constexpr const char* kMarked = "qxNotANumber";
constexpr const char* kReported = "qxReportedText";

void SetMarked(QLineEdit* edit, bool marked)
{
    if (FieldMarked(edit) == marked)
        return;
    edit->setProperty(kMarked, marked);
    if (!marked) {
        edit->setPalette(QPalette());  // back to the inherited colours
        return;
    }
    QPalette palette = edit->palette();
    palette.setColor(QPalette::Text, Qt::red);
    edit->setPalette(palette);
}

}  // namespace

bool FieldMarked(const QLineEdit* edit) { return edit->property(kMarked).toBool(); }

void ShowFieldValue(QLineEdit* edit, const QString& text)
{
    {
        const QSignalBlocker quiet(edit);
        edit->setText(text);
    }
    SetMarked(edit, false);
    edit->setProperty(kReported, QVariant());
}

void WatchNumberField(QLineEdit* edit, NumberFieldRules rules)
{
    QObject::connect(edit, &QLineEdit::textChanged, edit, [edit, rules] {
        edit->setProperty(kReported, QVariant());
        switch (rules.classify(FromQString(edit->text()))) {
        case FieldText::Number:
            SetMarked(edit, false);
            Guarded(rules.apply);
            break;
        case FieldText::Beginning:
            SetMarked(edit, false);
            break;
        case FieldText::NotANumber:
            SetMarked(edit, true);
            break;
        }
    });
    QObject::connect(edit, &QLineEdit::editingFinished, edit, [edit, rules] {
        const std::string text = FromQString(edit->text());
        if (rules.classify(text) == FieldText::Number || (text.empty() && rules.emptyIsNoValue))
            return;
        SetMarked(edit, true);
        // Once per text: Enter and then leaving the field report it once.
        const QVariant reported = edit->property(kReported);
        if (reported.isValid() && reported.toString() == edit->text())
            return;
        edit->setProperty(kReported, edit->text());
        Guarded(rules.report ? rules.report : rules.apply);
    });
}
