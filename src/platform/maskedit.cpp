#include "platform/maskedit.h"

#include <QLineEdit>

namespace gs {

QString QtInputMask(const QString& formMask) {
    const QStringList parts = formMask.split(';');
    QString out;
    const QString& mask = parts.value(0);
    for (qsizetype i = 0; i < mask.size(); ++i) {
        const QChar c = mask[i];
        if (c == '\\' && i + 1 < mask.size()) {
            out += '\\';
            out += mask[++i];
        } else if (c == '0') {
            out += '9';
        } else if (c == '9') {
            out += '0';
        } else if (QStringLiteral("AaNnXx#HhBb>!<[]{}").contains(c)) {
            out += '\\';  // a mask character in Qt that the forms mean literally
            out += c;
        } else {
            out += c;
        }
    }
    const QString blank = parts.size() > 2 && !parts[2].isEmpty() ? parts[2].left(1) : QStringLiteral("_");
    return out + ';' + blank;
}

void SetFormMask(QLineEdit& edit, const QString& formMask) {
    edit.setInputMask(QtInputMask(formMask));
}

QString MaskedText(const QLineEdit& edit) {
    if (edit.inputMask().isEmpty()) return edit.text();
    const QString mask = edit.inputMask();
    const QChar blank = mask.at(mask.size() - 1);
    QString text = edit.displayText();
    // Empty positions show the blank character; read them as blanks. The
    // display never holds the blank character for a filled digit position.
    text.replace(blank, QLatin1Char(' '));
    return text;
}

}  // namespace gs
