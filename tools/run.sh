#!/usr/bin/env bash
# Starts the window from the project root (so Tapsmith.ini lands here), or,
# with no display to show it on, says so and runs the console search on the
# defaults.
set -euo pipefail
build=${1:-build}
if [[ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" && -x "$build/tapsmith" ]]; then
  exec "$build/tapsmith"
fi
echo "No display found (DISPLAY and WAYLAND_DISPLAY are unset): running the console search on the defaults." >&2
exec "$build/tapsmith-cli"
