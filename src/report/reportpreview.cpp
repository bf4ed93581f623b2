#include "report/reportpreview.h"

#include "platform/userinteraction.h"
#include "printing/paintercanvas.h"
#include "report/reportproject.h"
#include "report/reportstatus.h"
#include "report/reportsystem.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QHBoxLayout>
#include <QKeySequence>
#include <QLabel>
#include <QPainter>
#include <QPrinter>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QShortcut>
#include <QSpinBox>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

namespace gs {

namespace {

constexpr int kWholePage = -1;
constexpr int kPageWidth = -2;
const int kZoomSteps[] = {25, 50, 75, 100, 150, 200, 300, 400};

// Runs a command of the window; what goes wrong is shown, the window stays.
template <typename F>
void Guarded(QWidget* window, F&& command) {
    try {
        command();
    } catch (const std::exception& e) {
        Ui().Message(window, window->windowTitle(), QString::fromLocal8Bit(e.what()), QMessageBox::Critical,
                     QMessageBox::Ok);
    }
}

}  // namespace

ReportPreviewWindow::ReportPreviewWindow(TReportSystem& system, const ReportJob& job, QPrinter& printer,
                                         QWidget* parent)
    : QDialog(parent, Qt::Window | Qt::WindowMinMaxButtonsHint | Qt::WindowCloseButtonHint),
      system_(system),
      job_(job),
      printer_(printer) {
    setObjectName("ReportPreview");
    setWindowTitle(system.PreviewTitle);
    zoom_ = std::clamp(system.PreviewZoom, 10, 800);
    BuildControls();
    cbZoom->setCurrentIndex(cbZoom->findData(zoom_));
    resize(1000, 760);
    if (system.PreviewMaximized) setWindowState(Qt::WindowMaximized);
    run_ = job_.Layout(FrameOfPrinter(printer_));
    lblPageCount->setText(tr("of %1").arg(run_->PageCount()));
    spinPage->setRange(1, run_->PageCount());
    ShowPage(1);
}

ReportPreviewWindow::~ReportPreviewWindow() = default;

int ReportPreviewWindow::PageCount() const { return run_->PageCount(); }

void ReportPreviewWindow::BuildControls() {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    auto* bar = new QHBoxLayout;
    bar->setContentsMargins(8, 6, 8, 6);
    layout->addLayout(bar);

    auto tool = [this, bar](const char* name, QStyle::StandardPixmap icon, const QString& tip) {
        auto* b = new QToolButton(this);
        b->setObjectName(name);
        b->setIcon(style()->standardIcon(icon));
        b->setToolTip(tip);
        b->setAutoRaise(true);
        bar->addWidget(b);
        return b;
    };
    btnPrint = new QPushButton(tr("&Print..."), this);
    btnPrint->setObjectName("btnPrint");
    btnPrint->setAutoDefault(false);
    bar->addWidget(btnPrint);
    bar->addSpacing(16);
    btnFirst = tool("btnFirst", QStyle::SP_MediaSkipBackward, tr("First page (Ctrl+Home)"));
    btnPrior = tool("btnPrior", QStyle::SP_MediaSeekBackward, tr("Previous page (Page Up)"));
    auto* pageLabel = new QLabel(tr("Page"), this);
    bar->addWidget(pageLabel);
    spinPage = new QSpinBox(this);
    spinPage->setObjectName("spinPage");
    spinPage->setKeyboardTracking(false);
    spinPage->setRange(1, 999999);
    bar->addWidget(spinPage);
    lblPageCount = new QLabel(this);
    lblPageCount->setObjectName("lblPageCount");
    lblPageCount->setMinimumWidth(lblPageCount->fontMetrics().horizontalAdvance("of 000000") + 4);
    bar->addWidget(lblPageCount);
    btnNext = tool("btnNext", QStyle::SP_MediaSeekForward, tr("Next page (Page Down)"));
    btnLast = tool("btnLast", QStyle::SP_MediaSkipForward, tr("Last page (Ctrl+End)"));
    bar->addSpacing(16);
    btnZoomOut = new QToolButton(this);
    btnZoomOut->setObjectName("btnZoomOut");
    btnZoomOut->setText("-");
    btnZoomOut->setToolTip(tr("Zoom out (Ctrl+-)"));
    bar->addWidget(btnZoomOut);
    cbZoom = new QComboBox(this);
    cbZoom->setObjectName("cbZoom");
    cbZoom->addItem(tr("Whole page"), kWholePage);
    cbZoom->addItem(tr("Page width"), kPageWidth);
    for (int z : kZoomSteps) cbZoom->addItem(QString("%1 %").arg(z), z);
    bar->addWidget(cbZoom);
    btnZoomIn = new QToolButton(this);
    btnZoomIn->setObjectName("btnZoomIn");
    btnZoomIn->setText("+");
    btnZoomIn->setToolTip(tr("Zoom in (Ctrl++)"));
    bar->addWidget(btnZoomIn);
    bar->addStretch();
    btnClose = new QPushButton(tr("&Close"), this);
    btnClose->setObjectName("btnClose");
    btnClose->setAutoDefault(false);
    bar->addWidget(btnClose);

    scrollArea = new QScrollArea(this);
    scrollArea->setObjectName("scrollArea");
    scrollArea->setAlignment(Qt::AlignCenter);
    scrollArea->setBackgroundRole(QPalette::Dark);
    scrollArea->setFrameShape(QFrame::NoFrame);
    pageView_ = new QLabel;
    pageView_->setObjectName("pageView");
    pageView_->setFrameShape(QFrame::Box);
    pageView_->setLineWidth(1);
    scrollArea->setWidget(pageView_);
    layout->addWidget(scrollArea, 1);

    connect(btnPrint, &QPushButton::clicked, this, &ReportPreviewWindow::btnPrintClick);
    connect(btnClose, &QPushButton::clicked, this, &QDialog::accept);
    connect(btnFirst, &QToolButton::clicked, this, [this] { ShowPage(1); });
    connect(btnPrior, &QToolButton::clicked, this, [this] { ShowPage(page_ - 1); });
    connect(btnNext, &QToolButton::clicked, this, [this] { ShowPage(page_ + 1); });
    connect(btnLast, &QToolButton::clicked, this, [this] { ShowPage(PageCount()); });
    connect(spinPage, &QSpinBox::valueChanged, this, [this](int p) { ShowPage(p); });
    connect(btnZoomIn, &QToolButton::clicked, this, &ReportPreviewWindow::ZoomIn);
    connect(btnZoomOut, &QToolButton::clicked, this, &ReportPreviewWindow::ZoomOut);
    connect(cbZoom, &QComboBox::activated, this, &ReportPreviewWindow::ZoomChosen);

    auto key = [this](const QKeySequence& k, auto slot) { connect(new QShortcut(k, this), &QShortcut::activated, this, slot); };
    key(QKeySequence(Qt::Key_PageDown), [this] { ShowPage(page_ + 1); });
    key(QKeySequence(Qt::Key_PageUp), [this] { ShowPage(page_ - 1); });
    key(QKeySequence(Qt::CTRL | Qt::Key_Home), [this] { ShowPage(1); });
    key(QKeySequence(Qt::CTRL | Qt::Key_End), [this] { ShowPage(PageCount()); });
    key(QKeySequence::ZoomIn, [this] { ZoomIn(); });
    key(QKeySequence(Qt::CTRL | Qt::Key_Equal), [this] { ZoomIn(); });
    key(QKeySequence::ZoomOut, [this] { ZoomOut(); });
    key(QKeySequence::Print, [this] { btnPrintClick(); });
}

void ReportPreviewWindow::ShowPage(int page) {
    page = std::clamp(page, 1, PageCount());
    if (page != page_ || image_.isNull()) {
        bool shown = false;
        Guarded(this, [&] { shown = Render(page); });
        if (shown) page_ = page;
    }
    const QSignalBlocker block(spinPage);
    spinPage->setValue(page_);
    btnFirst->setEnabled(page_ > 1);
    btnPrior->setEnabled(page_ > 1);
    btnNext->setEnabled(page_ < PageCount());
    btnLast->setEnabled(page_ < PageCount());
}

double ReportPreviewWindow::FitZoom(bool wholePage) const {
    const PageFrame& f = run_->Frame();
    const QSize room = scrollArea->viewport()->size() - QSize(24, 24);
    const double screen = logicalDpiX();
    const double byWidth = room.width() * f.resolutionX / (f.sheetWidth * screen);
    const double byHeight = room.height() * f.resolutionY / (f.sheetHeight * screen);
    return std::max(0.1, wholePage ? std::min(byWidth, byHeight) : byWidth) * 100;
}

bool ReportPreviewWindow::Render(int page) {
    const PageFrame& f = run_->Frame();
    const double percent = fitMode_ ? FitZoom(fitMode_ == 1) : zoom_;
    const double scale = percent / 100.0 * logicalDpiX() / f.resolutionX;
    const QSize size(std::max(1, int(std::lround(f.sheetWidth * scale))),
                     std::max(1, int(std::lround(f.sheetHeight * scale))));
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::white);

    // A page that takes long to reach shows the status window, whose Cancel
    // keeps the page shown before.
    QElapsedTimer clock;
    clock.start();
    run_->keepGoing = [this, &clock](int p) {
        if (!status_ && clock.elapsed() < 400) return true;
        if (!status_) {
            status_ = std::make_unique<ReportStatusWindow>(system_.StatusTitle, this);
            status_->show();
        }
        status_->ShowPage(system_.StatusGenerating, p, run_->PageCount());
        QCoreApplication::processEvents();
        return !status_->Cancelled();
    };
    struct Done {
        ReportPreviewWindow& w;
        ~Done() {
            w.run_->keepGoing = nullptr;
            w.status_.reset();
        }
    } done{*this};
    {
        QPainter painter(&image);
        painter.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing | QPainter::SmoothPixmapTransform);
        painter.scale(scale, scale);
        painter.translate(f.printableLeft, f.printableTop);
        DeviceMetrics metrics{f.resolutionX, f.resolutionY, f.printableLeft,
                              f.printableTop, f.printableWidth, f.printableHeight};
        PainterCanvas canvas(painter, metrics);
        try {
            run_->DrawPage(page, canvas);
        } catch (const ReportCancelled&) {
            return false;
        }
    }
    image_ = std::move(image);
    pageView_->setPixmap(QPixmap::fromImage(image_));
    pageView_->resize(pageView_->sizeHint());
    zoom_ = static_cast<int>(std::lround(percent));
    return true;
}

void ReportPreviewWindow::Refresh() {
    image_ = QImage();
    ShowPage(page_);
}

void ReportPreviewWindow::SetZoom(int percent) {
    fitMode_ = 0;
    zoom_ = std::clamp(percent, 10, 800);
    const int at = cbZoom->findData(zoom_);
    cbZoom->setCurrentIndex(at);
    if (at < 0) cbZoom->setEditText(QString("%1 %").arg(zoom_));
    Refresh();
}

void ReportPreviewWindow::ZoomChosen(int index) {
    const int v = cbZoom->itemData(index).toInt();
    if (v > 0) return SetZoom(v);
    fitMode_ = v == kWholePage ? 1 : 2;
    Refresh();
}

void ReportPreviewWindow::ZoomIn() {
    for (int z : kZoomSteps)
        if (z > zoom_) return SetZoom(z);
}

void ReportPreviewWindow::ZoomOut() {
    for (auto it = std::rbegin(kZoomSteps); it != std::rend(kZoomSteps); ++it)
        if (*it < zoom_) return SetZoom(*it);
}

void ReportPreviewWindow::btnPrintClick() {
    Guarded(this, [this] {
        if (!system_.Print(job_, printer_, true, this)) return;
        // The print dialog may have chosen other paper: show the pages as they went out.
        run_ = job_.Layout(FrameOfPrinter(printer_));
        lblPageCount->setText(tr("of %1").arg(run_->PageCount()));
        spinPage->setRange(1, run_->PageCount());
        page_ = std::min(page_, run_->PageCount());
        Refresh();
    });
}

void ReportPreviewWindow::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    if (fitMode_ && run_) Refresh();
}

}  // namespace gs
