#include "support/clippedtext.h"

#include <QAbstractScrollArea>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QStyle>
#include <QStyleOption>
#include <QTextBrowser>
#include <QTextDocument>
#include <QTextEdit>

#include <cmath>

namespace gs::test {

namespace {

QString Name(const QWidget& w) {
    return w.objectName().isEmpty() ? QString::fromLatin1(w.metaObject()->className()) : w.objectName();
}

class Finder {
public:
    explicit Finder(const QWidget& window) : window_(window) {}

    void Look(const QWidget& w) {
        if (auto* label = qobject_cast<const QLabel*>(&w)) LookAtLabel(*label);
        else if (auto* push = qobject_cast<const QPushButton*>(&w)) LookAtPushButton(*push);
        else if (auto* check = qobject_cast<const QCheckBox*>(&w)) LookAtIndicatorButton(*check, false);
        else if (auto* radio = qobject_cast<const QRadioButton*>(&w)) LookAtIndicatorButton(*radio, true);
        else if (auto* group = qobject_cast<const QGroupBox*>(&w)) LookAtGroupTitle(*group);
        else if (qobject_cast<const QTextBrowser*>(&w)) return;  // a document to scroll through
        else if (auto* text = qobject_cast<const QPlainTextEdit*>(&w); text && text->isReadOnly()) LookAtTextBox(*text);
        else if (auto* rich = qobject_cast<const QTextEdit*>(&w); rich && rich->isReadOnly()) LookAtTextBox(*rich);
    }

    QList<ClippedText> found;

private:
    void Report(const QWidget& w, const QString& text, const QString& why) { found.append({Name(w), text, why}); }

    // `needed` is the text's size; `room` where the control draws it; `drawn`
    // the text's place inside the room, in the control's coordinates.
    void Check(const QWidget& w, const QString& text, QSize needed, QRect room, QRect drawn) {
        if (needed.width() > room.width())
            Report(w, text, QStringLiteral("needs %1 px in width, has %2").arg(needed.width()).arg(room.width()));
        if (needed.height() > room.height())
            Report(w, text, QStringLiteral("needs %1 px in height, has %2").arg(needed.height()).arg(room.height()));
        CheckInsideParents(w, text, drawn);
    }

    // A text must lie inside its own control and inside every parent up to
    // the window; a scrolled view is the end of the walk, it shows the rest
    // by scrolling.
    void CheckInsideParents(const QWidget& w, const QString& text, QRect drawn) {
        const QWidget* at = &w;
        QRect r = drawn;
        while (true) {
            const QRect bounds = at->rect();
            if (!bounds.contains(r)) {
                QStringList sides;
                if (r.left() < bounds.left()) sides << "left";
                if (r.right() > bounds.right()) sides << "right";
                if (r.top() < bounds.top()) sides << "top";
                if (r.bottom() > bounds.bottom()) sides << "bottom";
                Report(w, text, QStringLiteral("cut off by %1 at the %2").arg(Name(*at), sides.join('/')));
                return;
            }
            if (at == &window_ || !at->parentWidget()) return;
            const QWidget* parent = at->parentWidget();
            if (qobject_cast<const QAbstractScrollArea*>(parent->parentWidget()) &&
                static_cast<const QAbstractScrollArea*>(parent->parentWidget())->viewport() == parent)
                return;
            r.translate(at->pos());
            at = parent;
        }
    }

    void LookAtLabel(const QLabel& label) {
        const QString text = label.text();
        if (text.isEmpty()) return;  // picture labels and empty lines
        QRect room = label.contentsRect();
        const int m = label.margin();
        room.adjust(m, m, -m, -m);
        if (label.indent() > 0) room.adjust(label.indent(), 0, 0, 0);
        const bool rich = label.textFormat() == Qt::RichText ||
                          (label.textFormat() == Qt::AutoText && Qt::mightBeRichText(text));
        if (rich) {
            // Laid out as the label lays out rich text: no document margin,
            // wrapped at the label's width when it wraps.
            QTextDocument doc;
            doc.setDocumentMargin(0);
            doc.setDefaultFont(label.font());
            doc.setHtml(text);
            if (label.wordWrap()) doc.setTextWidth(room.width());
            const QSize needed(static_cast<int>(std::ceil(doc.idealWidth())),
                               static_cast<int>(std::ceil(doc.size().height())));
            Check(label, text, needed, room,
                  QStyle::alignedRect(label.layoutDirection(), label.alignment(), needed.boundedTo(room.size()), room));
            return;
        }
        int flags = static_cast<int>(label.alignment());
        if (label.wordWrap()) flags |= Qt::TextWordWrap;
        flags |= label.buddy() ? Qt::TextShowMnemonic : 0;
        const QFontMetrics fm(label.font());
        // The text laid out in the label's own room, wrapped at its width.
        const QRect drawn = fm.boundingRect(room, flags, text);
        Check(label, text, drawn.size(), room, drawn);
    }

    static QStyleOptionButton ButtonOption(const QAbstractButton& b) {
        QStyleOptionButton opt;
        opt.initFrom(&b);
        opt.text = b.text();
        opt.icon = b.icon();
        opt.iconSize = b.iconSize();
        if (auto* push = qobject_cast<const QPushButton*>(&b)) {
            if (push->autoDefault()) opt.features |= QStyleOptionButton::AutoDefaultButton;
            if (push->isDefault()) opt.features |= QStyleOptionButton::DefaultButton;
            if (push->isFlat()) opt.features |= QStyleOptionButton::Flat;
        }
        return opt;
    }

    static QSize ButtonTextSize(const QAbstractButton& b) {
        QSize size = QFontMetrics(b.font()).size(Qt::TextShowMnemonic, b.text());
        if (!b.icon().isNull()) size = QSize(size.width() + b.iconSize().width() + 4,
                                             std::max(size.height(), b.iconSize().height()));
        return size;
    }

    void LookAtPushButton(const QPushButton& b) {
        if (b.text().isEmpty()) return;
        const QStyleOptionButton opt = ButtonOption(b);
        const QRect room = b.style()->subElementRect(QStyle::SE_PushButtonContents, &opt, &b);
        const QSize needed = ButtonTextSize(b);
        Check(b, b.text(), needed, room, QStyle::alignedRect(b.layoutDirection(), Qt::AlignCenter,
                                                             needed.boundedTo(room.size()), room));
    }

    void LookAtIndicatorButton(const QAbstractButton& b, bool radio) {
        const QStyleOptionButton opt = ButtonOption(b);
        const QRect indicator = b.style()->subElementRect(
            radio ? QStyle::SE_RadioButtonIndicator : QStyle::SE_CheckBoxIndicator, &opt, &b);
        CheckInsideParents(b, b.text().isEmpty() ? Name(b) : b.text(), indicator);
        if (b.text().isEmpty()) return;
        const QRect room =
            b.style()->subElementRect(radio ? QStyle::SE_RadioButtonContents : QStyle::SE_CheckBoxContents, &opt, &b);
        const QSize needed = ButtonTextSize(b);
        Check(b, b.text(), needed, room, QStyle::alignedRect(b.layoutDirection(), Qt::AlignLeft | Qt::AlignVCenter,
                                                             needed.boundedTo(room.size()), room));
    }

    void LookAtGroupTitle(const QGroupBox& g) {
        if (g.title().isEmpty()) return;
        QStyleOptionGroupBox opt;
        opt.initFrom(&g);
        opt.text = g.title();
        opt.lineWidth = 1;
        opt.midLineWidth = 0;
        opt.textAlignment = g.alignment();
        opt.subControls = QStyle::SC_GroupBoxFrame | QStyle::SC_GroupBoxLabel;
        if (g.isCheckable()) opt.subControls |= QStyle::SC_GroupBoxCheckBox;
        if (g.isFlat()) opt.features |= QStyleOptionFrame::Flat;
        const QRect room = g.style()->subControlRect(QStyle::CC_GroupBox, &opt, QStyle::SC_GroupBoxLabel, &g);
        const QSize needed = QFontMetrics(g.font()).size(Qt::TextShowMnemonic, g.title());
        Check(g, g.title(), needed, room,
              QStyle::alignedRect(g.layoutDirection(), Qt::AlignCenter, needed.boundedTo(room.size()), room));
    }

    template <typename TextBox>
    void LookAtTextBox(const TextBox& box) {
        const QString text = box.toPlainText();
        if (text.isEmpty()) return;
        if (box.verticalScrollBar()->maximum() > 0 || box.horizontalScrollBar()->maximum() > 0)
            Report(box, text, QStringLiteral("shows its text only by scrolling"));
    }

    const QWidget& window_;
};

}  // namespace

QList<ClippedText> FindClippedTexts(const QWidget& window) {
    Finder finder(window);
    QList<const QWidget*> widgets{&window};
    for (const QWidget* w : window.findChildren<QWidget*>()) widgets.append(w);
    for (const QWidget* w : widgets) {
        if (w != &window && !w->isVisibleTo(&window)) continue;
        if (w->window() != &window) continue;  // another window, looked at on its own
        finder.Look(*w);
    }
    return finder.found;
}

QString Describe(const QList<ClippedText>& found) {
    QStringList lines;
    for (const ClippedText& c : found) lines << QStringLiteral("%1 \"%2\": %3").arg(c.control, c.text.left(60), c.why);
    return lines.join('\n');
}

}  // namespace gs::test
