#include "runs/runprogress.h"

#include "platform/application.h"

#include <QCoreApplication>

namespace gs {

RunProgressDialog::RunProgressDialog(int pages, QWidget* parent)
    : QProgressDialog(QString(), QStringLiteral("Cancel"), 0, pages, parent) {
    setObjectName("RunProgress");
    setWindowTitle(ApplicationTitle());
    setWindowModality(Qt::ApplicationModal);
    setAutoClose(false);
    setAutoReset(false);
    setMinimumDuration(0);
    setMinimumWidth(340);
    setValue(0);
}

bool RunProgressDialog::Step(int page, const QString& text) {
    setLabelText(text);
    setValue(page - 1);
    if (!isVisible()) show();
    QCoreApplication::processEvents();
    return !wasCanceled();
}

QString LabelProgressText(int label, int labels) {
    return QStringLiteral("Printing label %1 of %2").arg(label).arg(labels);
}

QString MailerProgressText(int piece, int pieces, const QString& recipient) {
    QString text = QStringLiteral("Printing mailer %1 of %2").arg(piece).arg(pieces);
    if (!recipient.isEmpty()) text += QStringLiteral(" (%1)").arg(recipient);
    return text;
}

}  // namespace gs
