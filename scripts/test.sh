#!/usr/bin/env bash
# Installs what is missing, builds, and runs the whole test suite with CTest.
# When PostgreSQL is installed, a throwaway cluster on loopback serves the
# database tests that run on PostgreSQL too.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
scripts/build.sh
BUILD_DIR=${KELMOR_BUILD_DIR:-build}

if [ -x scripts/pg-test-server.sh ] && [ -z "${KELMOR_TEST_PSQL:-}" ]; then
  # shellcheck disable=SC1091
  source scripts/pg-test-server.sh
  trap pg_test_server_stop EXIT
  pg_test_server_start || echo "PostgreSQL test server not available; PostgreSQL cases are skipped."
fi

export QT_QPA_PLATFORM=offscreen
ctest --test-dir "$BUILD_DIR" --output-on-failure -j "$(nproc)" "$@"
