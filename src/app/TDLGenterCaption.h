#pragma once

#include "TdmData.h"

#include <QDialog>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QToolButton;

// The value dialog: an industry category (typed, or picked from the category
// tree with the button beside the box) or a salesperson within the
// operator's scope.
class TDLGenterCaption : public QDialog
{
    Q_OBJECT
public:
    TDLGenterCaption(const QString &caption, AskValueMode mode, TdmData::TreePicker picker = {}, QWidget *parent = nullptr);

    AskValueMode mode() const { return m_mode; }
    void setValue(const QString &value);
    QString value() const;
    // The message for a value 确定 refuses; empty when it is accepted.
    static QString checkValue(AskValueMode mode, const QString &value);

    QLabel *Label1 = nullptr;
    QLineEdit *edtCurValue = nullptr;
    QToolButton *sbtype = nullptr;
    QComboBox *cbbEmpname = nullptr;
    QPushButton *btnOk = nullptr;
    QPushButton *btnCancel = nullptr;

private:
    void okClick();

    AskValueMode m_mode;
    TdmData::TreePicker m_picker;
};
