#pragma once

#include <QObject>

class QWidget;

// Enter in a field moves the focus to the next control, as the operators'
// windows have always done. Push buttons keep Enter (it presses them),
// memo boxes keep it for new lines and grids for their cells; check boxes and radio buttons move on
// like fields.
class EnterAsTab : public QObject
{
    Q_OBJECT
public:
    // Watches every control inside the window, present and added later. The
    // memos and read-only boxes present now are set up for Tab as well.
    static void install(QWidget *window);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    explicit EnterAsTab(QWidget *window);
    QWidget *m_window;
};
