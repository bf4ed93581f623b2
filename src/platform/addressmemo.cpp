#include "platform/addressmemo.h"

#include "platform/textlines.h"

#include <QTextCursor>

namespace gs {

AddressMemo::AddressMemo(QWidget* parent) : QTextEdit(parent) {
    setFont(AddressBoxFont());
    setAcceptRichText(false);
    setLineWrapMode(QTextEdit::FixedPixelWidth);
    setLineWrapColumnOrWidth(kAddressBoxWrapWidth);
    setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    document()->setDocumentMargin(2);
    setTabChangesFocus(true);
}

QStringList AddressMemo::Lines() const {
    return DisplayedLineTexts(toPlainText(), font(), kAddressBoxWrapWidth);
}

QString AddressMemo::Line(int i) const {
    const QStringList lines = Lines();
    return i < lines.size() ? lines[i] : QString();
}

bool AddressMemo::CutToFourLines() {
    const QString text = toPlainText();
    const QString kept = KeepDisplayedLines(text, font(), kAddressBoxWrapWidth, 4);
    if (kept == text) return false;
    const int position = textCursor().position();
    setPlainText(kept);
    QTextCursor cursor = textCursor();
    cursor.setPosition(std::min<int>(position, static_cast<int>(kept.size())));
    setTextCursor(cursor);
    return true;
}

void AddressMemo::RewriteLines() { emit rewritten(); }

void AddressMemo::focusOutEvent(QFocusEvent* event) {
    QTextEdit::focusOutEvent(event);
    emit left();
}

}  // namespace gs
