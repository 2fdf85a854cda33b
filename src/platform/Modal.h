#pragma once

#include <QString>

#include <functional>

class QDialog;
class QWidget;

// Every modal window, file dialog and input box of the program goes through
// these hooks. The program shows the real thing; tests install handlers that
// act on the prepared dialog and return, so nested flows run headless.
int execModal(QDialog *dialog);

namespace Modal {
using Handler = std::function<int(QDialog *dialog)>;
void setHandler(Handler handler);

enum class FileKind { Open, Save, Directory };
using FileHandler = std::function<QString(FileKind kind, const QString &caption, const QString &dir, const QString &filter)>;
void setFileHandler(FileHandler handler);

// Empty text when cancelled.
QString getOpenFileName(QWidget *parent, const QString &caption, const QString &dir = {}, const QString &filter = {});
QString getSaveFileName(QWidget *parent, const QString &caption, const QString &dir = {}, const QString &filter = {});
QString getExistingDirectory(QWidget *parent, const QString &caption, const QString &dir = {});
} // namespace Modal
