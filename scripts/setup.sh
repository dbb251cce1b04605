#!/usr/bin/env bash
# Installs the Debian packages Grumblix needs, builds it, then starts it (run) or runs the tests (test).
set -euo pipefail
mode=${1:-run}
cd "$(dirname "$0")/.."

sudo_cmd=""
if [ "$(id -u)" -ne 0 ]; then sudo_cmd="sudo"; fi

missing=()
while read -r pkg; do
    case "$pkg" in ''|'#'*) continue ;; esac
    if ! dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$pkg")
    fi
done < scripts/debian-packages.txt
if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    $sudo_cmd apt-get update -q
    DEBIAN_FRONTEND=noninteractive $sudo_cmd apt-get install -y -q --no-install-recommends "${missing[@]}"
fi

cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_INSTALL_PREFIX="$HOME/.local"
cmake --build build -j"$(nproc)"

case "$mode" in
    run)
        cmake --install build >/dev/null
        # Register the grumblix:// handler for this user so xdg-open reaches the program.
        update-desktop-database "$HOME/.local/share/applications" 2>/dev/null || true
        xdg-mime default grumblix.desktop x-scheme-handler/grumblix 2>/dev/null || true
        exec "$HOME/.local/bin/grumblix" "${@:2}"
        ;;
    test)
        ctest --test-dir build --output-on-failure -j"$(nproc)"
        ;;
    *)
        echo "usage: scripts/setup.sh run|test" >&2
        exit 2
        ;;
esac
