#pragma once

#include "app/Startup.h"

// The program's start-up: the main window, the first login, and the main
// window shown after it.
StartupParts MainStartupParts(const QString &programDir = {});
