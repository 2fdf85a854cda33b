#pragma once

class CommandRegistry;
class TFrmMain;
struct CommandContext;

// The commands of the main window and its customer workspace: the window's
// own (login, exit, tools, help), the customer list's and the customer edit
// window's.
void registerWorkspaceCommands(CommandRegistry &registry);

// The parts of registerWorkspaceCommands, each beside the window code it
// belongs to (TFrmMain.cpp, TFrmMainCommands.cpp, TFrmMainDetails.cpp).
namespace WorkspaceCommands {
void registerWindowCommands(CommandRegistry &registry);
void registerClientListCommands(CommandRegistry &registry);
void registerClientEditCommands(CommandRegistry &registry);
// The main window running the command; null when another host runs it (the
// workspace's commands then do nothing).
TFrmMain *mainWindow(const CommandContext &context);
} // namespace WorkspaceCommands
