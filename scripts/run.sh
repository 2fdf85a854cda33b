#!/usr/bin/env bash
# Installs what is missing, builds, makes the embedded database with demo data
# on the first run, and starts the program.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
scripts/build.sh
BIN=${KELMOR_BUILD_DIR:-build}/bin

# A workstation pointed at a server (driver=psql or mssql in Config.ini) has no
# local database to make.
if [ ! -f "$BIN/Brenmoor.db" ] && ! grep -Eqi '^[[:space:]]*driver[[:space:]]*=[[:space:]]*(psql|mssql)' "$BIN/Config.ini" 2>/dev/null; then
  echo "Creating the embedded database $BIN/Brenmoor.db with demo data ..."
  "$BIN/Qelsetup" --driver sqlite --database Brenmoor --dir "$BIN" --demo "${KELMOR_DEMO_CUSTOMERS:-5000}"
fi

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
  echo "No display found: starting the program on a virtual display (Xvfb)."
  exec xvfb-run -a -s "-screen 0 1440x900x24" "$BIN/kelmor"
fi
exec "$BIN/kelmor"
