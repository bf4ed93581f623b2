#include "addresses/dbnavigator.h"

#include <QPainter>
#include <QPainterPath>
#include <QToolButton>

namespace gs {

namespace {

constexpr const char* kNames[kNavigateButtonCount] = {"First", "Prior", "Next", "Last", "Insert",
                                                       "Delete", "Post", "Cancel", "Refresh"};

// The glyphs of the bar, drawn in the text colour on a 12 by 12 grid.
QIcon Glyph(NavigateBtn b, const QColor& ink) {
    QPixmap pm(12, 12);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(ink, 1.6, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    p.setBrush(ink);
    auto triangle = [&](qreal tipX, bool left) {
        QPainterPath t;
        const qreal baseX = left ? tipX + 5 : tipX - 5;
        t.moveTo(tipX, 6);
        t.lineTo(baseX, 1.5);
        t.lineTo(baseX, 10.5);
        t.closeSubpath();
        p.drawPath(t);
    };
    switch (b) {
    case NavigateBtn::First:
        p.drawLine(QPointF(2.5, 2), QPointF(2.5, 10));
        triangle(4, true);
        break;
    case NavigateBtn::Prior: triangle(3.5, true); break;
    case NavigateBtn::Next: triangle(8.5, false); break;
    case NavigateBtn::Last:
        triangle(8, false);
        p.drawLine(QPointF(9.5, 2), QPointF(9.5, 10));
        break;
    case NavigateBtn::Insert:
        p.drawLine(QPointF(6, 2), QPointF(6, 10));
        p.drawLine(QPointF(2, 6), QPointF(10, 6));
        break;
    case NavigateBtn::Delete: p.drawLine(QPointF(2, 6), QPointF(10, 6)); break;
    case NavigateBtn::Post:
        p.setBrush(Qt::NoBrush);
        p.drawPolyline(QPolygonF({QPointF(2, 6.5), QPointF(5, 9.5), QPointF(10, 2.5)}));
        break;
    case NavigateBtn::Cancel:
        p.drawLine(QPointF(2.5, 2.5), QPointF(9.5, 9.5));
        p.drawLine(QPointF(9.5, 2.5), QPointF(2.5, 9.5));
        break;
    case NavigateBtn::Refresh: {
        p.setBrush(Qt::NoBrush);
        p.drawArc(QRectF(2, 2, 8, 8), 60 * 16, 280 * 16);
        p.setBrush(ink);
        p.setPen(Qt::NoPen);
        p.drawPolygon(QPolygonF({QPointF(6.5, 0), QPointF(10, 2.2), QPointF(6.5, 4.6)}));
        break;
    }
    }
    return QIcon(pm);
}

}  // namespace

DbNavigator::DbNavigator(QWidget* parent) : QWidget(parent) {
    const QColor ink = palette().color(QPalette::ButtonText);
    for (int i = 0; i < kNavigateButtonCount; ++i) {
        const auto b = static_cast<NavigateBtn>(i);
        auto* button = new QToolButton(this);
        button->setObjectName(kNames[i]);
        button->setIcon(Glyph(b, ink));
        button->setIconSize(QSize(12, 12));
        button->setToolTip(Hint(b));
        button->setAccessibleName(Hint(b));
        button->setFocusPolicy(Qt::NoFocus);  // the bound controls keep the focus, as with the data navigator
        connect(button, &QToolButton::clicked, this, [this, b] { emit pressed(b); });
        buttons_[static_cast<std::size_t>(i)] = button;
    }
}

QString DbNavigator::Hint(NavigateBtn b) {
    switch (b) {
    case NavigateBtn::First: return QStringLiteral("First record");
    case NavigateBtn::Prior: return QStringLiteral("Prior record");
    case NavigateBtn::Next: return QStringLiteral("Next record");
    case NavigateBtn::Last: return QStringLiteral("Last record");
    case NavigateBtn::Insert: return QStringLiteral("Insert record");
    case NavigateBtn::Delete: return QStringLiteral("Delete record");
    case NavigateBtn::Post: return QStringLiteral("Post edit");
    case NavigateBtn::Cancel: return QStringLiteral("Cancel edit");
    case NavigateBtn::Refresh: return QStringLiteral("Refresh data");
    }
    return {};
}

void DbNavigator::SetStates(bool active, bool bof, bool eof, bool editing) {
    Button(NavigateBtn::First)->setEnabled(active && !bof);
    Button(NavigateBtn::Prior)->setEnabled(active && !bof);
    Button(NavigateBtn::Next)->setEnabled(active && !eof);
    Button(NavigateBtn::Last)->setEnabled(active && !eof);
    Button(NavigateBtn::Insert)->setEnabled(active);
    Button(NavigateBtn::Delete)->setEnabled(active && !(bof && eof));
    Button(NavigateBtn::Post)->setEnabled(active && editing);
    Button(NavigateBtn::Cancel)->setEnabled(active && editing);
    Button(NavigateBtn::Refresh)->setEnabled(active);
}

void DbNavigator::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    // The buttons share the width; the pixels left over go to the first ones.
    const int w = width(), n = kNavigateButtonCount;
    int x = 0;
    for (int i = 0; i < n; ++i) {
        const int bw = w / n + (i < w % n ? 1 : 0);
        buttons_[static_cast<std::size_t>(i)]->setGeometry(x, 0, bw, height());
        x += bw;
    }
}

}  // namespace gs
