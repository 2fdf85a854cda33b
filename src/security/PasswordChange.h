#pragma once

#include <QString>

// The change of the logged-in operator's own password.
namespace PasswordChange {
enum class Result {
    NoOperator,  // no row for the code: nothing happens
    OldWrong,    // "旧口令输入错误，不能更改！"
    NewMismatch, // "新口令错误，不能更改！"
    Changed,     // "更改口令成功！"
    Failed       // the database refused the update
};

// The old password is compared exactly (blanks count) with the stored one;
// the new and the repeated one are compared trimmed, and the new one is stored
// as typed.
Result Change(const QString &operCode, const QString &oldPass, const QString &newPass, const QString &repeatPass);
QString MessageOf(Result result);
int KindOf(Result result);
} // namespace PasswordChange
