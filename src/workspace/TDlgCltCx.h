#pragma once

#include "workspace/CustomerQuery.h"

#include <QDialog>

#include <optional>

class QComboBox;

namespace Ui {
class TDlgCltCx;
}

// The advanced customer search: conditions on most customer columns, the
// main contact, the custom fields, the use state and five date ranges. It
// reads no customers itself; it gives the main window a statement.
class TDlgCltCx : public QDialog
{
    Q_OBJECT
public:
    explicit TDlgCltCx(QWidget *parent = nullptr);
    ~TDlgCltCx() override;

    // Shows the dialog modally; the statement of the conditions (without an
    // ordering clause) when the operator confirms with 查询, nothing otherwise.
    std::optional<SqlStatement> AskSearchStatement();

    // The conditions the controls hold now.
    CustomerSearch search() const;

protected:
    void showEvent(QShowEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void FormShow();
    void SpeedButton3Click();
    // Refills a combo box from a code list, keeping what is typed in it.
    static void refill(QComboBox *box, const QString &codeList);

    Ui::TDlgCltCx *ui;
    bool m_shown = false;
};
