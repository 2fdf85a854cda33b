#pragma once

#include <QString>

class QObject;
class QWidget;

// Fixed texts of the program.
inline QString AppName() { return QStringLiteral("Kelmor客户管理软件 "); }
inline QString AppVersion() { return QStringLiteral("v2.53(网络版) "); }
inline QString VendorCaption() { return QStringLiteral("Kelmor软件"); }
inline QString AppTitle() { return QStringLiteral("Kelmor客户管理软件(网络版)"); }
// The outside tools the program starts by name.
inline QString SetupToolName() { return QStringLiteral("Qelsetup"); }
inline QString ConnToolName() { return QStringLiteral("Qelconn"); }

// Walks the container's edit controls: with a preferred input method chosen in
// this run, the Chinese-input controls ask for it; otherwise every listed
// control is left to the operator's current input method.
void ApplyPreferredIme(QWidget *container);

// 1 bitmap, 2 JPEG, 3 GIF, 0 anything else (by extension, ignoring case).
int ImageKindOfFile(const QString &fileName);

// Enables or disables the seven navigation and print buttons of a window.
void EnableNavButtons(QObject *form, bool enabled);

// Marks an edit control as one where the operator types Chinese.
void SetChineseInput(QWidget *control, bool chinese = true);
