#!/usr/bin/env bash
# Runs the whole suite in a built tree. As root it runs it a second time as an unprivileged user, so
# the store and permission tests that root would pass trivially (root ignores file modes) run for
# real. Fails when a test leaves a process running.
#
# Each pass runs under tests/tools/suite-reaper, the child subreaper of everything the tests start:
# however a process detaches (its own session, a double fork, a cleared environment, the other
# user), it stays among the reaper's descendants, so what is left of them when ctest ends is the
# suite's own. The reaper lists it, ends it and fails the pass; no other process on the machine is
# ever signalled.
set -euo pipefail
build=$(cd "${1:-build}" && pwd)
cd "$(dirname "$0")/.."
jobs=$(nproc)
reaper=$build/tests/suite-reaper
if ! [ -x "$reaper" ]; then
    echo "No $reaper: build the tests first (cmake -DGRUMBLIX_BUILD_TESTS=ON, then cmake --build)." >&2
    exit 1
fi
# Root runs the reaper from a copy of its own: the second pass hands the build tree to that user.
reaper_dir=$(mktemp -d "${TMPDIR:-/tmp}/grumblix-reaper.XXXXXX")
cleanup() { rm -rf "$reaper_dir"; }
trap cleanup EXIT
cp "$reaper" "$reaper_dir/suite-reaper"
reaper=$reaper_dir/suite-reaper

status=0
"$reaper" -- ctest --test-dir "$build" --output-on-failure -j"$jobs" || status=$?

if [ "$(id -u)" -eq 0 ] && [ "${GRUMBLIX_TEST_AS_USER:-1}" = 1 ]; then
    user=grumblix-test
    id "$user" >/dev/null 2>&1 || useradd --system --shell /usr/sbin/nologin --no-create-home "$user"
    home=$(mktemp -d /tmp/grumblix-test-home.XXXXXX)
    chown "$user": "$home"
    chmod 700 "$home"
    owner=$(stat -c %u:%g "$build")
    opened=()
    restore() {
        chown -R "$owner" "$build"
        for d in "${opened[@]:-}"; do [ -n "$d" ] && chmod o-x "$d"; done
        rm -rf "$home"
        cleanup
    }
    trap restore EXIT
    # The user reads the sources and writes the build tree (install manifests, test logs).
    chown -R "$user" "$build"
    d=$(pwd)
    while [ "$d" != / ]; do
        if ! runuser -u "$user" -- test -x "$d"; then chmod o+x "$d" && opened+=("$d"); fi
        d=$(dirname "$d")
    done
    echo "Running the suite again as the unprivileged user $user"
    "$reaper" -- runuser -u "$user" -- env -i PATH="$PATH" HOME="$home" XDG_RUNTIME_DIR="$home" \
        LANG=C.UTF-8 CI="${CI:-}" ctest --test-dir "$build" --output-on-failure -j"$jobs" -LE fuzz || status=$?
fi
exit "$status"
