#include "printing/mailerpreviewview.h"

#include "platform/qtext.h"
#include "printing/formoutline.h"

#include <QPaintEvent>
#include <QPainter>
#include <algorithm>

namespace gs {

namespace {

// The printer's canvas drawn small: every call goes to the painter canvas
// unchanged, except that bitmaps are shrunk to their size on screen by
// averaging (as ink spreads on paper seen from afar) instead of dropping
// most of their pixels.
class ScreenCanvas : public PrintCanvas {
public:
    ScreenCanvas(PainterCanvas& printer, QPainter& painter) : printer_(printer), painter_(painter) {}

    int ResolutionX() const override { return printer_.ResolutionX(); }
    int ResolutionY() const override { return printer_.ResolutionY(); }
    int PhysicalOffsetX() const override { return printer_.PhysicalOffsetX(); }
    int PhysicalOffsetY() const override { return printer_.PhysicalOffsetY(); }
    int PrintableWidth() const override { return printer_.PrintableWidth(); }
    int PrintableHeight() const override { return printer_.PrintableHeight(); }
    const CanvasFont& Font() const override { return printer_.Font(); }
    void SetFont(const CanvasFont& font) override { printer_.SetFont(font); }
    void TextOut(int x, int y, const QString& text) override { printer_.TextOut(x, y, text); }
    int TextWidth(const QString& text) override { return printer_.TextWidth(text); }
    void DrawPicture(const QRect& target, QSvgRenderer& picture) override { printer_.DrawPicture(target, picture); }
    void FillRect(const QRect& target, const QColor& color) override { printer_.FillRect(target, color); }

    void DrawBitmap(const QRect& target, const QImage& bitmap) override {
        const QRect onScreen = painter_.worldTransform().mapRect(QRectF(target)).toAlignedRect();
        if (onScreen.isEmpty() || bitmap.isNull()) return;
        const bool shrinking = onScreen.width() < target.width() || onScreen.height() < target.height();
        const QImage shown = bitmap.convertToFormat(QImage::Format_Grayscale8)
                                 .scaled(onScreen.size(), Qt::IgnoreAspectRatio,
                                         shrinking ? Qt::SmoothTransformation : Qt::FastTransformation);
        // Back through the painter's transform, which now maps it pixel for
        // pixel (turned, when the view is upright).
        painter_.save();
        painter_.setRenderHint(QPainter::SmoothPixmapTransform, false);
        painter_.drawImage(QRectF(target), shown);
        painter_.restore();
    }

private:
    PainterCanvas& printer_;
    QPainter& painter_;
};

const QColor kDesk(128, 128, 128);
const QColor kOutline(0, 110, 200, 120);

}  // namespace

PageGeometry LetterPage(int resolution) {
    return GeometryOfLayout(QPageLayout(QPageSize(QPageSize::Letter), QPageLayout::Portrait, {}), resolution);
}

MailerPreviewView::MailerPreviewView(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMinimumSize(120, 120);
}

void MailerPreviewView::SetPage(const PageGeometry& page, PageDrawer draw) {
    page_ = page;
    draw_ = std::move(draw);
    update();
}

void MailerPreviewView::SetRegion(const QRectF& inches) {
    region_ = inches;
    update();
}

QRectF MailerPreviewView::Region() const {
    return region_.isEmpty() ? QRectF(QPointF(0, 0), page_.sheetInches) : region_;
}

void MailerPreviewView::SetUpright(bool upright) {
    upright_ = upright;
    update();
}

void MailerPreviewView::SetOutlineVisible(bool visible) {
    outline_ = visible;
    update();
}

QImage MailerPreviewView::Render(const QSize& size) const {
    QImage image(size, QImage::Format_RGB32);
    QPainter painter(&image);
    Paint(painter, size);
    return image;
}

void MailerPreviewView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    Paint(painter, size());
}

bool MailerPreviewView::Scale(const QSize& size, double& ppi, QPointF& sheetOrigin) const {
    const QRectF region = Region();
    const DeviceMetrics& m = page_.metrics;
    if (region.isEmpty() || m.resolutionX <= 0 || m.resolutionY <= 0) return false;
    // Screen pixels per inch, the region centred in the view.
    const double margin = region_.isEmpty() ? 6 : 0;
    ppi = std::min((size.width() - 2 * margin) / region.width(), (size.height() - 2 * margin) / region.height());
    sheetOrigin = QPointF(size.width() / 2.0 - region.center().x() * ppi,
                          size.height() / 2.0 - region.center().y() * ppi);
    return ppi > 0;
}

QPointF MailerPreviewView::SheetToView(const QPointF& inches) const {
    double ppi = 0;
    QPointF origin;
    if (!Scale(size(), ppi, origin)) return {};
    const QPointF p = origin + inches * ppi;
    return upright_ ? QPointF(width() - p.x(), height() - p.y()) : p;
}

void MailerPreviewView::Paint(QPainter& painter, const QSize& size) const {
    painter.fillRect(QRect(QPoint(0, 0), size), kDesk);
    const DeviceMetrics& m = page_.metrics;
    double ppi = 0;
    QPointF sheetOrigin;
    if (!Scale(size, ppi, sheetOrigin)) return;
    auto onScreen = [&](const QRectF& inches) {
        return QRectF(sheetOrigin + inches.topLeft() * ppi, inches.size() * ppi);
    };
    painter.save();
    if (upright_) {
        painter.translate(size.width() / 2.0, size.height() / 2.0);
        painter.rotate(180);
        painter.translate(-size.width() / 2.0, -size.height() / 2.0);
    }
    painter.fillRect(onScreen(QRectF(QPointF(0, 0), page_.sheetInches)), Qt::white);

    // The page in the printer's device pixels, from the printable area's
    // origin, clipped to it as the printer clips.
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setRenderHint(QPainter::TextAntialiasing, true);
    painter.translate(sheetOrigin + QPointF(m.physicalOffsetX * ppi / m.resolutionX,
                                            m.physicalOffsetY * ppi / m.resolutionY));
    painter.scale(ppi / m.resolutionX, ppi / m.resolutionY);
    painter.setClipRect(QRect(0, 0, m.printableWidth, m.printableHeight));
    error_.clear();
    if (draw_) {
        try {
            PainterCanvas printer(painter, m);
            ScreenCanvas canvas(printer, painter);
            draw_(canvas);
        } catch (const std::exception& e) {
            error_ = FromAnsi(e.what());
        }
    }
    painter.restore();

    if (outline_) {
        painter.save();
        QPen pen(kOutline);
        pen.setCosmetic(true);
        pen.setStyle(Qt::DashLine);
        painter.setPen(pen);
        for (const FormBox& box : MailerFormOutline()) painter.drawRect(onScreen(box.inches));
        painter.restore();
    }
    painter.restore();

    if (!error_.isEmpty()) {
        const QRect box = QRect(QPoint(0, 0), size).adjusted(12, 12, -12, -12);
        QRect text = painter.boundingRect(box, Qt::AlignCenter | Qt::TextWordWrap, error_);
        text.adjust(-6, -4, 6, 4);
        painter.fillRect(text, Qt::white);
        painter.setPen(Qt::darkRed);
        painter.drawRect(text);
        painter.drawText(box, Qt::AlignCenter | Qt::TextWordWrap, error_);
    }
}

}  // namespace gs
