#!/usr/bin/env bash
# Sets Grumblix up on Debian 12 from this checkout.
#   scripts/setup.sh run        install what is missing, build, install for this user, start Grumblix
#   scripts/setup.sh test       install what is missing (test tools too), build, run the whole suite
#   scripts/setup.sh package    install what is missing, build, make a Debian package in build/
#   scripts/setup.sh bench [NAME...] [--benchmark_OPTION...]
#                               install what is missing, build with the benchmarks, run every bench
#                               (or those named: store, history, …) on a 100,000-incident store
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
    configure_and_build -DGRUMBLIX_BUILD_TESTS=OFF -DGRUMBLIX_BUILD_BENCHMARKS=OFF
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
bench)
    names=() options=()
    for arg in "${@:2}"; do
        case "$arg" in
        --*) options+=("$arg") ;;
        *) names+=("bench_${arg#bench_}") ;;
        esac
    done
    available=()
    for src in bench/bench_*.cpp; do
        available+=("$(basename "$src" .cpp)")
    done
    for name in "${names[@]}"; do
        if ! printf '%s\n' "${available[@]}" | grep -qxF "$name"; then
            say "No bench named ${name#bench_}; the benches are: $(printf '%s ' "${available[@]#bench_}")" >&2
            exit 2
        fi
    done
    [ ${#names[@]} -gt 0 ] || names=("${available[@]}")
    install_packages scripts/packages-run.txt scripts/packages-bench.txt
    # The tests stay as this build folder has them; a fresh one builds no tests.
    tests=$(sed -n 's/^GRUMBLIX_BUILD_TESTS:BOOL=//p' "$build/CMakeCache.txt" 2>/dev/null || true)
    configure_and_build -DGRUMBLIX_BUILD_TESTS="${tests:-OFF}" -DGRUMBLIX_BUILD_BENCHMARKS=ON
    status=0
    for name in "${names[@]}"; do
        say "== $name"
        # Offscreen, with folders of its own and no session bus, as a test runs: a bench never
        # meets this desktop, its files or a running Grumblix. The figures go to the terminal;
        # what Qt says on the way (the offscreen platform has no windows to raise) to a log.
        log=$build/bench/$name.log
        if ! tests/run-headless.sh "$build/bench/$name" "${options[@]}" 2>"$log"; then
            status=1
            say "$name failed; the end of $log:" >&2
            tail -n 20 "$log" >&2
        fi
    done
    say "What the benches said besides their figures is in $build/bench/bench_*.log."
    exit "$status"
    ;;
package)
    install_packages scripts/packages-run.txt scripts/packages-package.txt
    configure_and_build -DGRUMBLIX_BUILD_TESTS=OFF -DGRUMBLIX_BUILD_BENCHMARKS=OFF
    # One package in the folder, so `apt install ./build/grumblix_*.deb` names this one alone.
    rm -f "$build"/grumblix_*.deb
    cmake --build "$build" --target package >/dev/null
    deb=$(echo "$build"/grumblix_*.deb)
    say "Built $deb. Install it with: sudo apt install ./$deb"
    ;;
uninstall)
    # Only what `run` put under $prefix: a packaged Grumblix (/usr), its process and the autostart
    # entry it wrote stay.
    program="$prefix/libexec/grumblix/grumblix-app"
    launcher="$prefix/bin/grumblix"
    # Through symlinks in $HOME, as the kernel and Grumblix name them.
    real_program=$(readlink -f "$program" 2>/dev/null || echo "$program")
    real_launcher=$(readlink -f "$launcher" 2>/dev/null || echo "$launcher")
    folders=("$prefix/libexec/grumblix" "$prefix/share/grumblix")
    files=("$launcher" "$prefix/share/applications/grumblix.desktop"
        "$prefix/share/icons/hicolor/scalable/apps/grumblix.svg"
        "$prefix/share/metainfo/app.grumblix.Grumblix.metainfo.xml")
    # The manifest names what the last install from this build folder wrote, wherever it went (a
    # test installs into a folder of its own): only its files under $prefix are this install's.
    if [ -f "$build/install_manifest.txt" ]; then
        while IFS= read -r file; do
            case "$file" in "$prefix"/*) files+=("$file") ;; esac
        done <"$build/install_manifest.txt"
    fi
    found=false
    for file in "${folders[@]}" "${files[@]}"; do
        if [ -e "$file" ] || [ -L "$file" ]; then found=true; fi
    done

    # This user's processes that run the installed program proper, also one whose file a later
    # `run` replaced. Grumblix saves and quits on TERM; files go only once it has.
    running=()
    for proc in /proc/[0-9]*; do
        # The kernel names a process after the file it runs: a cheap first sieve.
        if ! [ -O "$proc" ] || ! read -r name 2>/dev/null <"$proc/comm" || [ "$name" != grumblix-app ]; then
            continue
        fi
        exe=$(readlink "$proc/exe" 2>/dev/null) || continue
        exe=${exe% (deleted)}
        if [ "$exe" = "$program" ] || [ "$exe" = "$real_program" ]; then
            running+=("${proc#/proc/}")
        fi
    done
    if [ ${#running[@]} -gt 0 ]; then
        found=true
        kill -TERM "${running[@]}" 2>/dev/null || true
        for _ in $(seq 50); do
            alive=()
            for pid in "${running[@]}"; do
                # Gone, or a zombie its parent has yet to collect: either way it has quit.
                if grep -qs '^State:[[:space:]]*[^Z[:space:]]' "/proc/$pid/status"; then alive+=("$pid"); fi
            done
            if [ ${#alive[@]} -eq 0 ]; then break; fi
            sleep 0.1
        done
        if [ ${#alive[@]} -gt 0 ]; then
            say "Grumblix (process ${alive[*]}) did not quit; quit it from its tray menu."
        fi
    fi

    # The autostart entry goes only when it starts this install (TryExec, or the program of Exec
    # in an older entry): a packaged Grumblix writes one of its own.
    entry="${XDG_CONFIG_HOME:-$HOME/.config}/autostart/grumblix.desktop"
    if [ -f "$entry" ]; then
        while IFS= read -r start; do
            case "$start" in
            "$launcher" | "$real_launcher" | "$program" | "$real_program")
                rm -f "$entry"
                found=true
                break
                ;;
            esac
        done < <(sed -n -e 's/^TryExec[[:space:]]*=[[:space:]]*//p' \
            -e 's/^Exec[[:space:]]*=[[:space:]]*\([^[:space:]"]*\).*/\1/p' "$entry")
    fi

    if ! $found; then
        say "Nothing to remove: Grumblix is not installed for this user in $prefix."
        if dpkg-query -W -f='${Status}' grumblix 2>/dev/null | grep -q "install ok installed"; then
            say "The Grumblix package stays; remove it with: sudo apt remove grumblix"
        fi
        exit 0
    fi
    rm -rf "${folders[@]}"
    rm -f "${files[@]}"
    update-desktop-database "$prefix/share/applications" 2>/dev/null || true
    say "Grumblix is removed. Your incidents (~/.local/share/Grumblix) and settings (~/.config/Grumblix) are kept."
    ;;
*)
    say "usage: scripts/setup.sh run|test|package|bench|uninstall" >&2
    exit 2
    ;;
esac
