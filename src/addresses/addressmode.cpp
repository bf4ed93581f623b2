#include "addresses/addressmode.h"

#include "addresses/pathlabel.h"
#include "dbase/dbferror.h"
#include "platform/addressmemo.h"
#include "platform/maskedit.h"
#include "platform/qtext.h"
#include "platform/userinteraction.h"

#include <QAction>
#include <QFileInfo>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace gs {

namespace {

// The box in address-database mode, in pixels inside the box.
constexpr QRect kMemoRect(8, 89, 275, 60);  // 265 pixels of text, plus the frame
constexpr QRect kCityRect(8, 153, 161, 21);
constexpr QRect kStateRect(176, 153, 25, 21);
constexpr QRect kZipRect(208, 153, 75, 21);  // wide enough for all ten characters
constexpr QRect kNavigatorRect(8, 44, 189, 18);
constexpr QPoint kDatabaseNamePos(8, 20);
constexpr QRect kOrderRect(8, 62, 189, 16);
constexpr QRect kExitRect(206, 60, 59, 25);
constexpr QRect kPasteRect(206, 36, 59, 25);

const char* kOpenTitle = "Read Name and Address from File";
const char* kOpenFilter = "DBF Files (*.dbf)|*.dbf|All Files|*.*";

QLineEdit* BoundEdit(QGroupBox* box, const char* name, QRect r) {
    auto* e = new QLineEdit(box);
    e->setObjectName(name);
    e->setGeometry(r);
    e->hide();
    return e;
}

QFont LabelFont(const QWidget& w) {
    QFont f = w.font();
    f.setPointSize(8);
    return f;
}

}  // namespace

AddressMode::AddressMode(QGroupBox* box, const PlainControls& plain, QObject* parent)
    : QObject(parent), box_(box), plain_(plain), pasteNormal_(plain.btnPaste->geometry()) {
    setObjectName("AddressMode");
    tzmemoAddress = new AddressMemo(box);
    tzmemoAddress->setObjectName("tzmemoAddress");
    tzmemoAddress->setGeometry(kMemoRect);
    tzmemoAddress->hide();
    tzeditCity = BoundEdit(box, "tzeditCity", kCityRect);
    tzeditCity->setMaxLength(kBoundCityLimit);
    tzeditState = BoundEdit(box, "tzeditState", kStateRect);
    tzeditState->setMaxLength(kBoundStateLimit);
    tzeditZip = BoundEdit(box, "tzeditZip", kZipRect);
    SetFormMask(*tzeditZip, "99999-9999;1;_");

    tznavigator1 = new DbNavigator(box);
    tznavigator1->setObjectName("tznavigator1");
    tznavigator1->setGeometry(kNavigatorRect);
    tznavigator1->hide();

    labelDatabaseName = new QLabel(box);
    labelDatabaseName->setObjectName("labelDatabaseName");
    labelDatabaseName->setFont(LabelFont(*labelDatabaseName));
    QPalette blue = labelDatabaseName->palette();
    blue.setColor(QPalette::WindowText, Qt::blue);
    labelDatabaseName->setPalette(blue);
    labelDatabaseName->move(kDatabaseNamePos);
    labelDatabaseName->hide();

    labelOrder = new QLabel(box);
    labelOrder->setObjectName("labelOrder");
    labelOrder->setGeometry(kOrderRect);
    labelOrder->setAlignment(Qt::AlignCenter);
    labelOrder->setAutoFillBackground(true);
    QPalette aqua = labelOrder->palette();
    aqua.setColor(QPalette::Window, QColor(0, 255, 255));
    labelOrder->setPalette(aqua);
    labelOrder->hide();

    btnExit = new QPushButton("&Exit", box);
    btnExit->setObjectName("btnExit");
    // Not File > Exit: this one only leaves the address table.
    btnExit->setToolTip("Close the address table");
    btnExit->setGeometry(kExitRect);
    btnExit->hide();

    connect(tznavigator1, &DbNavigator::pressed, this, &AddressMode::tznavigator1Click);
    connect(tzmemoAddress, &AddressMemo::textChanged, this, &AddressMode::tzmemoAddressChange);
    connect(tzmemoAddress, &AddressMemo::rewritten, this, &AddressMode::entryChanged);
    connect(tzmemoAddress, &AddressMemo::left, this, &AddressMode::tzmemoAddressExit);
    for (QLineEdit* e : {tzeditCity, tzeditState, tzeditZip})
        connect(e, &QLineEdit::textChanged, this, [this, e] { BoundEditChanged(e); });
}

// ---- Entering and leaving ----

bool AddressMode::EnterAddressMode(QWidget* dialogParent, std::string& addressDir) {
    const QString chosen = Ui().OpenOrNewFileName(dialogParent, kOpenTitle, FromAnsi(addressDir), kOpenFilter);
    if (chosen.isEmpty()) return false;
    addressDir = ToAnsi(QFileInfo(chosen).absolutePath());
    // Leaving the open table: what was typed into it is posted, not dropped.
    if (table_.Active() && !table_.PostAndClose()) return false;
    SwitchLayout(true);
    if (!OpenTable(ToAnsi(chosen))) return false;
    tzmemoAddress->setFocus();
    return true;
}

bool AddressMode::LeaveAddressMode() {
    if (!table_.PackAndClose()) return false;
    SwitchLayout(false);
    return true;
}

void AddressMode::CloseForShutdown() { table_.TzDbfAddress.Close(); }

bool AddressMode::CloseIfActive() {
    if (!table_.Active()) return false;
    if (!table_.PostAndClose())
        throw std::runtime_error("The address being edited could not be saved: another copy of the program "
                                 "holds its record.");
    reopenPath_ = table_.FileName();
    return true;
}

void AddressMode::ReopenAndFocus() {
    if (!OpenTable(reopenPath_)) return;
    tzmemoAddress->setFocus();
}

bool AddressMode::OpenTable(const std::string& path) {
    try {
        table_.Open(path);
    } catch (const DbfError& e) {
        ShowError(FromAnsi(DbfErrorReportText(e.Code(), e.Detail())));
        SwitchLayout(false);
        return false;
    } catch (const std::exception& e) {
        ShowError(FromAnsi(e.what()));
        SwitchLayout(false);
        return false;
    }
    // The controls take no more than the table's fields hold (cutting what
    // the previous table's record left in them is no typing).
    loading_ = true;
    tzeditCity->setMaxLength(std::min(kBoundCityLimit, table_.FieldLength(AddressField::City)));
    tzeditState->setMaxLength(std::min(kBoundStateLimit, table_.FieldLength(AddressField::State)));
    loading_ = false;

    const QFontMetrics metrics(labelDatabaseName->font());
    labelDatabaseName->setText(FromAnsi(ShortenedTablePath(
        table_.FileName(), [&](const std::string& s) { return metrics.horizontalAdvance(FromAnsi(s)); })));
    labelDatabaseName->adjustSize();
    LoadRecord();
    ShowRecordPosition();
    return true;
}

void AddressMode::SwitchLayout(bool on) {
    active_ = on;
    plain_.MIMassPrint->setEnabled(on);
    plain_.btnPaste->setGeometry(on ? kPasteRect : pasteNormal_);
    for (QWidget* w : std::initializer_list<QWidget*>{btnExit, tznavigator1, labelDatabaseName, labelOrder,
                                                      tzmemoAddress, tzeditCity, tzeditState, tzeditZip})
        w->setVisible(on);
    for (QWidget* w : std::initializer_list<QWidget*>{plain_.btnClear, plain_.memoAddress, plain_.editCity,
                                                      plain_.editState, plain_.editZip})
        w->setVisible(!on);
    UpdateNavigator();
}

void AddressMode::ShowError(const QString& text) {
    QWidget* window = box_->window();
    Ui().Message(window, window->windowTitle(), text, QMessageBox::Critical, QMessageBox::Ok);
}

// ---- Navigator ----

void AddressMode::tznavigator1Click(NavigateBtn button) {
    switch (button) {
    case NavigateBtn::First: table_.First(); break;
    case NavigateBtn::Prior: table_.Prior(); break;
    case NavigateBtn::Next: table_.Next(); break;
    case NavigateBtn::Last: table_.Last(); break;
    case NavigateBtn::Insert: table_.Insert(); break;
    case NavigateBtn::Delete:
        if (!table_.Active()) break;
        if (table_.Inserting()) {
            table_.Cancel();
        } else if (table_.IsDeleted()) {
            table_.Unmark();  // a second press takes the mark away, without asking
        } else {
            QWidget* window = box_->window();
            if (Ui().Message(window, "Confirm", "Delete Record ?", QMessageBox::Question,
                             QMessageBox::Ok | QMessageBox::Cancel) == QMessageBox::Ok)
                table_.MarkDeleted();
        }
        break;
    case NavigateBtn::Post: table_.Post(); break;
    case NavigateBtn::Cancel: table_.Cancel(); break;
    case NavigateBtn::Refresh: table_.Refresh(); break;
    }
    // An edit that could not be posted stays in the controls; otherwise they
    // show the record the cursor stands on (blank for an insert).
    if (!table_.Modified()) LoadRecord();
    ShowRecordPosition();
}

void AddressMode::ShowRecordPosition() {
    labelOrder->setText(FromAnsi(table_.PositionText()));
    labelOrder->resize(tznavigator1->width(), labelOrder->height());
    UpdateNavigator();
}

void AddressMode::UpdateNavigator() {
    const bool open = active_ && table_.Active();
    const std::uint32_t rec = open ? table_.TzDbfAddress.RecNo() : 0;
    const std::uint32_t count = open ? table_.TzDbfAddress.RecCount() : 0;
    tznavigator1->SetStates(open, table_.Bof() || rec <= 1, table_.Eof() || rec >= count, table_.Editing());
}

// ---- Binding ----

void AddressMode::LoadRecord() {
    const AddressRecord r = table_.Current();
    QStringList lines;
    for (const std::string& l : r.addressLines) lines << FromAnsi(l);
    loading_ = true;
    tzmemoAddress->setPlainText(lines.join('\n'));
    tzeditCity->setText(FromAnsi(r.city));
    tzeditState->setText(FromAnsi(r.state));
    tzeditZip->setText(FromAnsi(r.zip));
    loading_ = false;
    emit entryChanged();  // another record is another piece to print
}

void AddressMode::tzmemoAddressChange() {
    tzmemoAddress->CutToFourLines();  // its own change comes back here first
    if (!loading_) {
        table_.Change(AddressField::Address, ToAnsi(tzmemoAddress->toPlainText()));
        UpdateNavigator();
    }
    emit entryChanged();
}

void AddressMode::tzmemoAddressExit() { tzmemoAddress->RewriteLines(); }

void AddressMode::BoundEditChanged(QLineEdit* edit) {
    if (!loading_) {
        if (edit == tzeditCity) table_.Change(AddressField::City, ToAnsi(edit->text()));
        else if (edit == tzeditState) table_.Change(AddressField::State, ToAnsi(edit->text()));
        else table_.Change(AddressField::Zip, ToAnsi(MaskedText(*edit)));
        UpdateNavigator();
    }
    emit entryChanged();
}

AddressMode::BoundRecipient AddressMode::Recipient() const {
    BoundRecipient r;
    for (int i = 0; i < 4; ++i) r.lines[static_cast<std::size_t>(i)] = ToAnsi(tzmemoAddress->Line(i));
    r.city = ToAnsi(tzeditCity->text());
    r.state = ToAnsi(tzeditState->text());
    r.zip = ToAnsi(MaskedText(*tzeditZip));
    return r;
}

}  // namespace gs
