#!/usr/bin/env bash
# check_prototypes.sh QMR_H QMR_DEF ABI_MD QMR...
#
# Every export of the .def file has a driver command, and the prototype
# that `qmr help` shows for it appears in qmr.h and in the ABI reference
# as it stands there, blanks aside (and QMR_API, QMR_CALL in qmr.h).
# Every function qmr.h declares is an export, and the driver shows no
# export that the .def file lacks.
set -u
header=$1 def=$2 abi=$3
shift 3
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

"$@" help --list | tr -d '\r' >"$work/listing" || { echo "qmr help --list failed"; exit 1; }
sed -e 's/QMR_API//g' -e 's/QMR_CALL//g' "$header" | tr -d ' \t\r\n' >"$work/declared"
tr -d ' \t\r\n' <"$abi" >"$work/documented"
sed -n '/^EXPORTS/,$p' "$def" | sed -e 's/;.*//' | awk 'NF && $1 != "EXPORTS" {print $1}' >"$work/exports"
grep -o 'QMR_CALL [A-Za-z_][A-Za-z_0-9]*(' "$header" | sed -e 's/QMR_CALL //' -e 's/($//' >"$work/functions"

awk -F '\t' -v work="$work" '
  function squeeze(s) { gsub(/[ \t]/, "", s); return s }
  BEGIN {
    getline declared <(work "/declared")
    getline documented <(work "/documented")
    while ((getline name <(work "/exports")) > 0) exported[name] = 1
  }
  FILENAME ~ /listing$/ {
    shown[$1] = 1
    if (!($1 in exported)) { print $1 ": not in the export list"; bad++ }
    if (!index(declared, squeeze($2))) { print $1 ": prototype not in qmr.h: " $2; bad++ }
    if (!index(documented, squeeze($2))) { print $1 ": prototype not in the ABI reference: " $2; bad++ }
    next
  }
  FILENAME ~ /functions$/ {
    if (!($1 in exported)) { print $1 ": declared in qmr.h, not in the export list"; bad++ }
    next
  }
  END {
    for (name in exported) if (!(name in shown)) { print name ": no driver command"; bad++ }
    if (bad) exit 1
    print length(exported) " exports: driver commands, qmr.h and the ABI reference agree"
  }
' "$work/listing" "$work/functions"
