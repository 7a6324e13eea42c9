#!/usr/bin/env bash
# Runs the test suite of one preset on both database backends:
#   1. every test on embedded SQLite files (as `ctest --preset PRESET`);
#   2. the tests listed in tests/postgresql-tests.txt against a throw-away PostgreSQL server
#      (scripts/pg-test-server.sh), which is stopped again whatever happens.
#
#   bash scripts/test-all.sh [PRESET] [extra ctest arguments...]     # PRESET defaults to release
#
# ORVANE_TEST_SKIP_PG=1 runs only the SQLite pass. The build must exist (cmake --build --preset).
set -euo pipefail
cd "$(dirname "$0")/.."
preset=${1:-release}
shift || true
jobs=${ORVANE_TEST_JOBS:-$(nproc)}

echo "== $preset: SQLite =="
sqlite_rc=0
ctest --preset "$preset" -j "$jobs" "$@" || sqlite_rc=$?

[ "${ORVANE_TEST_SKIP_PG:-0}" = 1 ] && exit "$sqlite_rc"

# The PostgreSQL pass: the test programs that open databases, as named in the list.
names=$(grep -v '^\s*#' tests/postgresql-tests.txt | awk 'NF { print $1 }' | paste -sd'|')
if [ -z "$names" ]; then
  echo "== $preset: PostgreSQL: no tests listed in tests/postgresql-tests.txt =="
  exit "$sqlite_rc"
fi
echo "== $preset: PostgreSQL =="
export ORVANE_PG_DIR="${ORVANE_PG_DIR:-${TMPDIR:-/tmp}/orvane-pg-$preset-$$}"
trap 'bash scripts/pg-test-server.sh stop' EXIT
eval "$(bash scripts/pg-test-server.sh start)"
pg_rc=0
ctest --preset "$preset" -j "$jobs" -R "^($names)\$" "$@" || pg_rc=$?
[ "$sqlite_rc" -ne 0 ] && exit "$sqlite_rc"
exit "$pg_rc"
