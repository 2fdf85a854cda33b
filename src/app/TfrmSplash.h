#pragma once

#include <QStringList>
#include <QWidget>

class QLabel;

// The borderless start-up picture with its progress line.
class TfrmSplash : public QWidget
{
    Q_OBJECT
public:
    explicit TfrmSplash(QWidget *parent = nullptr);

    void setLabel(const QString &text);
    void repaintLabel();
    QString labelText() const;
    // Every text the line showed, in order (kept for diagnosis and tests).
    QStringList history() const { return m_history; }

    QLabel *Label1 = nullptr;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QStringList m_history;
};
