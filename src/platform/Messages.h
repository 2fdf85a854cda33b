#pragma once

#include <QString>

#include <functional>

class QWidget;

// Message kinds of ShowMess. MessDestructive is a question whose yes destroys
// something (a delete, a data clear, a restore, an overwrite): its default
// button is 否, so that Enter never does it.
enum MessKind { MessInfo = 0, MessQuestion = 1, MessWarning = 2, MessError = 3, MessDestructive = 4 };

inline bool isQuestion(int kind) { return kind == MessQuestion || kind == MessDestructive; }

// The one way to tell or ask the operator. A question answers 1 (yes) or 2
// (no); closing the box is no. Other kinds answer 0.
int ShowMess(const QString &text, int kind);

// Places and sizes a window before it is shown modally. Mode 0: statistics
// windows; mode 1: edit windows; mode 2: list and management windows.
void DispFormPos(QWidget *window, int mode);

// Reversible coding of stored passwords (operator passwords, the database
// password in Config.ini). The coded text is plain ASCII. GetPass of a text
// that is not in the coded form gives it back unchanged, so a password typed
// into Config.ini by hand still works.
QString GetPass(const QString &stored);
QString SavePass(const QString &clear);

namespace Messages {
using Handler = std::function<int(const QString &text, int kind)>;
// Replaces the message box (tests script the answers). An empty handler
// restores the real box.
void setHandler(Handler handler);
// The window that message boxes and placed windows relate to.
void setMainWindow(QWidget *window);
QWidget *mainWindow();
} // namespace Messages
