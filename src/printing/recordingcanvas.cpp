#include "printing/recordingcanvas.h"

#include <QSvgRenderer>
#include <cstdlib>

namespace gs {

void RecordingCanvas::TextOut(int x, int y, const QString& text) {
    RecordedItem item;
    item.kind = RecordedItem::Kind::Text;
    item.x = x;
    item.y = y;
    item.text = text;
    item.font = font_;
    items.push_back(std::move(item));
}

int RecordingCanvas::TextWidth(const QString& text) {
    return static_cast<int>(text.size()) * (std::abs(font_.height) / 2);
}

namespace {
// An item that covers a target rectangle.
RecordedItem AreaItem(RecordedItem::Kind kind, const QRect& target) {
    RecordedItem item;
    item.kind = kind;
    item.x = target.x();
    item.y = target.y();
    item.width = target.width();
    item.height = target.height();
    return item;
}
}  // namespace

void RecordingCanvas::DrawBitmap(const QRect& target, const QImage& bitmap) {
    RecordedItem item = AreaItem(RecordedItem::Kind::Bitmap, target);
    item.bitmap = bitmap.copy();
    items.push_back(std::move(item));
}

void RecordingCanvas::DrawPicture(const QRect& target, QSvgRenderer& picture) {
    RecordedItem item = AreaItem(RecordedItem::Kind::Picture, target);
    item.pictureSize = picture.defaultSize();
    items.push_back(std::move(item));
}

void RecordingCanvas::FillRect(const QRect& target, const QColor& color) {
    RecordedItem item = AreaItem(RecordedItem::Kind::Rect, target);
    item.color = color;
    items.push_back(std::move(item));
}

}  // namespace gs
