#!/usr/bin/env bash
# Sets Grumblix up on Debian 12 from this checkout.
#   scripts/setup.sh run        install what is missing, build, install for this user, start Grumblix
#   scripts/setup.sh test       install what is missing (test tools too), build, run the whole suite
#   scripts/setup.sh package    install what is missing, build, make a Debian package in build/
#   scripts/setup.sh uninstall  remove what `run` installed (your incidents and settings stay)
set -euo pipefail
mode=${1:-run}
cd "$(dirname "$0")/.."
prefix="$HOME/.local"
build=build

say() { printf '%s\n' "$*"; }

install_packages() {
    local missing=() list pkg
    for list in "$@"; do
        while read -r pkg; do
            case "$pkg" in '' | '#'*) continue ;; esac
            if ! dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q "install ok installed"; then
                missing+=("$pkg")
            fi
        done <"$list"
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    say "Installing: ${missing[*]}"
    local as_root=()
    if [ "$(id -u)" -ne 0 ]; then
        if ! command -v sudo >/dev/null 2>&1 || ! sudo -v; then
            say "Grumblix needs these Debian packages first; install them as root with: su -c 'apt-get install ${missing[*]}'" >&2
            exit 1
        fi
        as_root=(sudo)
    fi
    if ! "${as_root[@]}" apt-get update -q ||
        ! DEBIAN_FRONTEND=noninteractive "${as_root[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"; then
        say "Installing the packages failed; install them as root with: su -c 'apt-get install ${missing[*]}'" >&2
        exit 1
    fi
}

configure_and_build() {
    cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_INSTALL_PREFIX="$prefix" "$@"
    cmake --build "$build" -j"$(nproc)"
}

case "$mode" in
run)
    install_packages scripts/packages-run.txt
    configure_and_build -DGRUMBLIX_BUILD_TESTS=OFF
    cmake --install "$build" >/dev/null
    # The grumblix:// handler and the menu entry for this user.
    update-desktop-database "$prefix/share/applications" 2>/dev/null || true
    xdg-mime default grumblix.desktop x-scheme-handler/grumblix 2>/dev/null || true
    if [ -z "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
        say "Installed as $prefix/bin/grumblix. No desktop session here: start it from your desktop's menu."
        exit 0
    fi
    # In a session of its own, so closing this terminal leaves it running. When Grumblix already
    # runs, this launch only brings up its dashboard.
    setsid -f "$prefix/bin/grumblix" --dashboard "${@:2}" </dev/null >/dev/null 2>&1
    say "Grumblix is running: its red button sits in your system tray (Alt+Shift+F logs from anywhere)."
    ;;
test)
    install_packages scripts/packages-run.txt scripts/packages-test.txt
    configure_and_build -DGRUMBLIX_BUILD_TESTS=ON
    exec scripts/run-tests.sh "$build"
    ;;
package)
    install_packages scripts/packages-run.txt scripts/packages-package.txt
    configure_and_build -DGRUMBLIX_BUILD_TESTS=OFF
    # One package in the folder, so `apt install ./build/grumblix_*.deb` names this one alone.
    rm -f "$build"/grumblix_*.deb
    cmake --build "$build" --target package >/dev/null
    deb=$(echo "$build"/grumblix_*.deb)
    say "Built $deb. Install it with: sudo apt install ./$deb"
    ;;
uninstall)
    if [ -f "$build/install_manifest.txt" ]; then
        xargs -d '\n' rm -f <"$build/install_manifest.txt"
    else
        rm -f "$prefix/bin/grumblix" "$prefix/share/applications/grumblix.desktop" \
            "$prefix/share/icons/hicolor/scalable/apps/grumblix.svg" \
            "$prefix/share/metainfo/app.grumblix.Grumblix.metainfo.xml"
        rm -rf "$prefix/share/grumblix" "$prefix/libexec/grumblix"
    fi
    rm -f "${XDG_CONFIG_HOME:-$HOME/.config}/autostart/grumblix.desktop"
    update-desktop-database "$prefix/share/applications" 2>/dev/null || true
    pkill -x -u "$(id -u)" grumblix-app 2>/dev/null || true
    say "Grumblix is removed. Your incidents (~/.local/share/Grumblix) and settings (~/.config/Grumblix) are kept."
    ;;
*)
    say "usage: scripts/setup.sh run|test|package|uninstall" >&2
    exit 2
    ;;
esac
