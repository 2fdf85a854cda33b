#pragma once

#include <QDialog>

namespace Ui {
class TFrmLimitGl;
}

// The editor of one operator (page tsOper) or one role with its scope and
// permissions (pages tsPart and tsLimits).
class TFrmLimitGl : public QDialog
{
    Q_OBJECT
public:
    explicit TFrmLimitGl(QWidget *parent = nullptr);
    ~TFrmLimitGl() override;

    // Prepare the window for an operator or a role; with `edit` the record of
    // `code` is loaded. False when it cannot be found.
    bool openOperator(const QString &code, bool edit);
    bool openRole(const QString &code, bool edit);

    bool isEditing() const { return !m_editedCode.isEmpty(); }
    bool isRole() const { return m_role; }
    // The code of the last record saved, empty when nothing was saved.
    QString lastSavedCode() const { return m_lastSaved; }

public slots:
    void btnSaveClick();
    void selectEmpNames();

private:
    void clearFields();
    void setEditing(const QString &code);
    void updateEmpNameVisibility();
    int empFlag() const;
    void setEmpFlag(int flag);
    void fillLimits();

    Ui::TFrmLimitGl *ui;
    bool m_role = false;
    QString m_editedCode;
    QString m_lastSaved;
};

// Operator and role editing as the administration window calls it: the code
// saved last, or `code` when nothing was saved.
QString EditOperator(const QString &code, bool edit, QWidget *parent = nullptr);
QString EditRole(const QString &code, bool edit, QWidget *parent = nullptr);
