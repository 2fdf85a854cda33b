#pragma once

#include <QDialog>
#include <QString>

#include <functional>

class QLabel;
class QLineEdit;
class QPushButton;

// The small box in which the category window asks for a caption. The check
// runs on "确定"; a refused caption is explained and the box stays open with
// the text as typed.
class TDlgCategoryCaption : public QDialog
{
    Q_OBJECT
public:
    using Check = std::function<QString(const QString &caption)>;

    TDlgCategoryCaption(const QString &title, const QString &initial, Check check, QWidget *parent = nullptr);

    // The caption as entered, without surrounding blanks.
    QString value() const;

    // Asks modally; empty when cancelled or left blank.
    static QString ask(QWidget *parent, const QString &title, const QString &initial, Check check);

public slots:
    void accept() override;

private:
    Check m_check;
    QLabel *m_label;
    QLineEdit *m_edit;
    QPushButton *m_ok;
    QPushButton *m_cancel;
};
