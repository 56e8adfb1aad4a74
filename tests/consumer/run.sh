#!/usr/bin/env bash
# run.sh BUILD WORK CMAKE CC
#
# Installs the build tree BUILD into WORK/prefix, checks its library
# links, then builds tests/consumer against it twice, with
# find_package(qmr) and with pkg-config, and runs both programs and the
# installed driver: a missing header, CMake package file, qmr.pc or
# driver fails one of these steps.
set -eu
build=$1 work=$2 cmake=$3 cc=$4
here=$(cd "$(dirname "$0")" && pwd)
prefix=$work/prefix
rm -rf "$work"
mkdir -p "$work"

"$cmake" --install "$build" --prefix "$prefix" >"$work/install.log"

libdir=$(find "$prefix" -path '*/pkgconfig/qmr.pc' -exec sed -n 's/^libdir=\${prefix}\///p' {} + | head -1)
[ -n "$libdir" ] || { echo "no qmr.pc with a libdir under $prefix"; exit 1; }
lib=$prefix/$libdir
# The SONAME chain: libqmr.so -> libqmr.so.1 -> the versioned file.
[ "$(readlink "$lib/libqmr.so")" = libqmr.so.1 ] || { echo "libqmr.so is not a link to libqmr.so.1"; exit 1; }
[ -f "$lib/$(readlink "$lib/libqmr.so.1")" ] || { echo "libqmr.so.1 is not a link to the library"; exit 1; }
[ ! -e "$lib/libqmr.a" ] || { echo "the static library was installed"; exit 1; }

echo "== CMake: find_package(qmr)"
"$cmake" -S "$here" -B "$work/cmake" -DCMAKE_C_COMPILER="$cc" -DCMAKE_PREFIX_PATH="$prefix" >"$work/cmake.log"
"$cmake" --build "$work/cmake" >>"$work/cmake.log"
"$work/cmake/consumer"

echo "== pkg-config"
export PKG_CONFIG_PATH=$lib/pkgconfig
[ "$(pkg-config --variable=prefix qmr)" = "$prefix" ] || { echo "qmr.pc names another prefix"; exit 1; }
# shellcheck disable=SC2046
"$cc" -std=c11 -Wall -Wextra -Werror -pedantic "$here/main.c" $(pkg-config --cflags --libs qmr) -o "$work/consumer-pc"
LD_LIBRARY_PATH=$(pkg-config --variable=libdir qmr) "$work/consumer-pc"

echo "== the installed driver"
"$prefix/bin/qmr" call QMRFDAT1 20261204
