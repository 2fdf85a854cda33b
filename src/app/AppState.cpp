#include "AppState.h"

namespace {
AppState g_state;
}

AppState &appState() { return g_state; }

void replaceAppState(const AppState &state)
{
    const QString dbName = g_state.DbName;
    g_state = state;
    if (g_state.DbName.isEmpty())
        g_state.DbName = dbName;
}
