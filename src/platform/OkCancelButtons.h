#pragma once

class QDialog;
class QHBoxLayout;
class QPushButton;

struct OkCancelOptions
{
    // 确定 is the dialog's default button: Enter in a field presses it.
    // false leaves the choice to QDialog, which on showing makes the first
    // button after the focused field the default.
    bool okIsDefault = true;
    // 确定 calls the dialog's accept(), so a dialog that checks its input
    // there is served too; false where the dialog connects 确定 itself.
    bool okAccepts = true;
    // 确定(&O) and 取消(&C), for windows whose fields all have mnemonics.
    bool mnemonics = false;
};

// The 确定 and 取消 buttons of a small dialog, right-aligned in a row that the
// caller adds to its layout. Their object names are btnOk and btnCancel
// (scripts and tests find them so); 取消 rejects, as Esc does.
struct OkCancelButtons
{
    QPushButton *ok = nullptr;
    QPushButton *cancel = nullptr;
    QHBoxLayout *row = nullptr;
};

// Made where the constructor would have made the two buttons, so that the
// tab order stays the order of creation.
OkCancelButtons addOkCancelButtons(QDialog *dialog, const OkCancelOptions &options = {});
