// The mailer on screen: the view's mapping of printer pixels onto the sheet,
// the preview window and the alignment dialog's live pane.
#include "piece/tf_align.h"
#include "piece/tf_preview.h"
#include "printing/formoutline.h"
#include "printing/mailerpreviewview.h"

#include "platform/scripteduserinteraction.h"
#include "settings/settings.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSpinBox>
#include <QTest>
#include <gtest/gtest.h>

namespace gs {
namespace {

PiecePreview SamplePreview() {
    PiecePreview p;
    MailerPrintRequest& r = p.request;
    r.senderLines = {"Acme Supply Co", "12 Main St", "Springfield IL 62701", "", ""};
    r.senderZip = "62701";
    r.recipientLines = {"Ann Lee", "400 Oak Ave", "Dayton OH 45402-1234", "", ""};
    r.recipientZip = "45402-1234";
    r.numberSource = "123456789";
    r.serial = "00000042";
    r.total = "4.64";
    p.printBarCode = true;
    p.number = "7112 3456 7890 0000 0428";
    return p;
}

bool Dark(const QImage& image, int x, int y) { return qGray(image.pixel(x, y)) < 100; }

int DarkPixels(const QImage& image, const QRect& area) {
    int n = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x) n += Dark(image, x, y);
    return n;
}

int RightmostDarkColumn(const QImage& image) {
    for (int x = image.width() - 1; x >= 0; --x)
        for (int y = 0; y < image.height(); ++y)
            if (Dark(image, x, y)) return x;
    return -1;
}

// A view 40 pixels to the inch: the sheet starts 6 pixels in.
const QSize kViewSize(6 + 340 + 6, 6 + 440 + 6);
QPoint At(double xInches, double yInches) { return QPoint(6 + int(xInches * 40), 6 + int(yInches * 40)); }

TEST(MailerPreviewView, PrinterPixelsLandOnTheSheetBesideTheMarginsAndAreClippedThere) {
    // 0.25 in unprintable on every side at 300 dpi.
    const PageGeometry page = GeometryOfLayout(
        QPageLayout(QPageSize(QPageSize::Letter), QPageLayout::Portrait, QMarginsF(18, 18, 18, 18)), 300);
    ASSERT_EQ(page.metrics.physicalOffsetX, 75);
    int resolution = 0;
    MailerPreviewView view;
    view.SetOutlineVisible(false);
    view.SetUpright(false);  // the page as it leaves the printer
    view.SetPage(page, [&](PrintCanvas& canvas) {
        resolution = canvas.ResolutionX();
        QImage black(30, 30, QImage::Format_Grayscale8);
        black.fill(0);
        canvas.DrawBitmap(QRect(300, 600, 300, 300), black);  // 1 in square, 1 in right and 2 in down of the margin
        canvas.DrawBitmap(QRect(-60, 0, 60, 60), black);      // inside the unprintable margin
    });
    const QImage image = view.Render(kViewSize);
    EXPECT_EQ(resolution, 300);
    EXPECT_TRUE(view.PageError().isEmpty());
    EXPECT_TRUE(Dark(image, At(1.75, 2.75).x(), At(1.75, 2.75).y()));
    EXPECT_FALSE(Dark(image, At(1.2, 2.75).x(), At(1.2, 2.75).y()));
    EXPECT_FALSE(Dark(image, At(2.3, 2.75).x(), At(2.3, 2.75).y()));
    EXPECT_FALSE(Dark(image, At(0.2, 0.3).x(), At(0.2, 0.3).y()));  // clipped as the printer clips
    EXPECT_EQ(image.pixel(At(0.2, 0.3)), qRgb(255, 255, 255));     // the paper is there
    EXPECT_NE(image.pixel(2, 2), qRgb(255, 255, 255));              // the desk round the sheet

    // Upright, the form is turned about the sheet's centre.
    view.SetUpright(true);
    const QImage upright = view.Render(kViewSize);
    EXPECT_TRUE(Dark(upright, At(8.5 - 1.75, 11 - 2.75).x(), At(8.5 - 1.75, 11 - 2.75).y()));
    EXPECT_FALSE(Dark(upright, At(1.75, 2.75).x(), At(1.75, 2.75).y()));
}

TEST(MailerPreviewView, TheOutlineStaysPutAndCanBeSwitchedOff) {
    MailerPreviewView view;
    view.SetUpright(false);
    view.SetPage(LetterPage(300), {});
    const QRectF box = MailerFormOutline().front().inches;
    const QRect edge(At(box.left(), box.top()).x() - 1, At(box.left(), box.top()).y(), 3,
                     int(box.height() * 40));
    auto outlinePixels = [&](const QImage& image) {
        int n = 0;
        for (int y = edge.top(); y <= edge.bottom(); ++y)
            for (int x = edge.left(); x <= edge.right(); ++x) {
                const QColor c = image.pixelColor(x, y);
                n += c.blue() > c.red() + 40;
            }
        return n;
    };
    EXPECT_TRUE(view.OutlineVisible());
    EXPECT_GT(outlinePixels(view.Render(kViewSize)), edge.height() / 3);
    view.SetOutlineVisible(false);
    EXPECT_EQ(outlinePixels(view.Render(kViewSize)), 0);
}

TEST(PreviewWindow, ShowsTheNextNumberAndTheMailerAndSwitchesTheOutline) {
    TF_Preview dialog(SamplePreview(), LetterPage(300), true);
    EXPECT_EQ(dialog.windowTitle(), "Mailer Preview");
    EXPECT_TRUE(dialog.lblNumber->text().endsWith("7112 3456 7890 0000 0428"));
    EXPECT_TRUE(dialog.cbOutline->isChecked());
    EXPECT_TRUE(dialog.viewMailer->OutlineVisible());
    dialog.cbOutline->click();
    EXPECT_FALSE(dialog.viewMailer->OutlineVisible());

    // The tall Code 128 barcode at 0.62, 4.1 in, 2.5 x 0.75 in on the page:
    // about half its area inked; nothing is printed low on the page.
    const QRect code(At(0.7, 4.2), At(3.0, 4.75));
    const QRect bare(At(6.5, 8.0), At(8.0, 10.5));
    auto turned = [](const QRect& r) { return QRect(kViewSize.width() - 1 - r.right(), kViewSize.height() - 1 - r.bottom(), r.width(), r.height()); };
    EXPECT_TRUE(dialog.cbUpright->isChecked());
    const QImage upright = dialog.viewMailer->Render(kViewSize);
    EXPECT_TRUE(dialog.viewMailer->PageError().isEmpty());
    EXPECT_GT(DarkPixels(upright, turned(code)), code.width() * code.height() / 5);
    EXPECT_EQ(DarkPixels(upright, turned(bare)), 0);
    dialog.cbUpright->click();
    const QImage asPrinted = dialog.viewMailer->Render(kViewSize);
    EXPECT_GT(DarkPixels(asPrinted, code), code.width() * code.height() / 5);
    EXPECT_EQ(DarkPixels(asPrinted, bare), 0);
}

TEST(PreviewWindow, PrintIsOfferedWhenTheWindowCanPrintAndAnswersTheCaller) {
    for (const bool press : {true, false}) {
        ScopedScriptedUi scripted;
        scripted.ui.dialogAnswers.push_back([press](QDialog& d) {
            auto& preview = static_cast<TF_Preview&>(d);
            EXPECT_TRUE(preview.btnPrint->isEnabled());
            (press ? preview.btnPrint : preview.btnClose)->click();
        });
        EXPECT_EQ(PreviewMailerCommand(SamplePreview(), true, nullptr), press);
        EXPECT_EQ(scripted.ui.Trail(), QStringList{"dialog:gs::TF_Preview"});
    }
    TF_Preview printed(SamplePreview(), LetterPage(300), false);
    EXPECT_FALSE(printed.btnPrint->isEnabled());
}

TEST(PreviewWindow, TrackingFieldsThatMakeNoCodeAreShownInsteadOfThePage) {
    PiecePreview preview = SamplePreview();
    preview.request.imbZipBarcode = true;
    preview.request.imbTracking = {"00", "040", "12345", "000000001"};
    TF_Preview dialog(preview, LetterPage(300), true);
    dialog.viewMailer->Render(kViewSize);
    EXPECT_TRUE(dialog.viewMailer->PageError().contains("Mailer ID")) << dialog.viewMailer->PageError().toStdString();
    preview.request.imbTracking.mailerId = "123456";
    TF_Preview fixed(preview, LetterPage(300), true);
    fixed.viewMailer->Render(kViewSize);
    EXPECT_TRUE(fixed.viewMailer->PageError().isEmpty());
}

TEST(AlignDialogTest, PaneMovesThePrintedItemsWithTheFieldsBeforeOk) {
    Settings settings;
    PiecePreview preview = SamplePreview();
    preview.request.extraLabelOn = "No";
    TF_Align dialog(settings, nullptr, preview, LetterPage(300));
    EXPECT_EQ(dialog.cbPreviewArea->currentText(), "Addressed To");
    // The view holds the whole sheet, close up on the part, so no item is
    // cut at the pane's edges.
    EXPECT_EQ(dialog.viewAlign->Region(), MailerSheetInches());
    const QSize size = dialog.viewAlign->size();
    const double ppi = std::min((size.width() - 12) / 8.5, (size.height() - 12) / 11.0);

    // The form upright: a positive Left & Right moves the text to the left,
    // as the dialog's explanation says.
    EXPECT_TRUE(dialog.viewAlign->Upright());
    const QImage still = dialog.viewAlign->Render(size);
    const int right = RightmostDarkColumn(still);
    ASSERT_GT(right, 0);
    dialog.spinLeftRight->setValue(40);  // 120 printer pixels: 0.4 in at 300 dpi
    const QImage moved = dialog.viewAlign->Render(size);
    EXPECT_NEAR(right - RightmostDarkColumn(moved), 0.4 * ppi, 1.5);
    EXPECT_EQ(settings.LeftRight, 0);  // only OK stores
    dialog.spinLeftRight->setValue(0);
    EXPECT_EQ(dialog.viewAlign->Render(size), still);


    // Shown, the pane is scrolled to the part, which fills it.
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    QApplication::processEvents();
    QWidget* pane = dialog.scrollAlign->viewport();
    const QRectF shown(QPointF(dialog.scrollAlign->horizontalScrollBar()->value(),
                               dialog.scrollAlign->verticalScrollBar()->value()),
                       QSizeF(pane->size()));
    const QRectF part = MailerFormRegion("Addressed To");
    const QRectF partOnView =
        QRectF(dialog.viewAlign->SheetToView(part.topLeft()), dialog.viewAlign->SheetToView(part.bottomRight()))
            .normalized();
    EXPECT_TRUE(shown.adjusted(-1, -1, 1, 1).contains(partOnView)) << partOnView.width() << "x" << partOnView.height();
    EXPECT_GT(partOnView.width() + partOnView.height(), 0.9 * (shown.width() + shown.height()) / 2);

    // The whole form fits the pane; the offsets still move it.
    dialog.cbPreviewArea->setCurrentText("Whole Form");
    QApplication::processEvents();
    EXPECT_EQ(dialog.viewAlign->Region(), MailerSheetInches());
    EXPECT_LE(dialog.viewAlign->width(), pane->width());
    EXPECT_LE(dialog.viewAlign->height(), pane->height());
    const QImage whole = dialog.viewAlign->Render(dialog.viewAlign->size());
    dialog.spinLeftRight->setValue(40);
    EXPECT_NE(dialog.viewAlign->Render(dialog.viewAlign->size()), whole);
}

}  // namespace
}  // namespace gs
