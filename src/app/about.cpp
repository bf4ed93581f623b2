#include "app/about.h"

#include "platform/application.h"
#include "platform/datafolders.h"
#include "platform/userinteraction.h"
#include "platform/windowplacement.h"

#include <QFrame>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLinearGradient>
#include <QPainter>
#include <QPushButton>

namespace gs {

namespace {

struct Branding {
    const char* street;
    const char* city;
    const char* webSite;
    const char* eMail;
    const char* copyright;
};

// The maker's texts are also the design-time texts of the labels.
constexpr Branding kMaker{"4410 Orchard Lane, Suite 200", "Madison, WI 53704", "www.quorvale.com",
                          "support@quorvale.com", "Copyright \u00A9 2003-2026 Quorvale Software"};
constexpr Branding kReseller{"88 Mill Street", "Dayton, OH 45402", "www.varnholtforms.com",
                             kMaker.eMail, "Distributed by Varnholt Business Forms"};

}  // namespace

QString VersionLabelText(const std::string& fileVersion) {
    if (fileVersion.empty()) return QStringLiteral("Version 3.0");
    std::string rest = fileVersion;
    std::string label = "Version ";
    for (int i = 0; i < 2; ++i) {
        const auto dot = rest.find('.');
        const std::size_t take = dot == std::string::npos ? 0 : dot + 1;
        label += rest.substr(0, take);
        rest.erase(0, take);
    }
    const auto dot = rest.find('.');
    label += dot == std::string::npos ? std::string() : rest.substr(0, dot);
    return QString::fromStdString(label);
}

QStringList FoldersInUseLines(const DataFolders& folders, const std::string& settingsFile,
                              const std::string& logFolder) {
    const auto path = [](const std::string& p) { return QString::fromStdString(p); };
    QStringList lines{"Settings file: " + path(settingsFile)};
    if (folders.layout == FolderLayout::Installed) {
        lines << "Program data: " + path(folders.readDir) << "Your files: " + path(folders.writeDir);
    } else {
        lines << "Program folder: " + path(folders.readDir);
    }
    lines << "Mail log folder: " + path(logFolder);
    return lines;
}

QPixmap ProductLogo(QSize size) {
    QPixmap pm(size);
    QPainter p(&pm);
    QLinearGradient g(0, 0, size.width(), 0);
    g.setColorAt(0, QColor(0, 96, 48));
    g.setColorAt(1, QColor(96, 168, 96));
    p.fillRect(pm.rect(), g);
    p.setPen(Qt::white);
    QFont f("Arial");
    f.setPixelSize(size.height() * 11 / 20);
    f.setBold(true);
    p.setFont(f);
    p.drawText(pm.rect().adjusted(12, 0, 0, -size.height() / 5), Qt::AlignLeft | Qt::AlignVCenter,
               QStringLiteral("Greenslip"));
    f.setPixelSize(std::max(8, size.height() / 5));
    f.setBold(false);
    p.setFont(f);
    p.drawText(pm.rect().adjusted(14, 0, 0, -4), Qt::AlignLeft | Qt::AlignBottom,
               QStringLiteral("Certified Mail Forms"));
    return pm;
}

QPixmap MakerLogo(QSize size) {
    QPixmap pm(size);
    pm.fill(QColor(192, 220, 192));
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setBrush(QColor(0, 96, 48));
    p.setPen(Qt::NoPen);
    const int d = size.height() * 3 / 5;
    p.drawEllipse(QRect(6, (size.height() - d) / 2, d, d));
    p.setPen(Qt::white);
    QFont f("Arial");
    f.setPixelSize(d * 2 / 3);
    f.setBold(true);
    p.setFont(f);
    p.drawText(QRect(6, (size.height() - d) / 2, d, d), Qt::AlignCenter, QStringLiteral("Q"));
    p.setPen(QColor(0, 72, 36));
    f.setPixelSize(size.height() / 4);
    p.setFont(f);
    p.drawText(QRect(d + 14, 0, size.width() - d - 14, size.height()), Qt::AlignLeft | Qt::AlignVCenter,
               QStringLiteral("Quorvale"));
    return pm;
}

TF_About::TF_About(int splashMode, const std::string& logoFile, const std::string& company,
                   QWidget* parent)
    : QDialog(parent, Qt::FramelessWindowHint | Qt::Dialog),
      SplashMode(splashMode),
      logoFile_(logoFile),
      company_(company) {
    setObjectName("TF_About");
    setFixedSize(308, 302);
    // Matched by object name: a type selector would have to spell the
    // namespace ("gs--TF_About"). A dialog's style sheet paints only its
    // background, so the border is a frame of its own, laid over the panels.
    setStyleSheet("QDialog#TF_About { background: rgb(192,220,192); }");

    panelMain = new QFrame(this);
    panelMain->setObjectName("panelMain");
    panelMain->setGeometry(0, 0, 308, 262);

    Image1 = new QLabel(panelMain);
    Image1->setObjectName("Image1");
    Image1->setGeometry(0, 0, 308, 62);
    Image1->setPixmap(ProductLogo(QSize(308, 62)));

    imageCompany = new QLabel(panelMain);
    imageCompany->setObjectName("imageCompany");
    imageCompany->setGeometry(56, 66, 197, 97);
    imageCompany->setPixmap(MakerLogo(QSize(197, 97)));
    imageCompany->setScaledContents(true);

    panelInfo = new QFrame(panelMain);
    panelInfo->setObjectName("panelInfo");
    panelInfo->setGeometry(4, 166, 300, 94);
    auto makeLabel = [this](const char* name, const QString& text, int row) {
        auto* l = new QLabel(text, panelInfo);
        l->setObjectName(name);
        l->setAlignment(Qt::AlignHCenter);
        l->setGeometry(0, row * 15, 300, 15);
        return l;
    };
    labelStreet = makeLabel("labelStreet", kMaker.street, 0);
    labelCity = makeLabel("labelCity", kMaker.city, 1);
    labelWebSite = makeLabel("labelWebSite", kMaker.webSite, 2);
    labelEMail = makeLabel("labelEMail", kMaker.eMail, 3);
    labelVersion = makeLabel("labelVersion", "Version 3.0", 4);
    labelCopyright = makeLabel("labelCopyright", kMaker.copyright, 5);
    for (QLabel* link : {labelWebSite, labelEMail}) {
        link->setStyleSheet("color: blue; text-decoration: underline;");
        link->installEventFilter(this);
        link->setMouseTracking(true);
    }

    labelFolders = new QLabel(this);
    labelFolders->setObjectName("labelFolders");
    labelFolders->setTextFormat(Qt::PlainText);
    labelFolders->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    labelFolders->setWordWrap(true);
    labelFolders->hide();

    btnOK = new QPushButton("OK", this);
    btnOK->setObjectName("btnOK");
    btnOK->setGeometry(116, 268, 75, 25);
    connect(btnOK, &QPushButton::clicked, this, &QDialog::accept);

    border_ = new QFrame(this);
    border_->setObjectName("border");
    border_->setFrameShape(QFrame::Box);
    border_->setLineWidth(1);
    QPalette borderColour = border_->palette();
    borderColour.setColor(QPalette::WindowText, QColor(0x40, 0x60, 0x40));
    border_->setPalette(borderColour);
    border_->setAttribute(Qt::WA_TransparentForMouseEvents);

    // A coarse timer may fire up to 5 % early; the splash must never go
    // before its 3 seconds are up.
    Timer1.setInterval(3000);
    Timer1.setTimerType(Qt::PreciseTimer);
    Timer1.setSingleShot(false);
    connect(&Timer1, &QTimer::timeout, this, &TF_About::Timer1Timer);
}

void TF_About::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    border_->setGeometry(rect());
    border_->raise();
}

void TF_About::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!shown_) {
        shown_ = true;
        FormShow();
    }
}

void TF_About::FormShow() {
    if (SplashMode == 1) {
        setFixedSize(308, 80);
        panelMain->setFixedHeight(62);
        // Only the product logo strip shows; what lies below it is hidden
        // rather than cut off.
        imageCompany->hide();
        panelInfo->hide();
        btnOK->hide();
        splashUntil_ = QDeadlineTimer(Timer1.interval(), Qt::PreciseTimer);
        Timer1.start();
        CentreOnScreen(*this);
        return;
    }
    const Branding* b = nullptr;
    if (company_ == "Quorvale") b = &kMaker;
    if (company_ == "Varnholt") b = &kReseller;
    if (b) {
        labelStreet->setText(b->street);
        labelCity->setText(b->city);
        labelWebSite->setText(b->webSite);
        labelEMail->setText(b->eMail);
        labelCopyright->setText(b->copyright);
    }
    if (company_ == "Varnholt") {
        QPixmap logo;
        if (logo.load(QString::fromStdString(logoFile_))) {
            imageCompany->setPixmap(logo);
            setFixedSize(width(), height() + 56);
            imageCompany->resize(imageCompany->width(), imageCompany->height() + 56);
            panelMain->resize(panelMain->width(), panelMain->height() + 56);
            panelInfo->move(panelInfo->x(), panelInfo->y() + 56);
            btnOK->move(btnOK->x(), btnOK->y() + 56);
        }
    }
    labelVersion->setText(VersionLabelText(GREENSLIP_VERSION));
    ShowFolders();
    CentreOnScreen(*this);
}

void TF_About::SetFoldersInUse(const QStringList& lines) { folders_ = lines; }

void TF_About::ShowFolders() {
    if (folders_.isEmpty()) return;
    // A path has no spaces to wrap at; a zero-width space after each "/"
    // lets a long one wrap between its folders instead of running off.
    QStringList lines;
    for (QString line : folders_) lines << line.replace('/', QStringLiteral("/\u200B"));
    const QString text = lines.join('\n');
    const int gap = 4, width = this->width() - 16;
    const int height = labelFolders->fontMetrics()
                           .boundingRect(QRect(0, 0, width, 10000), Qt::AlignHCenter | Qt::TextWordWrap, text)
                           .height();
    labelFolders->setText(text);
    labelFolders->setGeometry(8, panelMain->y() + panelMain->height() + gap, width, height);
    labelFolders->show();
    // The window grows below the contact texts; the OK button moves down.
    const int grow = height + gap;
    setFixedSize(this->width(), this->height() + grow);
    btnOK->move(btnOK->x(), btnOK->y() + grow);
}

void TF_About::Timer1Timer() {
    // Should the timer still fire early, it waits out the rest.
    const qint64 leftNs = splashUntil_.remainingTimeNSecs();
    if (leftNs > 0) {
        Timer1.start(static_cast<int>((leftNs + 999'999) / 1'000'000));
        return;
    }
    Timer1.stop();
}

void TF_About::labelWebSiteClick() {
    if (SplashMode == 1) return;
    Ui().OpenUrl(labelWebSite->text());
}

void TF_About::labelEMailClick() {
    if (SplashMode == 1) return;
    Ui().OpenUrl("mailto:" + labelEMail->text() + "?Subject=" + ApplicationTitle());
}

void TF_About::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        if (SplashMode != 1) reject();
        return;
    }
    QDialog::keyPressEvent(event);
}

bool TF_About::eventFilter(QObject* watched, QEvent* event) {
    if (SplashMode == 1) return QDialog::eventFilter(watched, event);
    auto* label = qobject_cast<QLabel*>(watched);
    if (label && (label == labelWebSite || label == labelEMail)) {
        switch (event->type()) {
        case QEvent::MouseMove:
        case QEvent::Enter:
            label->setCursor(Qt::PointingHandCursor);
            break;
        case QEvent::Leave:
            label->unsetCursor();
            break;
        case QEvent::MouseButtonRelease:
            if (label == labelWebSite) labelWebSiteClick();
            else labelEMailClick();
            return true;
        default:
            break;
        }
    }
    return QDialog::eventFilter(watched, event);
}

}  // namespace gs
