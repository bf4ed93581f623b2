#pragma once
// Options > "Pre&view Mailer" and the main window's "Preview" button: the
// current piece on screen exactly as the next print will put it on the
// form, with the article number that print will carry (the preview itself
// uses no number). The form can be seen upright or as the page leaves the
// printer, its outline switched on and off; "Print" closes the window and
// asks the caller to print the piece.
#include "piece/piecepreview.h"
#include "printing/paintercanvas.h"

#include <QDialog>

class QCheckBox;
class QLabel;
class QPushButton;

namespace gs {

class MailerPreviewView;

class TF_Preview : public QDialog {
    Q_OBJECT
public:
    // canPrint: whether "Print" is offered (the main window's Print is enabled).
    TF_Preview(const PiecePreview& preview, const PageGeometry& page, bool canPrint, QWidget* parent = nullptr);

    QLabel* lblNumber;
    MailerPreviewView* viewMailer;
    QCheckBox* cbUpright;
    QCheckBox* cbOutline;
    QPushButton* btnPrint;
    QPushButton* btnClose;

public slots:
    void cbOutlineClick();
    void cbUprightClick();

private:
    PiecePreview preview_;
};

// Shows the preview on the page the next job will get; true when the user
// pressed "Print" in it.
bool PreviewMailerCommand(const PiecePreview& preview, bool canPrint, QWidget* parent);

}  // namespace gs
