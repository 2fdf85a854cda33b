#pragma once

#include "app/AppState.h"

#include <QString>

class QWidget;

// What the login window decides: who an operator code names, whether a
// password is right, and the session state a successful login puts in force.
namespace LoginService {
// The operator's name, empty when no operator has the code.
QString OperatorName(const QString &code);
// The stored password, decoded and trimmed, against the typed one, trimmed;
// case matters.
bool PasswordMatches(const QString &code, const QString &typed);

// The complete state for the operator, read from the database and Config.ini.
// False, with the message for the operator, when it cannot be built (a
// database failure, or KeyValue rows 12..14 that are not whole numbers).
bool BuildLoginState(const QString &code, const QString &name, AppState *state, QString *error);

// After a correct password: builds the state and only then puts it in force
// as a whole: Config.ini CurOperCode, the state, the "登录成功！" log row, the
// permission pass over the main window and its status bar. On failure the
// message is shown and nothing has changed.
bool LoadLoginState(const QString &code, const QString &name, QWidget *mainWindow);

// The decimals of KeyValue rows 12..14 as the login reads them; false when the
// text is not a whole number.
bool ParseDecimals(const QString &text, int *decimals);

QString BadSettingsMessage();
} // namespace LoginService
