#!/usr/bin/env bash
# A throwaway PostgreSQL cluster for the test suite: a fresh cluster in a
# temporary folder, listening on 127.0.0.1 only, on a free port, with the
# superuser "sa" and a random password. Source this file, then
#
#   pg_test_server_start   # exports KELMOR_TEST_PSQL=127.0.0.1:PORT and
#                          # KELMOR_TEST_PSQL_PASSWORD
#   pg_test_server_stop    # stops the server and removes the folder
#
# Run directly ("scripts/pg-test-server.sh start") it starts a cluster, prints
# the two variables and leaves the server running until "... stop DIR".

_pg_test_bindir() {
  local d
  for d in $(ls -d /usr/lib/postgresql/*/bin 2>/dev/null | sort -V -r); do
    [ -x "$d/initdb" ] && [ -x "$d/pg_ctl" ] && { echo "$d"; return 0; }
  done
  command -v initdb >/dev/null 2>&1 && command -v pg_ctl >/dev/null 2>&1 && { dirname "$(command -v pg_ctl)"; return 0; }
  return 1
}

# Runs a command as the cluster's owner: the server refuses to run as root.
_pg_test_as_owner() {
  if [ "$(id -u)" -eq 0 ]; then
    runuser -u "$PG_TEST_OWNER" -- "$@"
  else
    "$@"
  fi
}

_pg_test_free_port() {
  python3 - <<'EOF' 2>/dev/null
import socket
s = socket.socket()
s.bind(("127.0.0.1", 0))
print(s.getsockname()[1])
s.close()
EOF
}

pg_test_server_start() {
  local bindir port password
  bindir=$(_pg_test_bindir) || { echo "pg-test-server: PostgreSQL is not installed" >&2; return 1; }
  if [ "$(id -u)" -eq 0 ]; then
    PG_TEST_OWNER=postgres
    id "$PG_TEST_OWNER" >/dev/null 2>&1 || { echo "pg-test-server: no user postgres" >&2; return 1; }
  else
    PG_TEST_OWNER=$(id -un)
  fi
  port=$(_pg_test_free_port)
  [ -n "$port" ] || { echo "pg-test-server: no free port" >&2; return 1; }
  password=$(head -c 12 /dev/urandom | od -An -tx1 | tr -d ' \n')

  PG_TEST_DIR=$(mktemp -d /tmp/kelmor-pg.XXXXXX)
  mkdir -p "$PG_TEST_DIR/socket"
  printf '%s\n' "$password" > "$PG_TEST_DIR/pwfile"
  chmod 600 "$PG_TEST_DIR/pwfile"
  [ "$(id -u)" -eq 0 ] && chown -R "$PG_TEST_OWNER" "$PG_TEST_DIR"

  if ! _pg_test_as_owner "$bindir/initdb" -D "$PG_TEST_DIR/data" -U sa --pwfile="$PG_TEST_DIR/pwfile" \
      -A scram-sha-256 -E UTF8 --locale=C.UTF-8 >"$PG_TEST_DIR/initdb.log" 2>&1; then
    cat "$PG_TEST_DIR/initdb.log" >&2
    pg_test_server_stop
    return 1
  fi
  rm -f "$PG_TEST_DIR/pwfile"
  # loopback only; durability is of no use to a throwaway cluster
  if ! _pg_test_as_owner "$bindir/pg_ctl" -D "$PG_TEST_DIR/data" -l "$PG_TEST_DIR/server.log" -w -t 60 \
      -o "-c listen_addresses=127.0.0.1 -p $port -k $PG_TEST_DIR/socket -c fsync=off -c synchronous_commit=off -c full_page_writes=off -c max_connections=50" \
      start >/dev/null; then
    cat "$PG_TEST_DIR/server.log" >&2 2>/dev/null
    pg_test_server_stop
    return 1
  fi
  PG_TEST_BINDIR=$bindir
  export KELMOR_TEST_PSQL="127.0.0.1:$port"
  export KELMOR_TEST_PSQL_PASSWORD="$password"
  echo "PostgreSQL test server on $KELMOR_TEST_PSQL ($PG_TEST_DIR)"
}

pg_test_server_stop() {
  [ -n "${PG_TEST_DIR:-}" ] && [ -d "$PG_TEST_DIR" ] || return 0
  if [ -f "$PG_TEST_DIR/data/postmaster.pid" ]; then
    local bindir=${PG_TEST_BINDIR:-$(_pg_test_bindir)}
    # a stop from another shell: the cluster's owner is the data folder's
    [ -n "${PG_TEST_OWNER:-}" ] || PG_TEST_OWNER=$(stat -c %U "$PG_TEST_DIR/data")
    _pg_test_as_owner "$bindir/pg_ctl" -D "$PG_TEST_DIR/data" -m immediate -w stop >/dev/null 2>&1 || true
  fi
  rm -rf "$PG_TEST_DIR"
  PG_TEST_DIR=
  unset KELMOR_TEST_PSQL KELMOR_TEST_PSQL_PASSWORD
  return 0
}

if [ "${BASH_SOURCE[0]}" = "$0" ]; then
  case "${1:-}" in
    start)
      pg_test_server_start || exit 1
      echo "export KELMOR_TEST_PSQL=$KELMOR_TEST_PSQL KELMOR_TEST_PSQL_PASSWORD=$KELMOR_TEST_PSQL_PASSWORD"
      echo "stop with: $0 stop $PG_TEST_DIR"
      ;;
    stop)
      PG_TEST_DIR=${2:-}
      case "$PG_TEST_DIR" in /tmp/kelmor-pg.*) pg_test_server_stop ;; *) echo "usage: $0 stop /tmp/kelmor-pg.XXXXXX" >&2; exit 2 ;; esac
      ;;
    *)
      echo "usage: $0 start | stop DIR" >&2
      exit 2
      ;;
  esac
fi
