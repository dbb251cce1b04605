#!/usr/bin/env bash
# Runs one desktop test inside its own X server and D-Bus session, never the user's.
set -euo pipefail
exec xvfb-run -a -s "-screen 0 1280x800x24" dbus-run-session -- "$@"
