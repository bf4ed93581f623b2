#include "platform/clipboard.h"

#include "platform/qtext.h"

#include <QClipboard>
#include <QGuiApplication>

namespace gs {

std::string WithCrLfLineBreaks(const std::string& text) {
    std::string out;
    out.reserve(text.size() + text.size() / 16);
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\n' && (i == 0 || text[i - 1] != '\r')) out += '\r';
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
