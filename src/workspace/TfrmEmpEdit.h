#pragma once

#include "ContactEditor.h"
#include "records/RecordEditWindow.h"

class ClientWorkspace;

namespace Ui {
class TfrmEmpEdit;
}

// The contact edit window: adds (mode 0) and changes (mode 1) one contact of
// the current customer. What it decides is ContactEditor's.
class TfrmEmpEdit : public RecordEditWindow
{
    Q_OBJECT
public:
    explicit TfrmEmpEdit(ClientWorkspace *workspace, QWidget *parent = nullptr);
    ~TfrmEmpEdit() override;

    ContactEditor &editor() override { return m_editor; }

protected:
    void prepare(EditMode mode) override;
    void showFields(const QVariantMap &values) override;
    QVariantMap currentFields() override { return m_editor.currentFields(); }

private:
    Ui::TfrmEmpEdit *ui;
    ClientWorkspace *m_ws;
    ContactEditor m_editor;
};
