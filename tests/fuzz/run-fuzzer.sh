#!/usr/bin/env bash
# Builds the URL-command and hand-over fuzz target with clang's libFuzzer and runs it for a bounded time.
# usage: run-fuzzer.sh <source dir> <work dir> <seconds>
set -euo pipefail
src=$1 work=$2 seconds=${3:-20}
mkdir -p "$work/corpus"
printf 'grumblix://log?trigger=meeting&note=stuck%%20again' >"$work/corpus/log"
printf 'grumblix://report' >"$work/corpus/report"
printf 'GRUMBLIX://log?source=shortcut&note=a&note=b' >"$work/corpus/caps"
printf 'grumblix:log?trigger' >"$work/corpus/bare"
# A hand-over frame whose string list claims four billion entries (once made the reader ask for 100 GB).
echo 'AAAAJEdSTTH/////////////////////////////////////////////////AAA=' | base64 -d >"$work/corpus/count"
clang++ -std=c++20 -g -O1 -fPIC -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined \
    -I"$src/src" $(pkg-config --cflags Qt6Core) \
    "$src/tests/fuzz/fuzz_urlcommand.cpp" "$src/src/app/UrlCommand.cpp" "$src/src/models/EventSource.cpp" \
    "$src/src/platform/HandOver.cpp" \
    $(pkg-config --libs Qt6Core) -o "$work/fuzz_urlcommand"
exec "$work/fuzz_urlcommand" -max_total_time="$seconds" -max_len=512 -timeout=5 "$work/corpus"
