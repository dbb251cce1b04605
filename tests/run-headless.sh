#!/usr/bin/env bash
# Runs one test without a display or a session bus, whatever the caller exported: the offscreen
# platform, C.UTF-8, UTC and folders of its own.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
. "$here/support/test-environment.sh"
grumblix_test_environment offscreen
export DBUS_SESSION_BUS_ADDRESS=disabled:
trap 'rm -rf "$GRUMBLIX_TEST_HOME"' EXIT
status=0
"$@" || status=$?
exit "$status"
