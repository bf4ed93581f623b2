#include "report/reportstatus.h"

#include "platform/windowplacement.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace gs {

ReportStatusWindow::ReportStatusWindow(const QString& title, QWidget* parent) : QWidget(parent, Qt::Dialog) {
    setObjectName("ReportStatus");
    setWindowTitle(title);
    setWindowModality(Qt::NonModal);
    auto* layout = new QVBoxLayout(this);
    lblStatus = new QLabel(this);
    lblStatus->setObjectName("lblStatus");
    lblStatus->setAlignment(Qt::AlignCenter);
    lblStatus->setMinimumWidth(lblStatus->fontMetrics().horizontalAdvance("Generating page 000000 of 000000") + 24);
    layout->addWidget(lblStatus);
    auto* buttons = new QHBoxLayout;
    btnCancel = new QPushButton(tr("Cancel"), this);
    btnCancel->setObjectName("btnCancel");
    buttons->addStretch();
    buttons->addWidget(btnCancel);
    buttons->addStretch();
    layout->addLayout(buttons);
    connect(btnCancel, &QPushButton::clicked, this, &ReportStatusWindow::btnCancelClick);
    adjustSize();
    CentreOnScreen(*this);
}

void ReportStatusWindow::ShowPage(const QString& pattern, int page, int pages) {
    QString text = pattern;
    if (pages > 0) text.replace("%P", QString::number(pages));
    else text.remove(" of %P").remove("%P");
    lblStatus->setText(text.replace("%p", QString::number(page)));
}

void ReportStatusWindow::btnCancelClick() {
    cancelled_ = true;
    btnCancel->setEnabled(false);
}

}  // namespace gs
