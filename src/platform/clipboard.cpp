#include "platform/clipboard.h"

#include "platform/qtext.h"

#include <QClipboard>
#include <QGuiApplication>

namespace gs {

std::string WithCrLfLineBreaks(const std::string& text) {
    std::string out;
    out.reserve(text.size() + text.size() / 16);
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char next = i + 1 < text.size() ? text[i + 1] : '\0';
        if ((text[i] == '\r' && next == '\n') || (text[i] == '\n' && next == '\r')) {
            out.append(text, i, 2);  // a CR LF or LF CR pair is a line break already
            ++i;
            continue;
        }
        if (text[i] == '\n') out += '\r';
        out += text[i];
    }
    return out;
}

std::string ClipboardText() {
    const QClipboard* clipboard = QGuiApplication::clipboard();
    if (!clipboard) return {};
    return WithCrLfLineBreaks(ToAnsi(clipboard->text()));
}

}  // namespace gs
