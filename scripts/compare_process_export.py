#!/usr/bin/env python3
"""Compares a process table exported as CSV from the Processes page with what ps reports.

Usage: compare_process_export.py EXPORT.csv PS.txt
  PS.txt is the output of `ps -e -o comm=,rss=` taken right after the table was rebuilt.

The table lower-cases names and lengthens a name the kernel cut to 15 bytes from argv[0]; ps
shows the cut name with '?' for unprintable bytes. Both sides are brought to ps's form before
they are compared, as a multiset of (name, RSS in K). Prints what only one side has; the exit
status is 0 when every row of one side has its partner on the other."""
import collections
import csv
import sys

COMM_LENGTH = 15
HEADER = ["Process Name", "Used RAM", "Max. Used RAM", "Pagefile Used"]


def ps_form(name: str) -> str:
    cut = name.encode("utf-8", "surrogateescape")[:COMM_LENGTH].decode("utf-8", "replace")
    # ps pads its column with blanks, so a trailing blank of the name cannot be told apart.
    return "".join(c if c.isprintable() else "?" for c in cut).lower().rstrip()


def read_export(path):
    with open(path, newline="", encoding="utf-8", errors="surrogateescape") as f:
        rows = list(csv.reader(f))
    if rows[0] != HEADER:
        raise SystemExit(f"header is {rows[0]!r}")
    out = []
    for r in rows[1:]:
        if len(r) != 4 or not all(c.endswith(" K") for c in r[1:]):
            raise SystemExit(f"malformed row {r!r}")
        out.append((ps_form(r[0]), int(r[1][:-2])))
    return rows, out


def read_ps(path):
    out = []
    with open(path, encoding="utf-8", errors="replace") as f:
        for line in f:
            line = line.rstrip("\n")
            if not line.strip():
                continue
            comm, rss = line.rstrip().rsplit(None, 1)
            out.append((comm.strip().lower(), int(rss)))
    return out


def main() -> int:
    if len(sys.argv) != 3:
        print(__doc__, file=sys.stderr)
        return 2
    rows, table = read_export(sys.argv[1])
    ps = read_ps(sys.argv[2])
    t, p = collections.Counter(table), collections.Counter(ps)
    only_table, only_ps = t - p, p - t
    matched = sum((t & p).values())
    print(f"rows read back: {len(rows)} (header + {len(rows) - 1}), every row 4 cells")
    print(f"table {len(table)} processes, ps {len(ps)}; equal name and RSS: {matched}")
    for what, diff in (("only in the table", only_table), ("only in ps", only_ps)):
        for (name, rss), n in sorted(diff.items()):
            print(f"  {what}: {name!r} {rss} K" + (f" x{n}" if n > 1 else ""))
    return 0 if not only_table and not only_ps else 1


if __name__ == "__main__":
    sys.exit(main())
