// A workstation for the concurrency tests: connects through the Config.ini
// it is given, as the program does, and adds customers, each with one contact
// and one product named after it, through the customer editor.
//
//   workstation_worker CONFIG COUNT TAG
//
// Prints "saved N refused M failed K" and exits 0.
#include "SaveAsWindow.h"
#include "app/AppState.h"
#include "app/TdmData.h"
#include "platform/Config.h"
#include "platform/Messages.h"
#include "workspace/ClientEditor.h"
#include "workspace/ClientWorkspace.h"

#include <QApplication>
#include <QTextStream>

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 4)
        return 2;
    const int count = args.at(2).toInt();
    const QString tag = args.at(3);
    QTextStream err(stderr);
    Messages::setHandler([&](const QString &text, int kind) {
        if (kind == MessQuestion)
            return 2; // "重新输入吗？" no: save the namesake all the same
        if (kind == MessInfo)
            return 0; // a code already taken: counted as refused
        err << tag << ": " << text << "\n";
        err.flush();
        return 0;
    });
    Config::openShared(args.at(1));
    TdmData dm;
    if (!dm.ConnectFromConfig())
        return 1;
    ClientWorkspace ws;
    if (!ws.RefreshClientList({QStringLiteral("select * from t_client where (1=1)  order by F_ID"), {}}, 2))
        return 1;
    int saved = 0, refused = 0, failed = 0;
    for (int i = 0; i < count; ++i) {
        const QString name = QStringLiteral("%1-%2").arg(tag).arg(i);
        ClientEditor e(&ws, 2);
        e.begin(EditMode::New);
        ws.detail(2)->append();
        ws.detail(2)->setValue(QStringLiteral("F_name"), name);
        ws.detail(8)->append();
        ws.detail(8)->setValue(QStringLiteral("F_GDname"), name);
        QVariantMap f = ClientEditor::emptyFields();
        f.insert(QStringLiteral("F_name"), name);
        // a few codes, so that workstations often want the same one
        if (i % 3 == 0)
            f.insert(QStringLiteral("F_code"), QStringLiteral("K%1").arg(i / 3 % 4));
        switch (saveAsWindow(e, f)) {
        case SaveResult::Saved:
        case SaveResult::SavedRefreshFailed:
            ++saved;
            break;
        case SaveResult::Invalid:
            ++refused;
            break;
        default:
            ++failed;
        }
        e.end(true);
    }
    QTextStream(stdout) << "saved " << saved << " refused " << refused << " failed " << failed << "\n";
    return 0;
}
