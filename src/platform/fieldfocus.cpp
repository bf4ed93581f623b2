#include "platform/fieldfocus.h"

#include <QAbstractSpinBox>
#include <QApplication>
#include <QComboBox>
#include <QFocusEvent>
#include <QLineEdit>
#include <QPointer>

namespace gs {

namespace {

// Set on a window once any of its widgets has had the focus.
constexpr const char* kWindowHadFocus = "gsWindowHadFocus";
constexpr const char* kFilterInstalled = "gsSelectAllOnFocus";

bool IsEntryField(const QWidget* w) {
    if (qobject_cast<const QLineEdit*>(w) || qobject_cast<const QAbstractSpinBox*>(w)) return true;
    const auto* combo = qobject_cast<const QComboBox*>(w);
    return combo && combo->isEditable();
}

void SelectWholeText(QWidget* w) {
    if (auto* edit = qobject_cast<QLineEdit*>(w)) edit->selectAll();
    else if (auto* spin = qobject_cast<QAbstractSpinBox*>(w)) spin->selectAll();
    else if (auto* combo = qobject_cast<QComboBox*>(w); combo && combo->lineEdit()) combo->lineEdit()->selectAll();
}

class SelectAllOnFocus : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::FocusIn || !watched->isWidgetType()) return false;
        auto* widget = static_cast<QWidget*>(watched);
        // On X11 the window itself takes the focus before handing it on to
        // the control that is to have it; that is not the window's first
        // focus yet.
        if (widget->isWindow()) return false;
        // A dialog being shown announces the focus to its focus widget
        // before its window is active; the field has the focus only when
        // the window comes up.
        if (!widget->hasFocus()) return false;
        QWidget* window = widget->window();
        const bool firstFocus = !window->property(kWindowHadFocus).toBool();
        if (firstFocus) window->setProperty(kWindowHadFocus, true);
        if (!IsEntryField(widget)) return false;

        const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
        const bool byKeyboard = reason == Qt::TabFocusReason || reason == Qt::BacktabFocusReason ||
                                reason == Qt::ShortcutFocusReason;
        if (!byKeyboard && !(firstFocus && reason != Qt::MouseFocusReason)) return false;
        // After the field's own focus handling, which puts a masked field's
        // cursor on its first blank.
        QPointer<QWidget> field(widget);
        QMetaObject::invokeMethod(
            widget,
            [field] {
                if (field && field->hasFocus()) SelectWholeText(field);
            },
            Qt::QueuedConnection);
        return false;
    }
};

}  // namespace

void InstallSelectAllOnFocus() {
    auto* app = QCoreApplication::instance();
    if (!app || app->property(kFilterInstalled).toBool()) return;
    app->setProperty(kFilterInstalled, true);
    app->installEventFilter(new SelectAllOnFocus(app));
}

}  // namespace gs
