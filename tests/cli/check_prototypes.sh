#!/usr/bin/env bash
# check_prototypes.sh QMR_H QMR_DEF ABI_MD QMR...
#
# The driver has a command for exactly the exports of the .def file, and
# the prototype that `qmr help` shows for each appears in qmr.h and in the
# ABI reference as it stands there, blanks aside (and QMR_API, QMR_CALL
# in qmr.h).  Every function qmr.h declares is an export.
set -uo pipefail
header=$1 def=$2 abi=$3
shift 3
listing=$("$@" help --list | tr -d '\r') || { echo "qmr help --list failed"; exit 1; }
declared=$(sed -e 's/QMR_API//g' -e 's/QMR_CALL//g' "$header" | tr -d ' \t\r\n')
documented=$(tr -d ' \t\r\n' <"$abi")
bad=0
while IFS=$'\t' read -r name prototype; do
    squeezed=${prototype//[[:blank:]]/}
    [[ $declared == *"$squeezed"* ]] || { echo "$name: not in qmr.h: $prototype"; bad=1; }
    [[ $documented == *"$squeezed"* ]] || { echo "$name: not in docs/abi.md: $prototype"; bad=1; }
done <<<"$listing"
exports=$(sed -e '1,/^EXPORTS/d' -e 's/;.*//' "$def" | awk 'NF {print $1}' | sort)
diff --label "the .def file" --label "qmr help" <(echo "$exports") <(cut -f1 <<<"$listing" | sort) || bad=1
unlisted=$(grep -o 'QMR_CALL [A-Za-z_0-9]*(' "$header" | sed -e 's/QMR_CALL //' -e 's/($//' | sort -u |
  comm -23 - <(echo "$exports"))
[ -z "$unlisted" ] || { echo "declared in qmr.h, not in the export list:" $unlisted; bad=1; }
[ "$bad" = 0 ] || exit 1
echo "$(wc -l <<<"$exports") exports: driver commands, qmr.h and the ABI reference agree"
