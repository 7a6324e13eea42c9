#!/usr/bin/env bash
# A walk through the client on a PostgreSQL database under a virtual X server: creates a demo
# database with `orvane-admin init`, starts the client on it through hr.ini, logs in as admin,
# opens the personnel view and a person's form, opens the latest wage month and checks it out,
# taking a screenshot of each step. Exits non-zero when a step's result is not in the database
# or the client printed a Qt warning.
#
#   bash scripts/walkthrough.sh [PRESET] [OUTDIR]     # PRESET release (built), OUTDIR a temp dir
#
# The server is the one of ORVANE_TEST_PG when set, otherwise a throw-away one
# (scripts/pg-test-server.sh). Needs Xvfb, openbox, xdotool and ImageMagick's `import`; the
# clicks assume the 1280x800 screen made here.
set -euo pipefail
cd "$(dirname "$0")/.."
preset=${1:-release}
out=${2:-$(mktemp -d)}
mkdir -p "$out"
bin="$PWD/build/$preset"
admin="$bin/tools/orvane-admin"
work=$(mktemp -d)
pids=()
own_server=0

cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  if [ -n "${name:-}" ]; then
    psql -q "$ORVANE_TEST_PG" -c "DROP DATABASE IF EXISTS \"$name\" WITH (FORCE)" \
      >/dev/null 2>&1 || true
  fi
  [ "$own_server" = 1 ] && bash scripts/pg-test-server.sh stop
  rm -rf "$work"
}
trap cleanup EXIT

if [ -z "${ORVANE_TEST_PG:-}" ]; then
  export ORVANE_PG_DIR="${TMPDIR:-/tmp}/orvane-pg-walk-$$"
  eval "$(bash scripts/pg-test-server.sh start)"
  own_server=1
fi
name="walk_$$"
database="${ORVANE_TEST_PG%/*}/$name"

"$admin" init "$database" --demo 300 >/dev/null
# The client reads hr.ini beside its executable: a copy of it in the work folder.
cp "$bin/app/orvane" "$work/"
"$admin" config --ini "$work/hr.ini" --server "$database" --integrated >/dev/null

display=":$((90 + $$ % 100))"
Xvfb "$display" -screen 0 1280x800x24 >/dev/null 2>&1 &
pids+=($!)
sleep 1
DISPLAY=$display openbox >/dev/null 2>&1 &
pids+=($!)
sleep 1
export DISPLAY=$display
shot() { sleep "${2:-3}"; import -window root "$out/$1.png"; echo "screenshot $out/$1.png"; }
sql() { "$admin" sql "$database" "$1" | tail -1; }

(cd "$work" && exec ./orvane >"$work/client.log" 2>&1) &
pids+=($!)
sleep 3
xdotool type --delay 50 admin
xdotool key Return                       # empty password
sleep 3
xdotool key F2                           # 人员档案
shot pg-personnel-view
xdotool mousemove 496 152 click 1        # 修改: the form of the first person
shot pg-person-form
xdotool mousemove 962 562 click 1        # 退出
sleep 1
xdotool key F11                          # 薪资档案
sleep 2
xdotool key Return                       # 打开: the latest month
shot pg-wage-open
month=$(sql "SELECT MAX(fDate) FROM qp_WageTable")
xdotool mousemove 683 152 click 1        # 结账
sleep 2
xdotool key alt+y                        # 是
shot pg-wage-checkout 2
xdotool key Return

failed=0
if [ "$(sql "SELECT Stat FROM qp_WageTable WHERE fDate=$month")" != 1 ]; then
  echo "walkthrough: month $month is not checked out"
  failed=1
fi
if [ "$(sql "SELECT COUNT(*) FROM qp_Log WHERE lAction LIKE N'%${month:0:4}年${month:4:2}月%薪资结账%'")" != 1 ]; then
  echo "walkthrough: no log line of the check-out"
  failed=1
fi
if grep -v -e XDG_RUNTIME_DIR -e '^$' "$work/client.log"; then
  echo "walkthrough: the client printed the warnings above"
  failed=1
fi
[ "$failed" = 0 ] && echo "walkthrough: every step done; screenshots in $out"
exit "$failed"
