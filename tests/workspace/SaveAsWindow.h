#pragma once

#include "records/RecordEditWindow.h"

// Saves through an editor as its edit window does: the result's message is
// shown (the test's script sees it), questions are asked, and the column the
// window would focus is kept for lastFocus().
inline QString &lastFocus()
{
    static QString focus;
    return focus;
}

inline SaveResult::Status saveAsWindow(RecordEditor &editor, QVariantMap &fields)
{
    lastFocus().clear();
    return RecordEditWindow::runSave(editor, fields, [](const QString &column) { lastFocus() = column; }).status;
}

inline SaveResult::Status saveAsWindow(RecordEditor &editor, const QVariantMap &fields)
{
    QVariantMap copy = fields;
    return saveAsWindow(editor, copy);
}
