#!/usr/bin/env bash
# Runs the whole suite in a built tree. As root it runs it a second time as an unprivileged user, so
# the store and permission tests that root would pass trivially (root ignores file modes) run for
# real. Fails when a test leaves a process of the desktop test machinery running.
set -euo pipefail
build=$(cd "${1:-build}" && pwd)
cd "$(dirname "$0")/.."
jobs=$(nproc)

watched='^(Xvfb|xvfb-run|dbus-daemon|dbus-launch|dbus-monitor|pulseaudio|parec|grumblix.*|openbox|trayer|xcompmgr|tst_.*|kwin_wayland|Xwayland|xdg-desktop-por.*|xdg-permission-.*|recorder-probe)$'
# Exited processes waiting to be reaped (where no init reaps them, as in some containers) are not
# running and do not count.
running() { ps -eo pid=,stat=,comm= | awk -v re="$watched" '$2 !~ /^Z/ && $3 ~ re {print $1}' | sort; }
before=$(running)

status=0
ctest --test-dir "$build" --output-on-failure -j"$jobs" || status=$?

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
    runuser -u "$user" -- env -i PATH="$PATH" HOME="$home" XDG_RUNTIME_DIR="$home" LANG=C.UTF-8 CI="${CI:-}" \
        ctest --test-dir "$build" --output-on-failure -j"$jobs" -LE fuzz || status=$?
fi

# A process may still be on its way out; give it a few seconds.
for _ in $(seq 20); do
    left=$(comm -13 <(echo "$before") <(running) | tr '\n' ' ')
    [ -z "${left// /}" ] && break
    sleep 0.25
done
if [ -n "${left// /}" ]; then
    echo "Processes left running by the tests:" >&2
    ps -o pid=,user=,args= -p "$(echo $left | tr ' ' ',')" >&2 || true
    kill $left 2>/dev/null || true
    status=1
fi
exit "$status"
