#!/usr/bin/env python3
"""Line and branch coverage of src/ per folder, from gcovr's JSON summary
(`make coverage` writes it to <build>/coverage.json)."""
import json
import sys
from collections import defaultdict

with open(sys.argv[1]) as f:
    summary = json.load(f)
folders = defaultdict(lambda: [0, 0, 0, 0])  # lines covered, lines, branches covered, branches
for entry in summary["files"]:
    parts = entry["filename"].split("/")
    folder = "/".join(parts[:2]) if len(parts) > 2 else parts[0]
    for key, total in ((folder, folders[folder]), ("total", folders["total"])):
        total[0] += entry["line_covered"]
        total[1] += entry["line_total"]
        total[2] += entry["branch_covered"]
        total[3] += entry["branch_total"]


def percent(covered, total):
    return "%5.1f%%" % (100.0 * covered / total) if total else "   -  "


print("%-16s %14s %8s %16s %8s" % ("folder", "lines", "", "branches", ""))
for folder in sorted(folders, key=lambda f: (f == "total", f)):
    lc, lt, bc, bt = folders[folder]
    print("%-16s %6d / %5d %s %7d / %5d %s" % (folder, lc, lt, percent(lc, lt), bc, bt, percent(bc, bt)))
