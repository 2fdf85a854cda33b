#pragma once

#include "RecordEditor.h"
#include "app/FormFields.h"

#include <QDialog>

#include <functional>
#include <memory>

class DataNavigator;
class QAbstractButton;
class QAction;
class QCheckBox;
class QLineEdit;

// The edit windows of the records: one record of a kind added (mode 0),
// changed (1) or copied (2). The base binds the kind's fields to the form's
// controls by name, sets the title ("联系人档案 - 新增"), shows continuous add
// in modes 0 and 2 and the navigator in mode 1, fills code-list boxes when
// they are entered, moves on with Enter (memos and grids keep it), saves with
// Ctrl+S and the OK button through the member's RecordEditor, and closes with
// Esc. A member sets up its form, calls setUpBase(), and adds its own rules.
class RecordEditWindow : public QDialog
{
    Q_OBJECT
public:
    RecordEditWindow(const RecordKindInfo &kind, QWidget *parent = nullptr);
    ~RecordEditWindow() override;

    // Prepares the window for the mode, shows it modally and cleans up.
    void ShowRecord(int mode);
    void SetEditMode(bool edit);
    EditMode mode() const { return m_mode; }
    const RecordKindInfo &kind() const { return m_kind; }
    FormFields &fields() { return *m_fields; }

    // The save as a window runs it: shows the result's message, asks its
    // questions (no saves again, yes puts the focus on the field) and gives
    // the final result. `focus` moves to a field.
    static SaveResult runSave(RecordEditor &editor, QVariantMap &fields,
                              const std::function<void(const QString &column)> &focus = {});

protected:
    // Called by the member once its controls exist: binds the fields (a
    // control the kind names that the form lacks stops a test or debug build)
    // and wires the buttons; null where the form has no such control.
    struct Controls
    {
        QAbstractButton *ok = nullptr;
        QAbstractButton *cancel = nullptr;
        QCheckBox *continuous = nullptr;
        DataNavigator *navigator = nullptr;
    };
    void setUpBase(const Controls &controls);

    virtual RecordEditor &editor() = 0;
    // Mode 0 or 2 (clear or copy) and 1 (load) before the window shows; the
    // default shows empty fields or the editor's current record.
    virtual void prepare(EditMode mode);
    // The window closed (accepted or not).
    virtual void finish(bool accepted);
    // Before the fields are collected for a save.
    virtual void beforeSave() {}
    // After a save in mode 0 or 2 with continuous add: ready for the next.
    virtual void nextRecord();
    // The navigator moved to another record.
    virtual void navigated();
    // The record's values into the controls; the default shows the map.
    virtual void showFields(const QVariantMap &values);
    virtual QVariantMap collectFields() { return m_fields->collect(); }
    // The current record of the caller as a field map (mode 1 and 2).
    virtual QVariantMap currentFields() = 0;

    // The mail button beside an e-mail box: a mailto: address, or a message.
    void sendMail(QLineEdit *box, const QString &column);
    // The web button beside an address box.
    static void openWeb(QLineEdit *box);

    void Button1Click();

private:
    void fillCodeList(class QComboBox *box, const RecordField &field);
    bool eventFilter(QObject *watched, QEvent *event) override;

    const RecordKindInfo &m_kind;
    std::unique_ptr<FormFields> m_fields;
    Controls m_controls;
    EditMode m_mode = EditMode::New;
    QAction *m_saveAction = nullptr;
};
