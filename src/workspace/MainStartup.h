#pragma once

#include "app/CommandRegistry.h"
#include "app/Startup.h"

// The commands of every subsystem, for the program's main window.
CommandRegistry ProgramCommands();

// The program's start-up: the main window with ProgramCommands(), the first
// login, and the main window shown after it.
StartupParts MainStartupParts(const QString &programDir = {});
