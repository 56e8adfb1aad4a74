#!/usr/bin/env bash
# golden.sh EXPECTED INPUT COMMAND...
#
# Runs COMMAND with standard input from INPUT (/dev/null for none) and
# compares its standard output byte for byte with the file EXPECTED; the
# command must write nothing to standard error and exit 0.  Carriage
# returns are dropped first, so a Windows program's text output compares
# too.  QMR_UPDATE_GOLDEN=1 writes EXPECTED instead.
set -u
expected=$1 input=$2
shift 2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

"$@" <"$input" 2>"$work/stderr" | tr -d '\r' >"$work/stdout"
status=${PIPESTATUS[0]}
if [ "${QMR_UPDATE_GOLDEN:-}" = 1 ]; then
  cp "$work/stdout" "$expected"
  echo "wrote $expected"
fi
if [ "$status" -ne 0 ] || [ -s "$work/stderr" ]; then
  echo "exit status $status; standard error:"
  cat "$work/stderr"
fi
if ! cmp -s "$expected" "$work/stdout"; then
  echo "output differs from $expected:"
  diff -u "$expected" "$work/stdout" | head -60
  status=1
fi
[ "$status" -eq 0 ] && [ ! -s "$work/stderr" ]
