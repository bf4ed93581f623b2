// The main window's Options > BarCode's menu and Mailer Number: barcode or
// pre-printed mode, the article number's format, the ZIP codes' barcode, and
// the numbers the user sets.
#include "app/tf_main.h"

#include "numbering/articlenumber.h"
#include "numbering/impbnumber.h"
#include "numbering/tf_mailer.h"
#include "piece/printedpiece.h"
#include "platform/userinteraction.h"
#include "settings/sharednumbers.h"

#include <QAction>

namespace gs {

void TF_Main::PrintBarCodeMIClick() {
    PrintBarCodeMI->setChecked(true);
    SelectBarcodeMode(settings);
}

void TF_Main::DontPrintBarCodeMIClick() {
    DontPrintBarCodeMI->setChecked(true);
    SelectPreprintedMode(settings);
}

void TF_Main::MailerNumber1Click() {
    RunCommand([this] {
        // Another copy may have printed since: the dialog starts from its numbers.
        Numbers.Refresh(settings);
        const NumberKeys before = NumberKeysOf(settings);
        MailerNumberCommand(settings, ShowMailerScreen, this);
        // The number the user set is the next one for every copy.
        if (NumberKeysOf(settings) != before) Numbers.Publish(settings, nullptr);
    });
}

void TF_Main::Article20MIClick() {
    Article20MI->setChecked(true);
    settings.ArticleFormat = "20";
}

void TF_Main::ArticleImpbMIClick() {
    ArticleImpbMI->setChecked(true);
    settings.ArticleFormat = "IMpb";
    // The IMpb fields are entered in the mailer-number dialog (barcode mode).
    if (settings.PrintBarCode && CheckImpbFields(ImpbFieldsOf(settings)).field != ImpbField::None) {
        Ui().Message(this, windowTitle(),
                     "Please enter the Channel, Service Type Code, Mailer ID and Serial Number of the IMpb "
                     "number in the next window.",
                     QMessageBox::Information, QMessageBox::Ok);
        MailerNumber1Click();
    }
}

void TF_Main::ZipPostnetMIClick() {
    ZipPostnetMI->setChecked(true);
    settings.ZipBarCode = "POSTNET";
}

void TF_Main::ZipImbMIClick() {
    ZipImbMI->setChecked(true);
    settings.ZipBarCode = "IMB";
    // The tracking fields are entered in the mailer-number dialog.
    if (!ZipBarcodeProblem(settings).empty()) {
        Ui().Message(this, windowTitle(),
                     "Please enter the Barcode ID, Service Type ID, Mailer ID and Tracking Serial of the "
                     "Intelligent Mail barcode in the next window.",
                     QMessageBox::Information, QMessageBox::Ok);
        MailerNumber1Click();
    }
}

}  // namespace gs
