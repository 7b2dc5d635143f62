// The name box shared by "add object" and "add category": a modal one-line
// input ("Добавление объекта" / "Введите имя:" / "ИмяОбъекта") whose answer,
// or the default text when cancelled, comes back as a new object name.
//
// The main window owns what the box must not know about: its key flags and
// its object list.  It installs them as hooks; tests replace the dialog.
#pragma once

#include <QString>

#include <functional>
#include <optional>
#include <string>

struct AskObjectNameHooks {
    // Called with false before the box opens (so the box gets the keys the
    // main window's key hook would otherwise swallow) and true after it.
    std::function<void(bool enabled)> SetKeyFlags;
    // True when a scene object of that (1251) name exists.
    std::function<bool(const std::string& name)> IsObjectName;
    // The dialog itself; nullopt means cancelled.  Null: QInputDialog.
    std::function<std::optional<QString>(const QString& caption, const QString& prompt, const QString& text)> InputText;
};

AskObjectNameHooks& ObjectNameHooks();

// Name := "_" + answer, without blanks, "\", "/", TAB and CR.  A name that
// cannot work (no code page 1251 form, the player's "_Игрок" in it, the
// name of an existing object) is refused with a message naming the reason
// and the box opens again with the typed text.  Cancelled, the default text
// is taken when it is free; otherwise, and when the box is cancelled after
// a refusal, Name is empty.  Code page 1251 bytes.
void AskObjectName(std::string& Name);
// "Переименовать": the same rules in a box captioned "Переименование
// объекта" that opens with `current` (without its "_").  Cancelled, Name is
// empty; `current` itself is taken as it is (the caller sees no change).
void AskNewObjectName(std::string& Name, const std::string& current);
