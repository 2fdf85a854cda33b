#pragma once

#include <QList>
#include <QString>

class QObject;
class QWidget;

// The permission codes: each shows or hides one action of the main window.
// The main window's actions are named "Action" + code; the permission pass
// finds them by name, so it needs nothing of the window's class.
namespace Permissions {
struct Entry
{
    QString code;     // "101"
    QString category; // menu category: 文件, 编辑, 输出, 统计, 数据, 主编辑
    QString caption;  // the action's caption
};

// Every code in the order the permission pass applies them.
const QList<Entry> &table();
// The entry of a code; null when the code is not one of the table.
const Entry *find(const QString &code);
QString actionName(const QString &code);
// The menu category of a code by its first digit (1 文件 ... 5 数据, 9 主编辑).
QString categoryOf(const QString &code);

// The permission pass over the main window's actions: operator "000" sees
// every coded action, anyone else the codes his role holds; then the derived
// rules (Action31 with Action301, the top menus mi100..mi500 with their
// actions, tbLDsj with Action217, tbXSgl with Action214).
void SetLimits(QWidget *mainWindow, const QString &operCode);

// Shows or hides a QAction, a menu (by its menu action) or a widget; a widget
// standing in a tool bar is switched through the tool bar's action for it.
void setObjectVisible(QObject *object, bool visible);
bool isObjectVisible(const QObject *object);
} // namespace Permissions
