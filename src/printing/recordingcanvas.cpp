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

void RecordingCanvas::DrawBitmap(const QRect& target, const QImage& bitmap) {
    RecordedItem item;
    item.kind = RecordedItem::Kind::Bitmap;
    item.x = target.x();
    item.y = target.y();
    item.width = target.width();
    item.height = target.height();
    item.bitmap = bitmap.copy();
    items.push_back(std::move(item));
}

void RecordingCanvas::DrawPicture(const QRect& target, QSvgRenderer& picture) {
    RecordedItem item;
    item.kind = RecordedItem::Kind::Picture;
    item.x = target.x();
    item.y = target.y();
    item.width = target.width();
    item.height = target.height();
    item.pictureSize = picture.defaultSize();
    items.push_back(std::move(item));
}

}  // namespace gs
