#pragma once
// "Report Status": a small modeless window that shows which page is being
// generated or printed, with a Cancel button that stops at the next page.
#include <QWidget>

class QLabel;
class QPushButton;

namespace gs {

class ReportStatusWindow : public QWidget {
    Q_OBJECT
public:
    ReportStatusWindow(const QString& title, QWidget* parent);

    // The pattern with "%p" replaced by the page number and "%P" by the
    // number of pages; while that is not known (pages 0) " of %P" is left out.
    void ShowPage(const QString& pattern, int page, int pages = 0);
    bool Cancelled() const { return cancelled_; }

    QLabel* lblStatus;
    QPushButton* btnCancel;

public slots:
    void btnCancelClick();

private:
    bool cancelled_ = false;
};

}  // namespace gs
