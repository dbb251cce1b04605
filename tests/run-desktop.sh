#!/usr/bin/env bash
# Runs one desktop test inside its own X server and D-Bus session, never the user's. The bus has no
# service folders, so nothing installed on the machine is activated into the test. Whatever the
# caller exported, the test gets the X11 platform, C.UTF-8, UTC and folders of its own.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
. "$here/support/test-environment.sh"
grumblix_test_environment xcb
trap 'rm -rf "$GRUMBLIX_TEST_HOME"' EXIT
status=0
xvfb-run -a -s "-screen 0 1280x800x24 -nolisten tcp" \
    dbus-run-session --config-file="$here/support/session-bus.conf" -- "$@" || status=$?
exit "$status"
