#include "AppConst.h"

#include "AppState.h"

#include <QAbstractButton>
#include <QAction>
#include <QComboBox>
#include <QFileInfo>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTableView>
#include <QTextEdit>
#include <QWidget>

namespace {
bool isImeControl(QWidget *w)
{
    return qobject_cast<QLineEdit *>(w) || qobject_cast<QTextEdit *>(w) || qobject_cast<QPlainTextEdit *>(w)
           || qobject_cast<QComboBox *>(w) || w->inherits("QTableView");
}

void walk(QWidget *container, const QString &ime)
{
    const auto children = container->children();
    for (QObject *child : children) {
        auto *w = qobject_cast<QWidget *>(child);
        if (!w)
            continue;
        // grids of our own (DataGrid) keep their setting, like the enhanced grids
        if (isImeControl(w) && !w->inherits("DataGrid")) {
            if (!ime.trimmed().isEmpty() && w->property("imeMode").toString() == QLatin1String("chinese")) {
                w->setProperty("imeName", ime);
                w->setAttribute(Qt::WA_InputMethodEnabled, true);
            } else {
                w->setProperty("imeMode", QStringLiteral("dontcare"));
                w->setInputMethodHints(Qt::ImhNone);
            }
        }
        walk(w, ime);
    }
}
} // namespace

void ApplyPreferredIme(QWidget *container)
{
    if (container)
        walk(container, appState().PreferredIme);
}

void SetChineseInput(QWidget *control, bool chinese)
{
    if (control)
        control->setProperty("imeMode", chinese ? QStringLiteral("chinese") : QStringLiteral("dontcare"));
}

int ImageKindOfFile(const QString &fileName)
{
    const QString ext = QFileInfo(fileName).suffix().toLower();
    if (ext == QLatin1String("bmp"))
        return 1;
    if (ext == QLatin1String("gif"))
        return 3;
    if (ext == QLatin1String("jpg") || ext == QLatin1String("jpeg"))
        return 2;
    return 0;
}

void EnableNavButtons(QObject *form, bool enabled)
{
    if (!form)
        return;
    for (const char *name : {"tbFirst", "tbPrior", "tbNext", "tbLast", "tbPrint", "tbSet", "tbExpert"}) {
        const QString n = QString::fromLatin1(name);
        if (auto *a = form->findChild<QAction *>(n))
            a->setEnabled(enabled);
        else if (auto *w = form->findChild<QWidget *>(n))
            w->setEnabled(enabled);
    }
}
