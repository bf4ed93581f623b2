#pragma once
// Options > Print Options > "&Extra Label": whether an address is printed
// on the form's extra label, and which one.
#include <QDialog>

class QButtonGroup;
class QComboBox;
class QGroupBox;
class QLabel;
class QPushButton;
class QRadioButton;

namespace gs {

struct Settings;

class TF_ExtraLabel : public QDialog {
    Q_OBJECT
public:
    TF_ExtraLabel(Settings& settings, QWidget* parent = nullptr);

    QLabel* Label1;   // the explanation
    QGroupBox* rgExtraLabel;
    QRadioButton* rbYes;
    QRadioButton* rbNo;
    QLabel* Label2;   // "Address for Extra Label:"
    QComboBox* cbExtraLabel;
    QPushButton* btnOK;
    QPushButton* btnCancel;

    // The selected radio item's text; empty when none is selected.
    QString SelectedItem() const;

public slots:
    void rgExtraLabelClick();
    void btnOKClick();

protected:
    void showEvent(QShowEvent* event) override;

private:
    Settings& settings_;
    QButtonGroup* group_;
};

}  // namespace gs
