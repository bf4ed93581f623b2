#pragma once
// The progress window of a label run or a mass print: what is being printed
// ("Printing label 3 of 10"), a bar, and Cancel. It is modal for the whole
// program, so nothing else can be started meanwhile, while the windows go on
// repainting: each Step lets them handle what happened since the last page,
// the Cancel button among it. Cancel stops the run after the page being
// printed.
#include <QProgressDialog>

namespace gs {

class RunProgressDialog : public QProgressDialog {
    Q_OBJECT
public:
    // pages: how many pages the run is to print.
    RunProgressDialog(int pages, QWidget* parent = nullptr);

    // Before page `page` (1-based): shows the text, the pages done so far,
    // and handles pending events. False once Cancel was pressed.
    bool Step(int page, const QString& text);
};

// "Printing label 3 of 10"; "Printing mailer 3 of 10 (Ann Lee)".
QString LabelProgressText(int label, int labels);
QString MailerProgressText(int piece, int pieces, const QString& recipient);

}  // namespace gs
