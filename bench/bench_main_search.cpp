// The main window's search as the operator feels it: from a keystroke in the
// search box (or a click on a category of the industry tree) to the refreshed
// customer list, that is the count label rewritten and the first screen of
// rows painted. Against raw SQLite running the same statement with the same
// values in the same run: stepping through every row and reading the first
// screen's cells.
//
//   bench_main_search [path/to/database.db]
//
// The database defaults to bench.db beside the program (KELMOR_BENCH_DB names
// it too), which scripts/bench.sh makes with "Qelsetup --demo 100000".

#include "BenchUtil.h"
#include "app/TdmData.h"
#include "platform/DataGrid.h"
#include "platform/DataSet.h"
#include "platform/Database.h"
#include "platform/Messages.h"
#include "security/LoginService.h"
#include "workspace/ClientListPanel.h"
#include "workspace/ClientWorkspace.h"
#include "workspace/TFrmMain.h"

#include <QApplication>
#include <QComboBox>
#include <QFileInfo>
#include <QHeaderView>
#include <QInputMethodEvent>
#include <QLabel>
#include <QLineEdit>
#include <QTreeWidget>

#include <sqlite3.h>

namespace {
constexpr int kRuns = 9;

// The same statement on the C API: named parameters bound by name, every row
// stepped, the first screen's cells read as text.
double rawSqlite(sqlite3 *db, const SqlStatement &st, int screenRows, int *count)
{
    const QByteArray sql = st.sql.toUtf8();
    return Bench::medianMs(kRuns, [&] {
        sqlite3_stmt *q = nullptr;
        sqlite3_prepare_v2(db, sql.constData(), -1, &q, nullptr);
        for (auto it = st.params.cbegin(); it != st.params.cend(); ++it) {
            const int i = sqlite3_bind_parameter_index(q, (QLatin1Char(':') + it.key()).toUtf8().constData());
            const QByteArray v = it.value().toString().toUtf8();
            if (i > 0)
                sqlite3_bind_text(q, i, v.constData(), int(v.size()), SQLITE_TRANSIENT);
        }
        int n = 0;
        size_t sink = 0;
        const int columns = sqlite3_column_count(q);
        while (sqlite3_step(q) == SQLITE_ROW) {
            if (n < screenRows)
                for (int c = 0; c < columns; ++c)
                    if (const unsigned char *t = sqlite3_column_text(q, c))
                        sink += t[0];
            ++n;
        }
        sqlite3_finalize(q);
        *count = n;
        if (sink == 1)
            std::printf(" ");
    });
}

void commit(QWidget *w, const QString &text)
{
    QInputMethodEvent e;
    e.setCommitString(text);
    QCoreApplication::sendEvent(w, &e);
}

// What the operator sees once the refresh is done.
void paint(TFrmMain &w)
{
    w.DBGridEh1()->viewport()->repaint();
    w.clientList()->countLabel()->repaint();
}

QTreeWidgetItem *findCategory(QTreeWidget *tree, const QString &caption)
{
    return tree->findItems(caption, Qt::MatchExactly | Qt::MatchRecursive).value(0);
}
} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QString file = argc > 1 ? QString::fromLocal8Bit(argv[1]) : qEnvironmentVariable("KELMOR_BENCH_DB");
    if (file.isEmpty())
        file = QCoreApplication::applicationDirPath() + QStringLiteral("/bench.db");
    if (!QFileInfo::exists(file)) {
        std::fprintf(stderr, "no database %s (make one with: Qelsetup --demo 100000)\n", qPrintable(file));
        return 2;
    }
    DbSettings s;
    s.database = QFileInfo(file).absoluteFilePath();
    QString error;
    if (!Database::open(TdmData::connectionName(), s, &error)) {
        std::fprintf(stderr, "cannot open %s: %s\n", qPrintable(file), qPrintable(error));
        return 2;
    }
    TdmData dm;
    dm.UseOpenConnection();
    Messages::setHandler([](const QString &text, int) {
        std::fprintf(stderr, "message: %s\n", qPrintable(text));
        return 2;
    });

    TFrmMain w;
    if (!LoginService::LoadLoginState(QStringLiteral("000"), QStringLiteral("系统管理员"), &w))
        return 2;
    w.resize(1280, 800);
    w.show();
    QApplication::processEvents();
    auto *edit = w.findChild<QLineEdit *>(QStringLiteral("Edit1"));
    auto *field = w.findChild<QComboBox *>(QStringLiteral("ComboBox1"));
    auto *tree = w.findChild<QTreeWidget *>(QStringLiteral("tvTree"));
    DataGrid *grid = w.DBGridEh1();
    DataSet *list = w.QryMain();
    const int screenRows = qMax(1, grid->viewport()->height() / qMax(1, grid->verticalHeader()->defaultSectionSize()));

    sqlite3 *raw = nullptr;
    sqlite3_open_v2(s.database.toUtf8().constData(), &raw, SQLITE_OPEN_READONLY, nullptr);
    std::printf("database: %s, %d customers in the list, %d rows on the first screen\n", qPrintable(file),
                list->recordCount(), screenRows);

    // --- a name search: "科" typed, then the keystroke "技"
    field->setCurrentIndex(0);
    edit->setFocus();
    int shown = 0;
    std::vector<double> keyTimes;
    for (int i = 0; i < kRuns; ++i) {
        edit->setText(QStringLiteral("科")); // the keystroke before, not timed
        paint(w);
        QElapsedTimer t;
        t.start();
        commit(edit, QStringLiteral("技"));
        paint(w);
        keyTimes.push_back(t.nsecsElapsed() / 1e6);
        shown = list->recordCount();
    }
    std::sort(keyTimes.begin(), keyTimes.end());
    const double keyMs = keyTimes[keyTimes.size() / 2];
    const QString label = w.clientList()->countLabel()->text();
    int rawCount = 0;
    const double keyBase = rawSqlite(raw, w.workspace()->currentStatement(), screenRows, &rawCount);
    std::printf("name search '科技': %d customers (%s), raw SQLite %d\n", shown, qPrintable(label), rawCount);
    Bench::report("keystroke in Edit1 -> list painted (name search)", keyMs, keyBase, 1.5);

    // --- a category of the industry tree with its sub-categories
    edit->clear();
    field->setCurrentIndex(-1);
    QTreeWidgetItem *root = tree->topLevelItem(0);
    QTreeWidgetItem *category = findCategory(tree, QStringLiteral("制造业"));
    if (!category && root && root->childCount() > 0)
        category = root->child(0);
    if (!category) {
        std::fprintf(stderr, "the database has no industry categories\n");
        return 2;
    }
    std::vector<double> treeTimes;
    for (int i = 0; i < kRuns; ++i) {
        tree->setCurrentItem(root);
        paint(w);
        QElapsedTimer t;
        t.start();
        tree->setCurrentItem(category);
        paint(w);
        treeTimes.push_back(t.nsecsElapsed() / 1e6);
        shown = list->recordCount();
    }
    std::sort(treeTimes.begin(), treeTimes.end());
    const double treeMs = treeTimes[treeTimes.size() / 2];
    const double treeBase = rawSqlite(raw, w.workspace()->currentStatement(), screenRows, &rawCount);
    std::printf("category '%s': %d customers, raw SQLite %d\n", qPrintable(category->text(0)), shown, rawCount);
    Bench::report("tree category click -> list painted", treeMs, treeBase, 1.5);

    sqlite3_close(raw);
    const bool fast = keyMs < 100 && treeMs < 100;
    std::printf("both under 100 ms: %s\n", fast ? "ok" : "OVER TARGET");
    w.closeWithoutAsking();
    return 0;
}
