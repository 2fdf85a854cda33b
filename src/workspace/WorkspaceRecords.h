#pragma once

// Gives the record catalogue the edit windows of the customer workspace (the
// contacts); more than one call changes nothing.
void registerWorkspaceEditWindows();
