#include "piece/tf_preview.h"

#include "platform/qtext.h"
#include "platform/userinteraction.h"
#include "platform/windowplacement.h"
#include "printing/mailerpreviewview.h"
#include "printing/systemprinter.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace gs {

TF_Preview::TF_Preview(const PiecePreview& preview, const PageGeometry& page, bool canPrint, QWidget* parent)
    : QDialog(parent), preview_(preview) {
    setObjectName("F_Preview");
    setWindowTitle("Mailer Preview");
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint |
                   Qt::WindowMaximizeButtonHint);

    lblNumber = new QLabel("Article number of the next print: " + FromAnsi(preview_.number), this);
    lblNumber->setObjectName("lblNumber");
    viewMailer = new MailerPreviewView(this);
    viewMailer->setObjectName("viewMailer");
    viewMailer->SetPage(page, [this](PrintCanvas& canvas) { DrawPiecePreview(canvas, preview_); });
    cbUpright = new QCheckBox("Form &upright", this);
    cbUpright->setObjectName("cbUpright");
    cbUpright->setChecked(viewMailer->Upright());
    cbOutline = new QCheckBox("Form's &outline", this);
    cbOutline->setObjectName("cbOutline");
    cbOutline->setChecked(viewMailer->OutlineVisible());
    btnPrint = new QPushButton("&Print", this);
    btnPrint->setObjectName("btnPrint");
    btnPrint->setEnabled(canPrint);
    btnClose = new QPushButton("Close", this);
    btnClose->setObjectName("btnClose");
    btnClose->setDefault(true);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(cbUpright);
    buttons->addWidget(cbOutline);
    buttons->addStretch(1);
    buttons->addWidget(btnPrint);
    buttons->addWidget(btnClose);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(8, 8, 8, 8);
    layout->addWidget(lblNumber);
    layout->addWidget(viewMailer, 1);
    layout->addLayout(buttons);

    connect(cbUpright, &QCheckBox::clicked, this, &TF_Preview::cbUprightClick);
    connect(cbOutline, &QCheckBox::clicked, this, &TF_Preview::cbOutlineClick);
    connect(btnPrint, &QPushButton::clicked, this, &QDialog::accept);
    connect(btnClose, &QPushButton::clicked, this, &QDialog::reject);

    // A letter page as tall as most screens allow.
    resize(540, 680);
    CentreOnScreen(*this);
}

void TF_Preview::cbOutlineClick() { viewMailer->SetOutlineVisible(cbOutline->isChecked()); }

void TF_Preview::cbUprightClick() { viewMailer->SetUpright(cbUpright->isChecked()); }

bool PreviewMailerCommand(const PiecePreview& preview, bool canPrint, QWidget* parent) {
    TF_Preview dialog(preview, SystemPrinter().NextPageGeometry(), canPrint, parent);
    return Ui().RunModal(dialog) == QDialog::Accepted;
}

}  // namespace gs
