#pragma once

#include "app/FormFields.h"

#include "ContactEditor.h"

#include <QDialog>

class ClientWorkspace;

namespace Ui {
class TfrmEmpEdit;
}

// The contact edit window: adds (mode 0) and changes (mode 1) one contact of
// the current customer. What it decides is ContactEditor's.
class TfrmEmpEdit : public QDialog
{
    Q_OBJECT
public:
    explicit TfrmEmpEdit(ClientWorkspace *workspace, QWidget *parent = nullptr);
    ~TfrmEmpEdit() override;

    void ShowRecord(int mode);
    void SetEditMode(bool edit);
    ContactEditor &editor() { return m_editor; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void clearFields();
    void loadFields();
    void showFields(const QVariantMap &fields);
    void Button1Click();
    void Button4Click();

    Ui::TfrmEmpEdit *ui;
    ClientWorkspace *m_ws;
    ContactEditor m_editor;
    FormFields m_fields;
};
