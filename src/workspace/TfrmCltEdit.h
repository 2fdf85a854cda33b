#pragma once

#include "ClientEditor.h"
#include "records/RecordEditWindow.h"

#include <functional>

class ClientWorkspace;
class DataSet;
class QAction;
class QMenu;

namespace Ui {
class TfrmCltEdit;
}

// The customer edit window: adds (mode 0), changes (1) and copies (2) one
// customer with its contacts and products. The fields are plain controls;
// the contacts and products grids edit the workspace's cached queries. What
// is decided (numbers, codes, checks, the save) is ClientEditor's.
class TfrmCltEdit : public RecordEditWindow
{
    Q_OBJECT
public:
    TfrmCltEdit(ClientWorkspace *workspace, int currentTab, QWidget *parent = nullptr);
    ~TfrmCltEdit() override;

    void ClearFields();
    void LoadFields();
    int SaveCltID() const { return m_editor.saveCltID(); }
    ClientEditor &editor() override { return m_editor; }

    // The goods picker appends chosen goods to the products query. Until one
    // is installed the 名称 column has no ellipsis button.
    using GoodsPicker = std::function<void(QWidget *parent, DataSet *products)>;
    static void setGoodsPicker(GoodsPicker picker);

protected:
    void prepare(EditMode mode) override;
    void finish(bool accepted) override;
    void beforeSave() override;
    void nextRecord() override;
    void navigated() override;
    void showFields(const QVariantMap &fields) override;
    QVariantMap currentFields() override { return m_editor.currentFields(); }

private:
    void FormShow();
    void SpeedButton3Click();
    void Action1Execute();
    void Action2Execute();
    void PageControl1Change();
    bool productsEnter(int row, int column);
    void setCodeBoxAuto(bool automatic);

    Ui::TfrmCltEdit *ui;
    ClientWorkspace *m_ws;
    ClientEditor m_editor;
    QAction *m_action1 = nullptr;
    QAction *m_action2 = nullptr;
    QMenu *m_popupMenu1 = nullptr;
};
