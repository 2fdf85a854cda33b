#pragma once

class QWidget;

// Windows come back on this workstation as they were left: size, position,
// maximised state and the positions of their named splitters, kept in
// Config.ini ([Windows], by the window's object name). A place on a screen
// that no longer exists is not used.
namespace WindowMemory {
// Puts the window where it was left; false (the window as it is) when it was
// never left anywhere, or not on a screen that exists now.
bool restore(QWidget *window);
void save(const QWidget *window);
} // namespace WindowMemory
