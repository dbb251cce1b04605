#!/usr/bin/env bash
# Checks the global shortcut against a real desktop: KWin on a virtual Wayland output with the
# KDE backend of xdg-desktop-portal, on a private session bus. Grumblix binds its shortcut through
# the GlobalShortcuts portal, kglobalaccel is asked to press it, and the incident must be stored
# with the source "shortcut". Not part of the suite (it needs a whole desktop); run it by hand:
#
#   tests/portal/check-kde-portal.sh build/src/shell/grumblix
#
# Needs: kwin-wayland xdg-desktop-portal xdg-desktop-portal-kde qt6-wayland qdbus-qt5 sqlite3 dbus
set -u
gx=$(readlink -f "${1:?usage: check-kde-portal.sh GRUMBLIX}")
need() { command -v "$1" >/dev/null 2>&1 || [ -x "$1" ] || { echo "skipped: $1 is not installed"; exit 0; }; }
need kwin_wayland
need /usr/libexec/xdg-desktop-portal
need /usr/libexec/xdg-desktop-portal-kde
need qdbus
need sqlite3

work=$(mktemp -d /tmp/grumblix-kde.XXXXXX)
pids=()
finish() { for p in "${pids[@]:-}"; do [ -n "$p" ] && kill "$p" 2>/dev/null; done; wait 2>/dev/null; rm -rf "$work"; }
trap finish EXIT
export HOME=$work XDG_RUNTIME_DIR=$work/run XDG_CONFIG_HOME=$work/config XDG_DATA_HOME=$work/data
export XDG_CACHE_HOME=$work/cache XDG_CURRENT_DESKTOP=KDE KDE_FULL_SESSION=true QT_QPA_PLATFORM=wayland
mkdir -p "$XDG_RUNTIME_DIR" "$XDG_CONFIG_HOME/Grumblix" "$XDG_DATA_HOME"; chmod 700 "$XDG_RUNTIME_DIR"
printf '[General]\nhasOnboarded=true\nshowHUD=false\n' >"$XDG_CONFIG_HOME/Grumblix/Grumblix.conf"

# A session bus of our own that activates the installed portal services.
info=$(dbus-daemon --session --fork --print-address=1 --print-pid=1)
export DBUS_SESSION_BUS_ADDRESS=$(echo "$info" | sed -n 1p); pids+=("$(echo "$info" | sed -n 2p)")
# The packaged kwin_wayland carries a file capability that containers refuse; a copy has none.
cp "$(command -v kwin_wayland)" "$work/kwin_wayland"
export WAYLAND_DISPLAY=grumblix-check
"$work/kwin_wayland" --virtual --socket "$WAYLAND_DISPLAY" --no-lockscreen >"$work/kwin.log" 2>&1 & pids+=($!)
for _ in $(seq 100); do [ -S "$XDG_RUNTIME_DIR/$WAYLAND_DISPLAY" ] && break; sleep 0.1; done
[ -S "$XDG_RUNTIME_DIR/$WAYLAND_DISPLAY" ] || { echo "FAIL: kwin did not start"; cat "$work/kwin.log"; exit 1; }

"$gx" >"$work/grumblix.log" 2>&1 & pids+=($!)
store=$XDG_DATA_HOME/Grumblix/Grumblix.store
# The portal binds the shortcut under a component kglobalaccel names after the session.
component=""
for _ in $(seq 100); do
    component=$(qdbus org.kde.kglobalaccel /kglobalaccel org.kde.KGlobalAccel.allComponents 2>/dev/null |
        grep -i grumblix | head -1)
    [ -n "$component" ] && break
    sleep 0.2
done
[ -n "$component" ] || { echo "FAIL: no shortcut was bound"; cat "$work/grumblix.log"; exit 1; }
echo "bound: $(qdbus org.kde.kglobalaccel "$component" org.kde.kglobalaccel.Component.allShortcutInfos 2>/dev/null | head -5)"
qdbus org.kde.kglobalaccel "$component" org.kde.kglobalaccel.Component.invokeShortcut panic
for _ in $(seq 50); do
    n=$(sqlite3 "file:$store?mode=ro" "SELECT count(*) FROM VorpEvent WHERE sourceRaw='shortcut'" 2>/dev/null || echo 0)
    [ "${n:-0}" -ge 1 ] && { echo "PASS: the portal's activation logged an incident"; exit 0; }
    sleep 0.2
done
echo "FAIL: no incident after the shortcut was invoked"; cat "$work/grumblix.log"; exit 1
