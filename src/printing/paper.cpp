#include "printing/paper.h"

#include <QRegularExpression>
#include <QSizeF>

namespace gs {

QPageSize PaperFromSetting(const std::string& value) {
    const QString v = QString::fromStdString(value).trimmed();
    for (int id = 0; id < QPageSize::LastPageSize; ++id) {
        const auto pageId = static_cast<QPageSize::PageSizeId>(id);
        if (pageId != QPageSize::Custom && QPageSize::key(pageId).compare(v, Qt::CaseInsensitive) == 0)
            return QPageSize(pageId);
    }
    static const QRegularExpression custom(QStringLiteral("^(\\d+(?:\\.\\d+)?)x(\\d+(?:\\.\\d+)?)pt$"));
    const auto m = custom.match(v);
    if (m.hasMatch()) {
        const QSizeF points(m.captured(1).toDouble(), m.captured(2).toDouble());
        if (points.width() >= 1 && points.height() >= 1)
            return QPageSize(points, QPageSize::Point, QString(), QPageSize::FuzzyMatch);
    }
    return QPageSize(QPageSize::Letter);
}

std::string PaperSetting(const QPageSize& size) {
    if (!size.isValid()) return "Letter";
    if (size.id() != QPageSize::Custom) return QPageSize::key(size.id()).toStdString();
    const QSizeF points = size.size(QPageSize::Point);
    return (QString::number(points.width()) + "x" + QString::number(points.height()) + "pt").toStdString();
}

QPageLayout ProgramPageLayout(const std::string& paperSetting, const QMarginsF& margins) {
    return QPageLayout(PaperFromSetting(paperSetting), QPageLayout::Portrait, margins, QPageLayout::Point);
}

}  // namespace gs
