#include "numbering/dialogparts.h"

#include "platform/maskedit.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>

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

}  // namespace gs
