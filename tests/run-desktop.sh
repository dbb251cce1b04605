#!/usr/bin/env bash
# Runs one desktop test inside its own X server and D-Bus session, never the user's. The bus has no
# service folders, so nothing installed on the machine is activated into the test.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
exec xvfb-run -a -s "-screen 0 1280x800x24 -nolisten tcp" \
    dbus-run-session --config-file="$here/support/session-bus.conf" -- "$@"
