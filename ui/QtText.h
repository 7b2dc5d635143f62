// The widget boundary: model texts are code page 1251 bytes, widgets hold
// QString.  Every conversion between the two goes through here.
#pragma once

#include <QString>

#include <string>
#include <string_view>

#include "Text1251.h"

inline QString ToQString(std::string_view cp1251)
{
    return QString::fromStdString(Cp1251ToUtf8(cp1251));
}

inline std::string FromQString(const QString& text) { return Utf8ToCp1251(text.toStdString()); }

// A UTF-8 source literal straight to a widget text.
inline QString Ui(const char* utf8) { return QString::fromUtf8(utf8); }
