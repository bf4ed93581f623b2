#pragma once
// "Report Preview": one page of a report at a time, drawn when it is shown,
// with page navigation, zoom, and printing from the preview. Opens maximised
// at the engine's zoom (100 % is the paper's own size on the screen).
//
// Keys: Page Down / Page Up the next and previous page, Ctrl+Home and
// Ctrl+End the first and last, Ctrl++ and Ctrl+- zoom, Ctrl+P print, Esc
// closes.
#include <QDialog>
#include <QImage>

#include <memory>

class QComboBox;
class QLabel;
class QPrinter;
class QScrollArea;
class QSpinBox;
class QToolButton;
class QPushButton;

namespace gs {

class ReportJob;
class ReportRun;
class ReportStatusWindow;
class TReportSystem;

class ReportPreviewWindow : public QDialog {
    Q_OBJECT
public:
    // Lays the report out for the printer and draws its first page.
    ReportPreviewWindow(TReportSystem& system, const ReportJob& job, QPrinter& printer, QWidget* parent);
    ~ReportPreviewWindow() override;

    int Page() const { return page_; }
    int PageCount() const;
    int ZoomPercent() const { return zoom_; }
    // The page as it is shown, at the current zoom.
    const QImage& PageImage() const { return image_; }

    QPushButton* btnPrint;
    QToolButton* btnFirst;
    QToolButton* btnPrior;
    QToolButton* btnNext;
    QToolButton* btnLast;
    QSpinBox* spinPage;
    QLabel* lblPageCount;
    QToolButton* btnZoomOut;
    QComboBox* cbZoom;
    QToolButton* btnZoomIn;
    QPushButton* btnClose;
    QScrollArea* scrollArea;

public slots:
    void ShowPage(int page);
    void SetZoom(int percent);
    void ZoomIn();
    void ZoomOut();
    void btnPrintClick();

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void BuildControls();
    void ZoomChosen(int index);
    // Draws the page at the zoom; false when the user stopped it.
    bool Render(int page);
    void Refresh();
    double FitZoom(bool wholePage) const;

    TReportSystem& system_;
    const ReportJob& job_;
    QPrinter& printer_;
    std::unique_ptr<ReportRun> run_;
    QLabel* pageView_;
    std::unique_ptr<ReportStatusWindow> status_;
    int page_ = 0;
    int zoom_ = 100;
    int fitMode_ = 0;  // 1: whole page, 2: page width
    QImage image_;
};

}  // namespace gs
