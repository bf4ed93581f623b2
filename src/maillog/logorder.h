#pragma once
// The order in which the log's reports list the pieces, chosen in the
// Report > Sort menu.
#include <QDateTime>
#include <QString>

#include <string>

namespace gs {

class TTzDbf;

enum class LogOrder { PrintingOrder, MailerNumber, Name, Date, ZipCode };

struct LogOrderKey {
    const char* keyExpression;
    const char* indexName;
};
// "mailernum"/"mailernum", "sentname0"/"name", "rdate"/"rdate", "zip"/"zip".
LogOrderKey KeyOfLogOrder(LogOrder order);

// With the log open: builds the order's index anew (a file named after the
// index, beside the log) and makes it the log's order, the cursor on the
// first record. PrintingOrder leaves the log in record order.
void ApplyLogOrder(TTzDbf& log, LogOrder order);

// The "MyTime" parameter of the reports: "Date Printed: " with the date in
// the short date format and the time in the locale's long format without
// its time zone ("Date Printed: 05/01/2024 3:04:05 PM").
QString MyTimeText(const QDateTime& when);

}  // namespace gs
