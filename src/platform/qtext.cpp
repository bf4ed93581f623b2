#include "platform/qtext.h"

#include "platform/codepage.h"

#include <QList>

namespace gs {

QString FromAnsi(std::string_view ansi) {
    QString out;
    out.reserve(static_cast<qsizetype>(ansi.size()));
    for (char c : ansi) out.append(QChar(AnsiCharToUnicode(static_cast<unsigned char>(c))));
    return out;
}

std::string ToAnsi(const QString& text) {
    std::string out;
    out.reserve(static_cast<std::size_t>(text.size()));
    for (char32_t u : text.toUcs4()) out.push_back(static_cast<char>(UnicodeToAnsiChar(u)));
    return out;
}

}  // namespace gs
