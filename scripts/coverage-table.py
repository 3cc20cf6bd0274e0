#!/usr/bin/env python3
"""Sums gcovr's per-file JSON summary into one row per top folder of src/ and prints the table.

gcovr 5 has no per-directory summary of its own.
    scripts/coverage-table.py SUMMARY.json
"""
import json
import sys
from collections import defaultdict


def percent(covered, total):
    return f"{100.0 * covered / total:5.1f}%" if total else "    -"


def main(path):
    with open(path, encoding="utf-8") as f:
        summary = json.load(f)
    folders = defaultdict(lambda: [0, 0, 0, 0])
    for entry in summary["files"]:
        parts = entry["filename"].split("/")
        if len(parts) < 3 or parts[0] != "src":
            continue
        row = folders["src/" + parts[1]]
        row[0] += entry["line_covered"]
        row[1] += entry["line_total"]
        row[2] += entry["branch_covered"]
        row[3] += entry["branch_total"]
    total = [sum(column) for column in zip(*folders.values())]
    print(f"{'folder':<14} {'lines':>6} {'covered/total':>15} {'branches':>9} {'covered/total':>15}")
    for name, row in sorted(folders.items()) + [("total", total)]:
        print(f"{name:<14} {percent(row[0], row[1]):>6} {f'{row[0]}/{row[1]}':>15} "
              f"{percent(row[2], row[3]):>9} {f'{row[2]}/{row[3]}':>15}")


if __name__ == "__main__":
    main(sys.argv[1])
