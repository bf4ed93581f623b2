#include "addresses/transferprogress.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QProgressDialog>

#include "addresses/textfilecommands.h"

namespace gs {

namespace {
constexpr int kSteps = 1000;  // the bar counts in thousandths, so any count fits an int
}

TransferProgressDialog::TransferProgressDialog(QWidget* parent, const QString& label, std::uint64_t total) {
    if (total <= kProgressDialogMinimum) return;
    dialog_ = std::make_unique<QProgressDialog>(label, QObject::tr("Cancel"), 0, kSteps, parent);
    dialog_->setObjectName("TransferProgress");
    dialog_->setWindowTitle(QGuiApplication::applicationDisplayName());
    dialog_->setWindowModality(Qt::ApplicationModal);
    dialog_->setAutoClose(false);
    dialog_->setAutoReset(false);
    dialog_->setMinimumDuration(0);
    dialog_->setMinimumWidth(320);
    dialog_->setValue(0);
    dialog_->show();
    QCoreApplication::processEvents();
}

TransferProgressDialog::~TransferProgressDialog() = default;

TransferProgress TransferProgressDialog::Callback() {
    if (!dialog_) return {};
    QProgressDialog* dialog = dialog_.get();
    return [dialog](std::uint64_t done, std::uint64_t total) {
        const std::uint64_t scaled = total ? std::min<std::uint64_t>(done, total) * kSteps / total : kSteps;
        dialog->setValue(static_cast<int>(scaled));
        QCoreApplication::processEvents();
        return !dialog->wasCanceled();
    };
}

}  // namespace gs
