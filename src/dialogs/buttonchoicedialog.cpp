#include "dialogs/buttonchoicedialog.h"

#include <QFontMetrics>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>

#include "platform/userinteraction.h"
#include "platform/windowplacement.h"

namespace gs {

ButtonChoiceDialog::ButtonChoiceDialog(const QString& title, const QString& message, const QStringList& captions,
                                       QWidget* parent)
    : QDialog(parent) {
    setObjectName("ButtonChoiceDialog");
    // Title bar without system menu or close box, kept above other windows.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowStaysOnTopHint);
    setWindowTitle(title);

    // The window has no frame of its own here, so its width is its client width.
    int width = 325;
    const QFontMetrics fm(font());

    int widest = 0;
    for (const QString& caption : captions) widest = std::max(widest, fm.horizontalAdvance(caption));
    const int buttonWidth = widest + 10;
    const int count = static_cast<int>(captions.size());
    const int needed = count * buttonWidth + (count + 1) * 10;
    if (needed > width) width = needed;

    const int line = fm.height();
    int labelHeight = 3 * line;
    const int messageWidth = fm.horizontalAdvance(message);
    // A short message lets the buttons decide, even below the usual width.
    if (needed > messageWidth) width = needed;
    if (width < messageWidth) labelHeight = line * (messageWidth / width + 3);
    const int height = labelHeight + 4 * line + 22;
    setFixedSize(width, height);

    message_ = new QLabel(this);
    message_->setObjectName("lblMessage");
    message_->setTextFormat(Qt::PlainText);
    message_->setWordWrap(true);
    message_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    message_->setText(message);
    message_->setGeometry(10, 10, width - 20, labelHeight);

    // Right to left in the caller's order; the last one made has the focus.
    for (int i = 1; i <= count; ++i) {
        auto* button = new QPushButton(captions[i - 1], this);
        button->setObjectName(QStringLiteral("btnChoice%1").arg(i));
        button->setGeometry(width - i * (buttonWidth + 10), height - 35, buttonWidth, 25);
        connect(button, &QPushButton::clicked, this, [this, i] { done(i); });
        button->setFocus();
        buttons_.append(button);
    }

    CentreOnScreen(*this);
}

namespace {

// The letter after a single "&" ("&&" shows one "&"); null when none.
QChar Mnemonic(const QString& caption) {
    for (qsizetype i = 0; i + 1 < caption.size(); ++i) {
        if (caption[i] != u'&') continue;
        if (caption[i + 1] != u'&') return caption[i + 1].toLower();
        ++i;
    }
    return {};
}

}  // namespace

void ButtonChoiceDialog::keyPressEvent(QKeyEvent* event) {
    const Qt::KeyboardModifiers mods = event->modifiers() & ~(Qt::AltModifier | Qt::ShiftModifier);
    const QString text = event->text();
    if (mods == Qt::NoModifier && text.size() == 1 && text[0].isLetterOrNumber()) {
        for (QPushButton* button : buttons_) {
            if (Mnemonic(button->text()) == text[0].toLower()) {
                button->click();
                return;
            }
        }
    }
    QDialog::keyPressEvent(event);
}

int AskButtonChoice(QWidget* parent, const QString& title, const QString& message, const QStringList& captions) {
    ButtonChoiceDialog dialog(title, message, captions, parent);
    return Ui().RunModal(dialog);
}

}  // namespace gs
