#include "addresses/transferprogress.h"

#include <QCoreApplication>
#include <QProgressDialog>

#include "addresses/textfilecommands.h"
#include "platform/application.h"

namespace gs {

namespace {
constexpr int kSteps = 1000;  // the bar counts in thousandths, so any count fits an int
}

std::unique_ptr<QProgressDialog> MakeTransferProgressDialog(QWidget* parent, const QString& label) {
    auto dialog = std::make_unique<QProgressDialog>(label, QObject::tr("Cancel"), 0, kSteps, parent);
    dialog->setObjectName("TransferProgress");
    dialog->setWindowTitle(ApplicationTitle());
    dialog->setWindowModality(Qt::ApplicationModal);
    dialog->setAutoClose(false);
    dialog->setAutoReset(false);
    dialog->setMinimumDuration(0);
    dialog->setMinimumWidth(320);
    return dialog;
}

TransferProgressDialog::TransferProgressDialog(QWidget* parent, const QString& label, std::uint64_t total) {
    if (total <= kProgressDialogMinimum) return;
    dialog_ = MakeTransferProgressDialog(parent, label);
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
