#pragma once

#include "ClientWorkspace.h"

// Tells the operator why a workspace operation failed (nothing when it
// worked, or when there was nothing to say). Returns whether it worked.
bool reportOutcome(const ClientWorkspace::Outcome &outcome);
