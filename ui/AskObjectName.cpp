#include "AskObjectName.h"

#include <QInputDialog>

#include <algorithm>

#include "Messages.h"
#include "QtText.h"
#include "Text1251.h"

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

// Why a name cannot be an object's, in the user's words; empty when it can.
std::string RefusalOf(const QString& answer, const std::string& name)
{
    const std::string utf8 = answer.toStdString();
    if (Cp1251ToUtf8(Utf8ToCp1251(utf8)) != utf8)
        return Cp("Имя \"") + Utf8ToCp1251(utf8) +
               Cp("\" содержит буквы, которых нет в кодировке 1251: проект хранит имена в ней.");
    static const std::string player = Cp("_Игрок");
    if (name.find(player) != std::string::npos)
        return Cp("Имя \"") + name + Cp("\" занято: \"_Игрок\" означает место игрока.");
    if (ObjectNameHooks().IsObjectName && ObjectNameHooks().IsObjectName(name))
        return Cp("Объект \"") + name + Cp("\" уже есть.");
    return std::string();
}

// `current`: the name being replaced (a rename), null for a new object.
void AskName(std::string& Name, const QString& caption, const QString& defaultText, const std::string* current)
{
    QString text = defaultText;
    for (bool refused = false;; refused = true) {
        std::optional<QString> answer;
        {
            KeyFlagsOff keysOff;
            answer = AskText(caption, Ui("Введите имя:"), text);
        }
        // Cancelling a second try adds nothing; a cancelled rename renames
        // nothing.
        if (!answer && (refused || current)) {
            Name.clear();
            return;
        }
        const QString typed = answer.value_or(defaultText);
        Name = "_" + FromQString(typed);
        std::erase_if(Name, [](char c) { return c == ' ' || c == '\\' || c == '/' || c == '\t' || c == '\r'; });
        if (current && Name == *current)
            return;
        const std::string refusal = RefusalOf(typed, Name);
        if (refusal.empty())
            return;
        Name.clear();
        // Cancelled: the design's default name when it is free, else nothing.
        if (!answer)
            return;
        qx::Messages().ShowMessage(FromQString(caption), refusal);
        text = typed;
    }
}

}  // namespace

void AskObjectName(std::string& Name) { AskName(Name, Ui("Добавление объекта"), Ui("ИмяОбъекта"), nullptr); }

void AskNewObjectName(std::string& Name, const std::string& current)
{
    AskName(Name, Ui("Переименование объекта"), ToQString(current.substr(current.empty() ? 0 : 1)), &current);
}
