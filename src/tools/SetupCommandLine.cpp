#include "SetupCommandLine.h"

#include <QDir>
#include <QElapsedTimer>
#include <QTextStream>

namespace SetupCommandLine {
QString usage()
{
    return QStringLiteral(
        "用法：Qelsetup [选项]        （没有选项时打开设置窗口）\n"
        "  --driver sqlite|psql|mssql  数据库类型，默认 sqlite\n"
        "  --server HOST[:PORT]        服务器（psql、mssql），默认 (Local)\n"
        "  --database NAME             数据库名称，默认 Brenmoor（sqlite：DIR/NAME.db）\n"
        "  --password P                登录 sa 的密码\n"
        "  --dir DIR                   数据库文件和 Config.ini 所在的文件夹，默认本程序所在文件夹\n"
        "  --demo N                    生成 N 个演示客户及其业务数据\n"
        "  --seed N                    演示数据的随机种子（相同种子得到相同数据）\n"
        "  --force                     数据库已经存在时删除后重新创建\n"
        "  --write-config              把连接写入 DIR/Config.ini 的 [DBconn]（密码加密保存）\n");
}

bool parse(const QStringList &args, const QString &defaultDir, SetupOptions *options, bool *help, QString *error)
{
    SetupOptions o;
    o.settings.driver = QStringLiteral("sqlite");
    o.settings.database = QStringLiteral("Brenmoor");
    o.settings.baseDir = defaultDir;
    *help = false;
    for (int i = 0; i < args.size(); ++i) {
        QString arg = args.at(i);
        QString value;
        bool hasValue = false;
        const int eq = arg.indexOf(QLatin1Char('='));
        if (arg.startsWith(QLatin1String("--")) && eq > 0) {
            value = arg.mid(eq + 1);
            arg = arg.left(eq);
            hasValue = true;
        }
        auto takeValue = [&]() -> bool {
            if (hasValue)
                return true;
            if (i + 1 >= args.size()) {
                *error = QStringLiteral("选项 %1 缺少取值").arg(arg);
                return false;
            }
            value = args.at(++i);
            return true;
        };
        if (arg == QLatin1String("--help") || arg == QLatin1String("-h")) {
            *help = true;
        } else if (arg == QLatin1String("--force")) {
            o.force = true;
        } else if (arg == QLatin1String("--write-config")) {
            o.writeConfig = true;
        } else if (arg == QLatin1String("--driver")) {
            if (!takeValue())
                return false;
            const QString d = value.trimmed().toLower();
            if (d != QLatin1String("sqlite") && d != QLatin1String("psql") && d != QLatin1String("mssql")) {
                *error = QStringLiteral("未知的数据库类型：%1（可用 sqlite、psql、mssql）").arg(value);
                return false;
            }
            o.settings.driver = d;
        } else if (arg == QLatin1String("--server")) {
            if (!takeValue())
                return false;
            o.settings.server = value.trimmed();
        } else if (arg == QLatin1String("--database")) {
            if (!takeValue())
                return false;
            o.settings.database = value.trimmed();
        } else if (arg == QLatin1String("--password")) {
            if (!takeValue())
                return false;
            o.settings.password = value;
        } else if (arg == QLatin1String("--dir")) {
            if (!takeValue())
                return false;
            o.settings.baseDir = QDir(value).absolutePath();
        } else if (arg == QLatin1String("--demo") || arg == QLatin1String("--seed")) {
            if (!takeValue())
                return false;
            bool ok = false;
            const qlonglong n = value.trimmed().toLongLong(&ok);
            if (!ok || n < 0 || n > (arg == QLatin1String("--demo") ? 10000000LL : 4294967295LL)) {
                *error = QStringLiteral("选项 %1 的取值不正确：%2").arg(arg, value);
                return false;
            }
            if (arg == QLatin1String("--demo"))
                o.demoCustomers = int(n);
            else
                o.seed = quint32(n);
        } else {
            *error = QStringLiteral("未知的选项：%1").arg(args.at(i));
            return false;
        }
    }
    if (o.settings.database.isEmpty()) {
        *error = QStringLiteral("请输入数据库名称！");
        return false;
    }
    *options = o;
    return true;
}

int run(const SetupOptions &options, QTextStream &out, QTextStream &err)
{
    QElapsedTimer timer;
    timer.start();
    DatabaseCreator creator(options);
    int lastPercent = -100;
    creator.setProgress([&](const QString &text, int percent) {
        // the demo data reports often: one line every tenth of the way
        if (text.startsWith(QStringLiteral("正在生成演示数据：")) && percent < lastPercent + 10 && percent < 95)
            return;
        lastPercent = percent;
        out << text << Qt::endl;
    });
    QString error;
    if (!creator.run(&error)) {
        err << QStringLiteral("错误：") << error << Qt::endl;
        return 1;
    }
    out << QStringLiteral("完成，用时 %1 秒").arg(timer.elapsed() / 1000.0, 0, 'f', 1) << Qt::endl;
    return 0;
}
} // namespace SetupCommandLine
