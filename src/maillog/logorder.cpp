#include "maillog/logorder.h"

#include "dbase/dbfdate.h"
#include "dbase/tzdbf.h"
#include "platform/qtext.h"

#include <QLocale>
#include <QRegularExpression>

namespace gs {

LogOrderKey KeyOfLogOrder(LogOrder order) {
    switch (order) {
    case LogOrder::MailerNumber: return {"mailernum", "mailernum"};
    case LogOrder::Name: return {"sentname0", "name"};
    case LogOrder::Date: return {"rdate", "rdate"};
    case LogOrder::ZipCode: return {"zip", "zip"};
    case LogOrder::PrintingOrder: break;
    }
    return {nullptr, nullptr};
}

void ApplyLogOrder(TTzDbf& log, LogOrder order) {
    const LogOrderKey key = KeyOfLogOrder(order);
    if (key.keyExpression) log.IndexOnOne(key.keyExpression, key.indexName);
    log.First();
}

QString MyTimeText(const QDateTime& when) {
    const QDate d = when.date();
    const std::string date = FormatShortDate({d.year(), d.month(), d.day()});
    // A report shows local time; the zone name only lengthens the line.
    QString format = QLocale::system().timeFormat(QLocale::LongFormat);
    format.remove(QRegularExpression("\\s*t+\\s*$")).remove(QRegularExpression("^\\s*t+\\s*"));
    return "Date Printed: " + FromAnsi(date) + " " + QLocale::system().toString(when.time(), format).trimmed();
}

}  // namespace gs
