#!/usr/bin/env bash
# Checks the global shortcut against a real desktop: KWin on a virtual Wayland output, with the KDE
# backend of xdg-desktop-portal and KWin's own kglobalaccel, on a private session bus that can start
# only the portal services this check names. It asserts that
#   - Grumblix's shortcut is bound at start (kglobalaccel holds Alt+Shift+F for it);
#   - one invokeShortcut logs exactly one incident with the source "shortcut";
#   - a restart adds no second shortcut group to kglobalshortcutsrc;
#   - a combination recorded on the settings page, which Plasma keeps its own key over, is
#     explained on the page (the recorder probe drives the real page with key presses);
#   - BindShortcuts is never called once the session listed the shortcut (on Plasma 5.27 it only
#     opens System Settings), and nothing runs xdg-open.
#
#   tests/portal/check-kde-portal.sh GRUMBLIX RECORDER-PROBE
#
# Exits 77 ("skipped") when a package it needs is missing, except under CI=true, where that fails.
set -u
gx=$(readlink -f "${1:?usage: check-kde-portal.sh GRUMBLIX RECORDER-PROBE}")
probe=$(readlink -f "${2:?usage: check-kde-portal.sh GRUMBLIX RECORDER-PROBE}")
here=$(cd "$(dirname "$0")" && pwd)

missing() { # PACKAGE WHAT
    if [ "${CI:-}" = true ]; then
        echo "FAIL: $2 is missing: install the package $1 (scripts/packages-test.txt lists it)"
        exit 1
    fi
    echo "skipped: the package $1 is not installed ($2 is missing)"
    exit 77
}

# The program an installed D-Bus service file starts; empty when no such file is installed.
service_exec() {
    local dir dirs
    IFS=: read -ra dirs <<<"${XDG_DATA_DIRS:-/usr/local/share:/usr/share}"
    for dir in "${dirs[@]}"; do
        if [ -f "$dir/dbus-1/services/$1.service" ]; then
            sed -n 's/^Exec=\([^ ]*\).*/\1/p' "$dir/dbus-1/services/$1.service" | head -1
            return
        fi
    done
}

# A portal program: where its service file says, else where its package put it.
find_portal() { # BUS-NAME PACKAGE PROGRAM
    local path
    path=$(service_exec "$1")
    [ -n "$path" ] && [ -x "$path" ] && { echo "$path"; return; }
    path=$(dpkg -L "$2" 2>/dev/null | grep "/$3\$" | head -1)
    [ -n "$path" ] && [ -x "$path" ] && { echo "$path"; return; }
    for path in /usr/libexec/$3 /usr/lib/x86_64-linux-gnu/libexec/$3 /usr/lib/$3; do
        [ -x "$path" ] && { echo "$path"; return; }
    done
}

need_command() { command -v "$1" >/dev/null 2>&1 || missing "$2" "$1"; }
need_command kwin_wayland kwin-wayland
need_command dbus-daemon dbus-daemon
need_command dbus-monitor dbus-bin
need_command gdbus libglib2.0-bin
need_command sqlite3 sqlite3
frontend=$(find_portal org.freedesktop.portal.Desktop xdg-desktop-portal xdg-desktop-portal)
[ -n "$frontend" ] || missing xdg-desktop-portal xdg-desktop-portal
permissions=$(find_portal org.freedesktop.impl.portal.PermissionStore xdg-desktop-portal xdg-permission-store)
[ -n "$permissions" ] || missing xdg-desktop-portal xdg-permission-store
backend=$(find_portal org.freedesktop.impl.portal.desktop.kde xdg-desktop-portal-kde xdg-desktop-portal-kde)
[ -n "$backend" ] || missing xdg-desktop-portal-kde xdg-desktop-portal-kde
# The Wayland platform plugins: Qt 6 for Grumblix, Qt 5 for the KDE backend.
qt6_plugins=$(dpkg -L qt6-wayland 2>/dev/null | grep -c '/platforms/libqwayland-generic.so$')
[ "${qt6_plugins:-0}" -ge 1 ] || missing qt6-wayland "Qt 6's Wayland platform plugin"
qt5_plugins=$(dpkg -L qtwayland5 2>/dev/null | grep -c '/platforms/libqwayland-generic.so$')
[ "${qt5_plugins:-0}" -ge 1 ] || missing qtwayland5 "Qt 5's Wayland platform plugin"
[ -x "$gx" ] || { echo "FAIL: no program at $gx"; exit 1; }
[ -x "$probe" ] || { echo "FAIL: no program at $probe"; exit 1; }

work=$(mktemp -d "${TMPDIR:-/tmp}/grumblix-kde.XXXXXX")
chmod 700 "$work"
runtime=$work/run
pids=()
# Everything this check starts, the services the bus starts included, carries the runtime folder in
# its environment: that is how the clean-up finds them.
ours() {
    local environ pid
    for environ in /proc/[0-9]*/environ; do
        pid=${environ#/proc/}
        pid=${pid%/environ}
        [ "$pid" = $$ ] && continue
        { tr '\0' '\n' <"$environ"; } 2>/dev/null | grep -qxF "XDG_RUNTIME_DIR=$runtime" && echo "$pid"
    done
}
finish() {
    local status=$? left _
    trap - EXIT
    for p in "${pids[@]:-}"; do [ -n "$p" ] && kill "$p" 2>/dev/null; done
    left=$(ours)
    [ -n "$left" ] && kill $left 2>/dev/null
    for _ in $(seq 50); do
        left=$(ours)
        [ -z "$left" ] && break
        sleep 0.1
    done
    if [ -n "$left" ]; then
        echo "FAIL: still running after SIGTERM, killed: $(ps -o comm= -p "$(echo $left | tr ' ' ',')" | tr '\n' ' ')"
        kill -KILL $left 2>/dev/null
        [ "$status" = 0 ] && status=1
    fi
    wait 2>/dev/null
    rm -rf "$work"
    exit "$status"
}
trap finish EXIT
trap 'exit 1' TERM INT HUP

fail() {
    echo "FAIL: $*"
    for log in grumblix kwin probe-errors; do
        [ -s "$work/$log.log" ] && { echo "--- $log.log"; tail -40 "$work/$log.log"; }
    done
    [ -s "$work/monitor.log" ] && { echo "--- portal calls"; grep -a 'member=' "$work/monitor.log" | tail -20; }
    exit 1
}

# The environment every service gets from the bus, so it is complete before the bus starts: the
# backend needs the Wayland display and the desktop name when the bus starts it.
mkdir -p "$runtime" "$work/config/Grumblix" "$work/data" "$work/cache" "$work/services" "$work/bin"
chmod 700 "$runtime"
export HOME=$work XDG_RUNTIME_DIR=$runtime XDG_CONFIG_HOME=$work/config XDG_DATA_HOME=$work/data
export XDG_CACHE_HOME=$work/cache XDG_CURRENT_DESKTOP=KDE XDG_SESSION_TYPE=wayland
export WAYLAND_DISPLAY=grumblix-check QT_QPA_PLATFORM=wayland LC_ALL=C.UTF-8 LANG=C.UTF-8 TZ=UTC
unset DISPLAY DBUS_SESSION_BUS_ADDRESS SESSION_MANAGER
# No GPU is needed: KWin and the clients draw in software.
export KWIN_COMPOSE=Q LIBGL_ALWAYS_SOFTWARE=1 QT_QUICK_BACKEND=software
# What the desktop opens on its own is logged, never run.
printf '#!/bin/sh\necho "$*" >>"%s"\n' "$work/xdg-open.log" >"$work/bin/xdg-open"
chmod +x "$work/bin/xdg-open"
export PATH=$work/bin:$PATH
printf '[General]\nhasOnboarded=true\nshowHUD=false\n' >"$XDG_CONFIG_HOME/Grumblix/Grumblix.conf"

# The suite's bus, with one service folder: the portal programs found above and nothing else.
service() { printf '[D-BUS Service]\nName=%s\nExec=%s\n' "$1" "$2" >"$work/services/$1.service"; }
service org.freedesktop.portal.Desktop "$frontend"
service org.freedesktop.impl.portal.PermissionStore "$permissions"
service org.freedesktop.impl.portal.desktop.kde "$backend"
sed -e "s#<listen>[^<]*</listen>#<listen>unix:dir=$work</listen>#" \
    -e "s#</busconfig>#  <servicedir>$work/services</servicedir>\n</busconfig>#" \
    "$here/../support/session-bus.conf" >"$work/bus.conf"
info=$(dbus-daemon --config-file="$work/bus.conf" --fork --print-address=1 --print-pid=1) ||
    fail "the private bus did not start"
export DBUS_SESSION_BUS_ADDRESS=$(echo "$info" | sed -n 1p)
pids+=("$(echo "$info" | sed -n 2p)")

on_bus() { gdbus call --session --timeout 5 "$@" 2>/dev/null; }
has_owner() {
    on_bus -d org.freedesktop.DBus -o /org/freedesktop/DBus -m org.freedesktop.DBus.NameHasOwner "$1" |
        grep -q true
}
wait_for() { # TENTHS COMMAND...: true once COMMAND succeeds
    local tries=$1 _
    shift
    for _ in $(seq "$tries"); do "$@" && return 0; sleep 0.1; done
    return 1
}

# The packaged kwin_wayland carries a file capability that containers and unprivileged users may
# not be allowed to take on; a copy has none and needs none.
cp "$(command -v kwin_wayland)" "$work/kwin_wayland"
env -u QT_QPA_PLATFORM "$work/kwin_wayland" --virtual --width 1024 --height 768 --socket "$WAYLAND_DISPLAY" \
    --no-lockscreen >"$work/kwin.log" 2>&1 &
pids+=($!)
wait_for 300 test -S "$runtime/$WAYLAND_DISPLAY" || fail "KWin did not start"
wait_for 300 has_owner org.kde.kglobalaccel || fail "KWin's kglobalaccel did not come up"

# Every portal call and answer on the bus.
dbus-monitor --session "type='method_call',interface='org.freedesktop.portal.GlobalShortcuts'" \
    "type='method_call',interface='org.freedesktop.impl.portal.GlobalShortcuts'" \
    "type='signal',interface='org.freedesktop.portal.Request',member='Response'" >"$work/monitor.log" 2>&1 &
pids+=($!)
wait_for 100 test -s "$work/monitor.log" || fail "dbus-monitor did not start"

store=$XDG_DATA_HOME/Grumblix/Grumblix.store
shortcut_incidents() {
    sqlite3 "file:$store?mode=ro" "SELECT count(*) FROM VorpEvent WHERE sourceRaw='shortcut'" 2>/dev/null || echo 0
}
count() { # [GREP OPTIONS] PATTERN FILE: matching lines, 0 for none or no file
    local n
    n=$(grep -ac "$@" 2>/dev/null)
    echo "${n:-0}"
}
responses() { count 'member=Response' "$work/monitor.log"; }
answered_after() { [ "$(responses)" -gt "$1" ]; }
incidents_at_least() { [ "$(shortcut_incidents)" -ge "$1" ]; }
holds_alt_shift_f() { bound_key | grep -qw "$alt_shift_f"; }
has_group() { [ "$(groups)" -ge 1 ]; }
gone() { ! kill -0 "$1" 2>/dev/null; }
gx_pid=
start_grumblix() {
    local before
    before=$(responses)
    "$gx" >>"$work/grumblix.log" 2>&1 &
    gx_pid=$!
    pids+=("$gx_pid")
    # Bound once the portal has answered Grumblix's CreateSession.
    wait_for 300 answered_after "$before" || fail "the portal never answered Grumblix"
}
stop_grumblix() {
    kill -TERM "$gx_pid" 2>/dev/null
    wait_for 100 gone "$gx_pid" || fail "Grumblix did not quit on SIGTERM"
    wait "$gx_pid" 2>/dev/null
}
bound_key() { # the keys kglobalaccel holds for Grumblix's shortcut
    on_bus -d org.kde.kglobalaccel -o /kglobalaccel -m org.kde.KGlobalAccel.shortcut \
        "['grumblix', 'panic', 'grumblix', 'Log an incident']"
}
press() { # asks kglobalaccel to press the shortcut, then waits for incident number $1
    on_bus -d org.kde.kglobalaccel -o /component/grumblix -m org.kde.kglobalaccel.Component.invokeShortcut \
        panic >/dev/null || fail "invokeShortcut failed"
    wait_for 100 incidents_at_least "$1" || fail "no incident after the shortcut was invoked"
    # A second incident for the same press would come in this time.
    sleep 1
    [ "$(shortcut_incidents)" = "$1" ] || fail "one invokeShortcut logged $(($(shortcut_incidents) - $1 + 1)) incidents"
}
groups() { count '^\[grumblix' "$XDG_CONFIG_HOME/kglobalshortcutsrc"; }
alt_shift_f=$(((0x08000000 | 0x02000000) + 0x46))

start_grumblix
wait_for 100 holds_alt_shift_f || fail "Grumblix's shortcut is not bound: $(bound_key)"
echo "ok: bound at start: kglobalaccel holds Alt+Shift+F for grumblix/panic"
press 1
echo "ok: one invokeShortcut logged one incident with the source \"shortcut\""

stop_grumblix
start_grumblix
wait_for 100 holds_alt_shift_f || fail "the shortcut is not bound after a restart"
wait_for 50 has_group || fail "kglobalshortcutsrc has no grumblix group"
[ "$(groups)" = 1 ] || fail "kglobalshortcutsrc has $(groups) grumblix groups after a restart"
components=$(on_bus -d org.kde.kglobalaccel -o /kglobalaccel -m org.kde.KGlobalAccel.allComponents |
    grep -o "/component/[^']*grumblix[^']*" | sort -u | wc -l)
[ "$components" = 1 ] || fail "kglobalaccel has $components grumblix components after a restart"
press 2
echo "ok: after a restart: one shortcut group, and a press still logs one incident"
stop_grumblix

# The settings page, on the same shortcut group as Grumblix, records Ctrl+Alt+K and then Ctrl+Alt+J.
timeout 120 "$probe" >"$work/probe.log" 2>"$work/probe-errors.log" || fail "the recorder probe failed: $(cat "$work/probe.log")"
sed 's/^/    /' "$work/probe.log"
kept_note="note: Your desktop keeps Alt+Shift+F for this shortcut. To use the new one, change Grumblix's shortcut in your desktop's keyboard settings."
[ "$(count '^start: confirmed Alt+Shift+F$' "$work/probe.log")" = 1 ] &&
    [ "$(count '^recorded: kept Alt+Shift+F$' "$work/probe.log")" = 2 ] &&
    [ "$(count -xF -e "$kept_note" "$work/probe.log")" = 2 ] ||
    fail "the settings page did not say that the desktop kept Alt+Shift+F"
echo "ok: a recorded shortcut that the desktop keeps its own key over is explained on the settings page"

binds=$(count 'interface=org.freedesktop.portal.GlobalShortcuts; member=BindShortcuts' "$work/monitor.log")
opened=$(cat "$work/xdg-open.log" 2>/dev/null)
[ "$binds" = 0 ] && [ -z "$opened" ] ||
    fail "BindShortcuts was called $binds times though the session listed the shortcut; opened: ${opened:-nothing}"
echo "ok: no BindShortcuts call and nothing opened in two starts and two recordings"
echo "PASS: the shortcut works through the KDE portal without opening System Settings"
