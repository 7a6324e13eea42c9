#!/usr/bin/env bash
# A throw-away PostgreSQL 15 server for the test suite.
#
#   bash scripts/pg-test-server.sh start   # initdb + start on 127.0.0.1 and a free port
#   eval "$(bash scripts/pg-test-server.sh env)"   # ORVANE_TEST_BACKEND and ORVANE_TEST_PG
#   bash scripts/pg-test-server.sh stop    # stop it and remove its data folder
#   bash scripts/pg-test-server.sh status
#
# The server runs as an unprivileged user (postgres refuses to run as root: under root it runs as
# the `postgres` user of the Debian package), trusts every loopback connection, and neither
# fsyncs nor waits for commits: its data is disposable. Its superuser is `orvane`. The folder is
# $ORVANE_PG_DIR, by default one per checkout under /tmp, so two checkouts do not meet.
set -euo pipefail

repo=$(cd "$(dirname "$0")/.." && pwd)
PGBIN=${PGBIN:-/usr/lib/postgresql/15/bin}
dir=${ORVANE_PG_DIR:-${TMPDIR:-/tmp}/orvane-pg-$(printf '%s' "$repo" | md5sum | cut -c1-8)}
data="$dir/data"
state="$dir/conninfo"

as_owner() {
  if [ "$(id -u)" -eq 0 ]; then
    runuser -u "${ORVANE_PG_USER:-postgres}" -- "$@"
  else
    "$@"
  fi
}

free_port() {
  python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])'
}

print_env() {
  [ -f "$state" ] || { echo "pg-test-server: not running (no $state)" >&2; exit 1; }
  echo "export ORVANE_TEST_BACKEND=postgresql"
  echo "export ORVANE_TEST_PG='$(cat "$state")'"
}

running() {
  [ -f "$data/postmaster.pid" ] && as_owner "$PGBIN/pg_ctl" -D "$data" status >/dev/null 2>&1
}

start() {
  if running; then
    echo "pg-test-server: already running in $dir" >&2
    print_env
    return
  fi
  [ -x "$PGBIN/initdb" ] || { echo "pg-test-server: no $PGBIN/initdb (apt-get install postgresql)" >&2; exit 1; }
  rm -rf "$dir"
  mkdir -p "$dir"
  if [ "$(id -u)" -eq 0 ]; then
    id "${ORVANE_PG_USER:-postgres}" >/dev/null 2>&1 ||
      useradd --system --no-create-home --shell /usr/sbin/nologin "${ORVANE_PG_USER:-postgres}"
    chown "${ORVANE_PG_USER:-postgres}" "$dir"
  fi
  as_owner "$PGBIN/initdb" -D "$data" -U orvane --auth=trust -E UTF8 --locale=C.UTF-8 \
    --no-sync >"$dir/initdb.log" 2>&1 ||
    { cat "$dir/initdb.log" >&2; exit 1; }
  cat >>"$data/postgresql.conf" <<EOF
listen_addresses = '127.0.0.1'
unix_socket_directories = '$dir'
fsync = off
synchronous_commit = off
full_page_writes = off
max_connections = 300
shared_buffers = 128MB
log_min_messages = warning
log_min_error_statement = panic
EOF
  # Another program may take the port between the probe and the start: try a few.
  local port
  for _ in 1 2 3 4 5; do
    port=$(free_port)
    if as_owner "$PGBIN/pg_ctl" -D "$data" -l "$dir/server.log" -w -t 30 \
      -o "-p $port" start >/dev/null 2>&1; then
      echo "postgresql://orvane@127.0.0.1:$port/postgres" >"$state"
      print_env
      return
    fi
  done
  echo "pg-test-server: the server did not start; $dir/server.log:" >&2
  tail -20 "$dir/server.log" >&2 || true
  exit 1
}

stop() {
  if [ -d "$data" ]; then
    as_owner "$PGBIN/pg_ctl" -D "$data" -m immediate -w stop >/dev/null 2>&1 || true
  fi
  rm -rf "$dir"
}

case "${1:-}" in
  start) start ;;
  stop) stop ;;
  env) print_env ;;
  status) if running; then cat "$state"; else echo "not running"; exit 1; fi ;;
  *) echo "usage: $0 start|stop|env|status" >&2; exit 2 ;;
esac
