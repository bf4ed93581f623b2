#pragma once
// Options > Print Options > "Printer &Alignment": the two alignment offsets,
// in steps of three printer pixels, with a preview pane below them in which
// the piece's printed items move against the form's outline as the offsets
// change. The pane always holds the whole sheet: scaled to fit, or close up
// on a part of the form and scrolled to it, so nothing is cut at its edges.
#include "piece/piecepreview.h"
#include "printing/mailerpreviewview.h"

#include <QDialog>

class QComboBox;
class QGroupBox;
class QLabel;
class QPushButton;
class QScrollArea;
class QSpinBox;

namespace gs {

struct Settings;

class TF_Align : public QDialog {
    Q_OBJECT
public:
    // preview: the page the pane shows (the next print of the current
    // piece), on the printer's page.
    TF_Align(Settings& settings, QWidget* parent = nullptr, const PiecePreview& preview = {},
             const PageGeometry& page = LetterPage());

    QGroupBox* GroupBox1;
    QLabel* Label1;       // the explanation
    QLabel* Label2;       // "Left & Right"
    QLabel* Label3;       // "Up and Down"
    QSpinBox* spinLeftRight;
    QSpinBox* SpinUpDown;
    QPushButton* btnOK;
    QPushButton* btnCancel;
    QGroupBox* gbPreview;
    QComboBox* cbPreviewArea;  // the part of the form the pane shows
    QScrollArea* scrollAlign;  // the pane, holding viewAlign
    MailerPreviewView* viewAlign;

public slots:
    void btnOKClick();
    void SpinChange();
    void cbPreviewAreaChange();

protected:
    void showEvent(QShowEvent* event) override;

private:
    // Scrolls the pane so the chosen part of the form stands in its middle.
    void ScrollToArea();

    Settings& settings_;
    PiecePreview preview_;
};

// Options > Print Options > "Printer &Alignment", its pane showing the
// preview (the next print of the current piece) on the next job's page.
void AlignmentCommand(Settings& settings, const PiecePreview& preview, QWidget* parent);

}  // namespace gs
