#include "piece/tf_align.h"

#include "platform/userinteraction.h"
#include "platform/windowplacement.h"

#include "printing/formoutline.h"
#include "printing/systemprinter.h"
#include "settings/settings.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>

#include <algorithm>

namespace gs {

namespace {
QSpinBox* MakeSpin(QWidget* parent, const char* name, long value) {
    auto* spin = new QSpinBox(parent);
    spin->setObjectName(name);
    spin->setRange(-999, 999);
    spin->setValue(static_cast<int>(std::clamp(value, -999L, 999L)));
    // Three digits and a sign: the edit also shows what the arrows reach,
    // so "-999" must fit.
    spin->findChild<QLineEdit*>()->setMaxLength(4);
    return spin;
}

QLabel* BoldLabel(QWidget* parent, const char* name, const QString& text) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(name);
    QFont font = label->font();
    font.setBold(true);
    label->setFont(font);
    return label;
}

// The pane's parts of the form; the first is shown on opening.
const char* const kPreviewAreas[] = {"Addressed To", "Your Name and Address", "Extra Label", "Article Number",
                                     "Receipt", "Whole Form"};

constexpr int kPaneTop = 156;
constexpr int kPaneHeight = 224;
}  // namespace

TF_Align::TF_Align(Settings& settings, QWidget* parent, const PiecePreview& preview, const PageGeometry& page)
    : QDialog(parent), settings_(settings), preview_(preview) {
    setObjectName("F_Align");
    setWindowTitle("Printer Alignment");
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowSystemMenuHint |
                   Qt::WindowCloseButtonHint | Qt::WindowTitleHint);
    // The offsets keep their 297 x 158 as they always were; the pane sits below.
    setFixedSize(297, kPaneTop + kPaneHeight + 4);

    GroupBox1 = new QGroupBox(this);
    GroupBox1->setObjectName("GroupBox1");
    GroupBox1->setGeometry(8, 2, 281, 76);
    Label1 = new QLabel(
        "The numbers below will move the text on the form either 1/100\" to the right if a negative number "
        "or to the left if a positive number.  It also can move the text  1/100\" up if a positive number "
        "and down if a negative number.",
        GroupBox1);
    Label1->setObjectName("Label1");
    Label1->setAlignment(Qt::AlignCenter);
    Label1->setWordWrap(true);
    // Five lines of the form font: the whole inside of the frame.
    Label1->setGeometry(4, 3, 273, 70);

    Label2 = BoldLabel(this, "Label2", "Left & Right");
    Label2->setGeometry(16, 86, 90, 16);
    Label3 = BoldLabel(this, "Label3", "Up and Down");
    Label3->setGeometry(16, 112, 90, 16);
    spinLeftRight = MakeSpin(this, "spinLeftRight", settings.LeftRight);
    spinLeftRight->setGeometry(110, 83, 60, 22);
    SpinUpDown = MakeSpin(this, "SpinUpDown", settings.TopBottom);
    SpinUpDown->setGeometry(110, 109, 60, 22);

    btnOK = new QPushButton("OK", this);
    btnOK->setObjectName("btnOK");
    btnOK->setGeometry(206, 84, 75, 25);
    btnOK->setDefault(true);
    btnCancel = new QPushButton("Cancel", this);
    btnCancel->setObjectName("btnCancel");
    btnCancel->setGeometry(206, 118, 75, 25);

    gbPreview = new QGroupBox("Preview", this);
    gbPreview->setObjectName("gbPreview");
    gbPreview->setGeometry(8, kPaneTop, 281, kPaneHeight);
    cbPreviewArea = new QComboBox(gbPreview);
    cbPreviewArea->setObjectName("cbPreviewArea");
    for (const char* area : kPreviewAreas) cbPreviewArea->addItem(area);
    cbPreviewArea->setGeometry(8, 20, 265, 22);
    viewAlign = new MailerPreviewView(gbPreview);
    viewAlign->setObjectName("viewAlign");
    viewAlign->setGeometry(8, 48, 265, kPaneHeight - 56);
    viewAlign->SetPage(page, [this](PrintCanvas& canvas) { DrawPiecePreview(canvas, preview_); });

    connect(btnOK, &QPushButton::clicked, this, &TF_Align::btnOKClick);
    connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(spinLeftRight, &QSpinBox::valueChanged, this, &TF_Align::SpinChange);
    connect(SpinUpDown, &QSpinBox::valueChanged, this, &TF_Align::SpinChange);
    connect(cbPreviewArea, &QComboBox::currentIndexChanged, this, &TF_Align::cbPreviewAreaChange);
    SpinChange();
    cbPreviewAreaChange();
}

void TF_Align::SpinChange() {
    // What the spin fields hold now, typed or stepped, before OK.
    SetPreviewAlignment(preview_, spinLeftRight->value(), SpinUpDown->value());
    viewAlign->update();
}

void TF_Align::cbPreviewAreaChange() {
    const QString area = cbPreviewArea->currentText();
    viewAlign->SetRegion(area == "Whole Form" ? QRectF() : MailerFormRegion(area));
}

void TF_Align::btnOKClick() {
    spinLeftRight->interpretText();
    SpinUpDown->interpretText();
    settings_.LeftRight = spinLeftRight->value();
    settings_.TopBottom = SpinUpDown->value();
    accept();
}

void TF_Align::showEvent(QShowEvent* event) {
    // Centred on the screen, not on the main window.
    CentreOnScreen(*this);
    QDialog::showEvent(event);
}

void AlignmentCommand(Settings& settings, const PiecePreview& preview, QWidget* parent) {
    TF_Align dialog(settings, parent, preview, SystemPrinter().NextPageGeometry());
    Ui().RunModal(dialog);
}

}  // namespace gs
