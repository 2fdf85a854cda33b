#!/usr/bin/env bash
# Builds, makes the benchmark database build/bench/bench.db (100,000 demo
# customers with all their records) when it is missing, and runs every
# benchmark program in build/bench against it.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
scripts/build.sh
BUILD_DIR=${KELMOR_BUILD_DIR:-build}
BENCH_DIR="$BUILD_DIR/bench"
mkdir -p "$BENCH_DIR"

if [ ! -f "$BENCH_DIR/bench.db" ]; then
  echo "Creating $BENCH_DIR/bench.db with 100000 demo customers ..."
  "$BUILD_DIR/bin/Qelsetup" --driver sqlite --dir "$BENCH_DIR" --database bench --demo "${KELMOR_BENCH_CUSTOMERS:-100000}"
fi

# The programs find bench.db beside themselves; KELMOR_BENCH_DB names it too.
export KELMOR_BENCH_DB="$PWD/$BENCH_DIR/bench.db"
export QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen}
status=0
found=0
for b in "$BENCH_DIR"/bench_*; do
  [ -f "$b" ] && [ -x "$b" ] || continue
  found=1
  echo
  echo "== $(basename "$b")"
  "$b" || { echo "$(basename "$b") failed" >&2; status=1; }
done
[ "$found" -eq 1 ] || echo "No benchmark programs in $BENCH_DIR."
exit $status
