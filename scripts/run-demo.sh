#!/usr/bin/env bash
# Installs what is missing, builds the release client, creates a demo database on first use and
# starts the client on it.
set -euo pipefail

ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$ROOT"
PERSONS="${ORVANE_DEMO_PERSONS:-500}"
DEMO_DIR="$ROOT/build/demo"
DB="$DEMO_DIR/orvane-demo.db"

bash scripts/install-deps.sh
cmake --preset release
cmake --build --preset release --target orvane orvane-admin

BIN="$ROOT/build/release"
ADMIN="$BIN/tools/orvane-admin"
CLIENT="$BIN/app/orvane"

mkdir -p "$DEMO_DIR"
if [ ! -f "$DB" ]; then
  "$ADMIN" init "$DB" --demo "$PERSONS"
fi
# The client reads its connection settings from hr.ini beside its executable.
"$ADMIN" config --ini "$BIN/app/hr.ini" --server "$DB" --user admin --password demo

cat <<TEXT

Demo database: $DB
Log in as one of these operators:
  admin    (empty password)  super user, every command
  hr       / hr123           personnel commands only
  payroll  / pay123          payroll commands only
  manager  / mgr123          every right, not a super user
TEXT

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  cat <<TEXT

No display is available (DISPLAY is not set). Run the client under a virtual X server, e.g.:
  xvfb-run -a -s "-screen 0 1280x800x24" "$CLIENT"
or, with a window manager and a VNC/screenshot view of display :97:
  Xvfb :97 -screen 0 1280x800x24 &
  DISPLAY=:97 openbox &
  DISPLAY=:97 "$CLIENT"
TEXT
  exit 0
fi

exec "$CLIENT"
