#include "piece/tf_align.h"

#include "platform/userinteraction.h"
#include "platform/windowplacement.h"

#include "printing/formoutline.h"
#include "printing/systemprinter.h"
#include "settings/settings.h"

#include <QComboBox>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSpinBox>
#include <QStyle>
#include <QTimer>

#include <algorithm>
#include <cmath>

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
    GroupBox1 = new QGroupBox(this);
    GroupBox1->setObjectName("GroupBox1");
    Label1 = new QLabel(
        "The numbers below will move the text on the form either 1/100\" to the right if a negative number "
        "or to the left if a positive number.  It also can move the text  1/100\" up if a positive number "
        "and down if a negative number.",
        GroupBox1);
    Label1->setObjectName("Label1");
    Label1->setAlignment(Qt::AlignCenter);
    Label1->setWordWrap(true);
    // Five lines of the form font fill the frame's inside; where the fonts
    // at hand wrap the text into more, the frame and everything below it
    // grow by what the text needs at the frame's width.
    const int labelHeight = std::max(
        70, QFontMetrics(Label1->font())
                .boundingRect(QRect(0, 0, 273, 10000), Qt::AlignCenter | Qt::TextWordWrap, Label1->text())
                .height());
    const int grow = labelHeight - 70;
    Label1->setGeometry(4, 3, 273, labelHeight);
    GroupBox1->setGeometry(8, 2, 281, 76 + grow);
    // The offsets keep their 297 x 158 as they always were; the pane sits below.
    setFixedSize(297, kPaneTop + kPaneHeight + 4 + grow);

    Label2 = BoldLabel(this, "Label2", "Left & Right");
    Label2->setGeometry(16, 86 + grow, 90, 16);
    Label3 = BoldLabel(this, "Label3", "Up and Down");
    Label3->setGeometry(16, 112 + grow, 90, 16);
    spinLeftRight = MakeSpin(this, "spinLeftRight", settings.LeftRight);
    spinLeftRight->setGeometry(110, 83 + grow, 60, 22);
    SpinUpDown = MakeSpin(this, "SpinUpDown", settings.TopBottom);
    SpinUpDown->setGeometry(110, 109 + grow, 60, 22);

    btnOK = new QPushButton("OK", this);
    btnOK->setObjectName("btnOK");
    btnOK->setGeometry(206, 84 + grow, 75, 25);
    btnOK->setDefault(true);
    btnCancel = new QPushButton("Cancel", this);
    btnCancel->setObjectName("btnCancel");
    btnCancel->setGeometry(206, 118 + grow, 75, 25);

    gbPreview = new QGroupBox("Preview", this);
    gbPreview->setObjectName("gbPreview");
    gbPreview->setGeometry(8, kPaneTop + grow, 281, kPaneHeight);
    cbPreviewArea = new QComboBox(gbPreview);
    cbPreviewArea->setObjectName("cbPreviewArea");
    for (const char* area : kPreviewAreas) cbPreviewArea->addItem(area);
    cbPreviewArea->setGeometry(8, 20, 265, 22);
    scrollAlign = new QScrollArea(gbPreview);
    scrollAlign->setObjectName("scrollAlign");
    scrollAlign->setGeometry(8, 48, 265, kPaneHeight - 56);
    scrollAlign->setAlignment(Qt::AlignCenter);
    viewAlign = new MailerPreviewView;
    viewAlign->setObjectName("viewAlign");
    viewAlign->setMinimumSize(1, 1);
    scrollAlign->setWidget(viewAlign);
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
    // The view shows the whole sheet; a part of the form only sets the scale
    // (the part fills the pane) and where the pane is scrolled to.
    const QString area = cbPreviewArea->currentText();
    const QRectF sheet = viewAlign->Region();
    const QSize room = scrollAlign->maximumViewportSize();
    if (area == "Whole Form" || sheet.isEmpty()) {
        viewAlign->resize(room);
        return;
    }
    const QRectF part = MailerFormRegion(area);
    const int bar = scrollAlign->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, scrollAlign);
    const double ppi = std::min((room.width() - bar) / part.width(), (room.height() - bar) / part.height());
    // The view keeps a margin of 6 pixels around the whole sheet.
    viewAlign->resize(int(std::ceil(sheet.width() * ppi)) + 12, int(std::ceil(sheet.height() * ppi)) + 12);
    // Once the pane has laid out its scroll bars for the new size.
    QTimer::singleShot(0, this, &TF_Align::ScrollToArea);
}

void TF_Align::ScrollToArea() {
    const QString area = cbPreviewArea->currentText();
    if (area == "Whole Form") return;
    const QPointF centre = viewAlign->SheetToView(MailerFormRegion(area).center());
    const QSize shown = scrollAlign->viewport()->size();
    scrollAlign->horizontalScrollBar()->setValue(int(std::lround(centre.x() - shown.width() / 2.0)));
    scrollAlign->verticalScrollBar()->setValue(int(std::lround(centre.y() - shown.height() / 2.0)));
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
    // The scroll bars know their range only once the pane is shown and laid out.
    QTimer::singleShot(0, this, &TF_Align::ScrollToArea);
}

void AlignmentCommand(Settings& settings, const PiecePreview& preview, QWidget* parent) {
    TF_Align dialog(settings, parent, preview, SystemPrinter().NextPageGeometry());
    Ui().RunModal(dialog);
}

}  // namespace gs
