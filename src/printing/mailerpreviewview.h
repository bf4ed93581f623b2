#pragma once
// A printed page on screen: the page's drawer runs on a painter canvas
// whose device pixels are the printer's, scaled to fit the view, on a sheet
// of the printer's paper with its unprintable margins clipped. Optionally
// the form's outline (printing/formoutline.h) is laid over it faintly; it
// stays where the pre-printed form is, whatever the alignment offsets do to
// the printed items. The form is printed upside down on the page; the view
// shows it turned upright (as the user reads it, and as the alignment
// dialog's explanation speaks of it) or as the page leaves the printer.
#include "printing/paintercanvas.h"
#include "printing/printtarget.h"

#include <QRectF>
#include <QWidget>

namespace gs {

// US Letter without margins: the page a view shows before it is told.
PageGeometry LetterPage(int resolution = 600);

class MailerPreviewView : public QWidget {
    Q_OBJECT
public:
    explicit MailerPreviewView(QWidget* parent = nullptr);

    void SetPage(const PageGeometry& page, PageDrawer draw);
    // The part of the sheet shown, in inches; an empty rectangle shows the
    // whole sheet.
    void SetRegion(const QRectF& inches);
    QRectF Region() const;
    void SetOutlineVisible(bool visible);
    bool OutlineVisible() const { return outline_; }
    // Turned by 180 degrees about the view's centre (the default).
    void SetUpright(bool upright);
    bool Upright() const { return upright_; }

    // Where a point of the sheet (inches) stands in the view at its present
    // size, turned as the view shows it.
    QPointF SheetToView(const QPointF& inches) const;

    // The view's picture at a size, as it paints it.
    QImage Render(const QSize& size) const;
    // Why the drawer could not draw the page (the print would fail the same
    // way), from the last painting; empty when it could.
    const QString& PageError() const { return error_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void Paint(QPainter& painter, const QSize& size) const;
    // Screen pixels per inch and where the sheet's corner stands, before turning.
    bool Scale(const QSize& size, double& ppi, QPointF& sheetOrigin) const;

    PageGeometry page_ = LetterPage();
    PageDrawer draw_;
    QRectF region_;
    bool outline_ = true;
    bool upright_ = true;
    mutable QString error_;
};

}  // namespace gs
