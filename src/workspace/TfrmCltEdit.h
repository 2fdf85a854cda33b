#pragma once

#include "app/FormFields.h"

#include "ClientEditor.h"

#include <QDialog>

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
class TfrmCltEdit : public QDialog
{
    Q_OBJECT
public:
    TfrmCltEdit(ClientWorkspace *workspace, int currentTab, QWidget *parent = nullptr);
    ~TfrmCltEdit() override;

    // Prepares the window for the mode, shows it modally and cleans up.
    void ShowRecord(int mode);
    void SetEditMode(bool edit);
    void ClearFields();
    void LoadFields();
    int SaveCltID() const { return m_editor.saveCltID(); }
    ClientEditor &editor() { return m_editor; }

    // The goods picker appends chosen goods to the products query. Until one
    // is installed the 名称 column has no ellipsis button.
    using GoodsPicker = std::function<void(QWidget *parent, DataSet *products)>;
    static void setGoodsPicker(GoodsPicker picker);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void FormShow();
    void Button1Click();
    void SpeedButton3Click();
    void Button3Click();
    void sendMail(class QLineEdit *box);
    void Action1Execute();
    void Action2Execute();
    void PageControl1Change();
    void DBNavigator1Moved();
    void productsEnter(int row, int column);
    void setCodeBoxAuto(bool automatic);
    void showFields(const QVariantMap &fields);

    Ui::TfrmCltEdit *ui;
    ClientWorkspace *m_ws;
    ClientEditor m_editor;
    FormFields m_fields;
    QAction *m_action1 = nullptr;
    QAction *m_action2 = nullptr;
    QMenu *m_popupMenu1 = nullptr;
    bool m_inProductsEnter = false;
};
