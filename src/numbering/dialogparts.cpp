#include "numbering/dialogparts.h"

#include "platform/maskedit.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QStyle>
#include <QTextBlock>
#include <QTextLayout>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

namespace gs {

QLabel* TextLabel(const QString& text, QWidget* parent, bool bold, bool wrap) {
    auto* label = new QLabel(parent);
    label->setTextFormat(Qt::PlainText);
    label->setText(text);
    label->setWordWrap(wrap);
    if (bold) {
        QFont f = label->font();
        f.setBold(true);
        label->setFont(f);
    }
    return label;
}

QHBoxLayout* Row(std::initializer_list<QLabel*> labels) {
    auto* row = new QHBoxLayout;
    row->setSpacing(3);
    for (QLabel* label : labels) row->addWidget(label, 0, Qt::AlignTop);
    QLabel* last = *(labels.end() - 1);
    last->setWordWrap(true);
    row->setStretchFactor(last, 1);
    return row;
}

QLineEdit* MaskedEdit(const char* name, const char* mask, QWidget* parent) {
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(name);
    SetFormMask(*edit, QString::fromLatin1(mask));
    return edit;
}

QFrame* HelpPanel(const char* name, int top, int width, int height, QWidget* parent) {
    auto* panel = new QFrame(parent);
    panel->setObjectName(name);
    panel->setFrameShape(QFrame::StyledPanel);
    panel->setGeometry(0, top, width, height);
    QFont f = panel->font();
    f.setPixelSize(10);
    panel->setFont(f);
    panel->hide();
    return panel;
}

int TextBoxHeight(QPlainTextEdit& box, int width) {
    // Every line laid out as the box lays it out. The lines are wrapped at
    // the width that is left beside a vertical scroll bar: a box that
    // showed one while it was still small keeps it only while the text
    // needs it, and at that width the text fits without it.
    const QMargins frame = box.contentsMargins();
    const qreal margin = box.document()->documentMargin();
    const int bar = box.style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, &box);
    const qreal lineWidth = width - frame.left() - frame.right() - 2 * margin - bar;
    QTextOption option;
    option.setWrapMode(box.wordWrapMode());
    qreal height = 2 * margin;
    for (QTextBlock block = box.document()->begin(); block.isValid(); block = block.next()) {
        QTextLayout layout(block.text(), box.font());
        layout.setTextOption(option);
        layout.beginLayout();
        for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
            line.setLeadingIncluded(true);
            line.setLineWidth(lineWidth);
            height += line.height();
        }
        layout.endLayout();
    }
    // The box counts a line as seen only when one pixel more than it shows.
    return static_cast<int>(std::ceil(height)) + 2 + frame.top() + frame.bottom();
}

void FitHelpPanel(QFrame* panel) {
    if (!panel->layout()) return;
    const int needed = std::max(panel->layout()->totalHeightForWidth(panel->width()),
                                panel->layout()->totalMinimumSize().height());
    if (needed > panel->height()) panel->resize(panel->width(), needed);
}

QLabel* FillBarcodeHelp(QFrame* panel, QObject* linkWatcher) {
    QLabel* link = TextLabel("https://www.dnb.com", panel);
    link->setObjectName("LabelDnB");
    QFont linkFont = link->font();
    linkFont.setUnderline(true);
    link->setFont(linkFont);
    link->setStyleSheet("color: blue");
    link->installEventFilter(linkWatcher);

    auto* v = new QVBoxLayout(panel);
    v->setContentsMargins(8, 3, 8, 2);
    v->setSpacing(1);
    v->addLayout(Row({TextLabel("Customer ID:", panel, true),
                      TextLabel("You may request a nine-digit customer ID (i.e., your DUNS", panel)}));
    v->addWidget(TextLabel("number) from your postal representative or by contacting Dun & Bradstreet", panel, false, true));
    auto* linkRow = Row({TextLabel("by telephone at 800-333-0505 or via Internet at", panel), link});
    link->setWordWrap(false);
    linkRow->setStretchFactor(link, 0);
    linkRow->addStretch(1);
    v->addLayout(linkRow);
    v->addWidget(TextLabel("This number uniquely identifies business entities at specific physical addresses.  "
                           "If you are generating mailings at multiple locations, you must use the DUNS number "
                           "appropriate for each mailing location.",
                           panel, false, true));
    v->addLayout(Row({TextLabel("Identifier Serial Number:", panel, true),
                      TextLabel("You will self-assign an eight-digit Identifier", panel)}));
    v->addWidget(TextLabel("Serial Number.  This number must remain unique for at least 2 years in order to "
                           "ensure that it identifies only one mailpiece.",
                           panel, false, true));
    v->addStretch(1);
    return link;
}

}  // namespace gs
