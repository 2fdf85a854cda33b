#pragma once

#include <QPointer>
#include <QWidget>

class DataSet;
class QToolButton;

// First, prior, next and last over a data set, as the edit windows offer it
// in edit mode. The buttons follow the data set's position.
class DataNavigator : public QWidget
{
    Q_OBJECT
public:
    explicit DataNavigator(QWidget *parent = nullptr);

    void setDataSet(DataSet *dataSet);
    DataSet *dataSet() const { return m_dataSet; }

signals:
    // After a button moved the data set.
    void moved();

private:
    void go(int where);
    void updateButtons();

    QPointer<DataSet> m_dataSet;
    QToolButton *m_buttons[4] = {};
};
