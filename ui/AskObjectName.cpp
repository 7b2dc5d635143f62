#include "AskObjectName.h"

#include <QInputDialog>

#include <algorithm>

#include "QtText.h"

AskObjectNameHooks& ObjectNameHooks()
{
    static AskObjectNameHooks hooks;
    return hooks;
}

namespace {

std::optional<QString> AskText(const QString& caption, const QString& prompt, const QString& text)
{
    const AskObjectNameHooks& hooks = ObjectNameHooks();
    if (hooks.InputText)
        return hooks.InputText(caption, prompt, text);
    bool accepted = false;
    const QString answer = QInputDialog::getText(nullptr, caption, prompt, QLineEdit::Normal, text, &accepted);
    if (!accepted)
        return std::nullopt;
    return answer;
}

// Puts the key flags back however the box ends.
class KeyFlagsOff {
public:
    KeyFlagsOff()
    {
        if (ObjectNameHooks().SetKeyFlags)
            ObjectNameHooks().SetKeyFlags(false);
    }
    ~KeyFlagsOff()
    {
        if (ObjectNameHooks().SetKeyFlags)
            ObjectNameHooks().SetKeyFlags(true);
    }
    KeyFlagsOff(const KeyFlagsOff&) = delete;
    KeyFlagsOff& operator=(const KeyFlagsOff&) = delete;
};

}  // namespace

void AskObjectName(std::string& Name)
{
    const QString defaultText = Ui("ИмяОбъекта");
    std::optional<QString> answer;
    {
        KeyFlagsOff keysOff;
        answer = AskText(Ui("Добавление объекта"), Ui("Введите имя:"), defaultText);
    }
    Name = "_" + FromQString(answer.value_or(defaultText));
    std::erase_if(Name, [](char c) { return c == ' ' || c == '\\' || c == '/' || c == '\t' || c == '\r'; });
    if (ObjectNameHooks().IsObjectName && ObjectNameHooks().IsObjectName(Name))
        Name.clear();
}
