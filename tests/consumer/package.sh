#!/usr/bin/env bash
# package.sh ZIP WORK CMAKE CC [EMULATOR...]
#
# Unpacks the Windows zip into WORK and checks what it holds, builds
# tests/consumer/main.c against its header and its import library qmr.lib
# (not against the DLL), then runs that program and the packaged driver
# beside the packaged qmr.dll, under EMULATOR.
set -eu
zip=$1 work=$2 cmake=$3 cc=$4
shift 4
here=$(cd "$(dirname "$0")" && pwd)
rm -rf "$work"
mkdir -p "$work"
(cd "$work" && "$cmake" -E tar xf "$zip")
dir=$(echo "$work"/qmr-*)
# qmr.dll, qmr.lib, qmr.exe and qmr.h are used below.
[ -f "$dir/README.txt" ] || { echo "not in the zip: README.txt"; exit 1; }

"$cc" -std=c11 -Wall -Wextra -Werror -pedantic -I "$dir/include" "$here/main.c" "$dir/qmr.lib" -o "$dir/consumer.exe"
"$@" "$dir/consumer.exe"
"$@" "$dir/qmr.exe" call QMRFDAT1 20261204 | tee "$work/driver.out"
grep -q 739954 "$work/driver.out"
