#pragma once

#include "platform/Database.h"

#include <QString>

// The fixed texts that many windows show.
namespace Msg {
inline QString DeleteFailed() { return QStringLiteral("删除操作失败，请检查数据连接... "); }
inline QString OperationFailed() { return QStringLiteral("操作失败，请检查数据连接... "); }
inline QString OpenFailed() { return QStringLiteral("打开操作失败，请检查数据连接... "); }
inline QString SaveFailed() { return QStringLiteral("保存失败，请检测数据库连接！"); }
inline QString ConfigBroken() { return QStringLiteral("配置文件不存在或出错，请先配置系统！"); }
inline QString ConnectFailed() { return QStringLiteral("数据连接失败，是否要安装配置数据库？"); }
inline QString DatabaseBusy() { return QStringLiteral("数据库正忙，其他用户正在写入，请稍后再试！"); }
inline QString DatabaseBusyAtStart() { return QStringLiteral("数据库正忙，被其他程序锁定，请稍后再启动本系统！"); }
inline QString RecordChanged() { return QStringLiteral("该记录已被其他用户修改，请刷新后再修改！"); }
// What to tell the operator about a failed save: a lock that did not come free
// in time is no broken connection.
inline QString SaveFailedFor(const QString &error) { return Sql::isBusyError(error) ? DatabaseBusy() : SaveFailed(); }
inline QString DeleteFailedFor(const QString &error) { return Sql::isBusyError(error) ? DatabaseBusy() : DeleteFailed(); }
} // namespace Msg
