#pragma once
// Text crosses between the program's 8-bit Windows-1252 strings and Qt's
// Unicode strings only here.
#include <QString>
#include <string>
#include <string_view>

namespace gs {

QString FromAnsi(std::string_view ansi);
// Characters that Windows-1252 cannot hold become "?".
std::string ToAnsi(const QString& text);

}  // namespace gs
