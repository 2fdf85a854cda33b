#include "Modal.h"

#include "WindowMemory.h"

#include <QDialog>
#include <QFileDialog>

namespace {
Modal::Handler g_handler;
Modal::FileHandler g_fileHandler;

QString runFile(Modal::FileKind kind, QWidget *parent, const QString &caption, const QString &dir, const QString &filter)
{
    if (g_fileHandler)
        return g_fileHandler(kind, caption, dir, filter);
    switch (kind) {
    case Modal::FileKind::Open:
        return QFileDialog::getOpenFileName(parent, caption, dir, filter);
    case Modal::FileKind::Save:
        return QFileDialog::getSaveFileName(parent, caption, dir, filter);
    case Modal::FileKind::Directory:
        return QFileDialog::getExistingDirectory(parent, caption, dir);
    }
    return QString();
}
} // namespace

int execModal(QDialog *dialog)
{
    if (!dialog)
        return QDialog::Rejected;
    // a modal window is closed, not minimised or maximised: the program
    // waits for it
    if (!dialog->isVisible()) {
        Qt::WindowFlags flags = dialog->windowFlags() & ~(Qt::WindowMinMaxButtonsHint | Qt::WindowContextHelpButtonHint);
        // a dialog that chose its buttons keeps the rest of its choice
        if (!(flags & Qt::CustomizeWindowHint))
            flags |= Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
        dialog->setWindowFlags(flags);
    }
    // a dialog comes back where the operator left it
    WindowMemory::restore(dialog);
    int r = 0;
    if (g_handler) {
        r = g_handler(dialog);
        dialog->setResult(r);
    } else {
        r = dialog->exec();
    }
    WindowMemory::save(dialog);
    return r;
}

namespace Modal {
void setHandler(Handler handler) { g_handler = std::move(handler); }
void setFileHandler(FileHandler handler) { g_fileHandler = std::move(handler); }

QString getOpenFileName(QWidget *parent, const QString &caption, const QString &dir, const QString &filter)
{
    return runFile(FileKind::Open, parent, caption, dir, filter);
}
QString getSaveFileName(QWidget *parent, const QString &caption, const QString &dir, const QString &filter)
{
    return runFile(FileKind::Save, parent, caption, dir, filter);
}
QString getExistingDirectory(QWidget *parent, const QString &caption, const QString &dir)
{
    return runFile(FileKind::Directory, parent, caption, dir, QString());
}
} // namespace Modal
