#!/usr/bin/env python3
"""Every row the CSV writer exports must read back as one row, cell for cell, with Python's csv
module. Usage: csv_reads_back.py <orp_core_tests executable>

The test executable writes its table of awkward cells with SaveCSV (and the cells themselves,
hex-encoded) when ORP_CSV_SAMPLE names a file; this script reads both and compares. The one
intended change: in a cell holding a comma, each CR LF is written as a single VT."""
import csv
import os
import subprocess
import sys
import tempfile


def main() -> int:
    if len(sys.argv) != 2:
        print(__doc__, file=sys.stderr)
        return 2
    with tempfile.TemporaryDirectory() as tmp:
        sample = os.path.join(tmp, "sample.csv")
        env = dict(os.environ, ORP_CSV_SAMPLE=sample)
        subprocess.run([sys.argv[1], "--gtest_filter=Csv.SaveWritesTheTextAndFeedsTheReadersCheck"],
                       env=env, check=True, stdout=subprocess.DEVNULL)
        with open(sample + ".cells", encoding="ascii") as f:
            expected = [[bytes.fromhex(h).decode("latin-1") for h in line.split(" ")]
                        for line in f.read().splitlines()]
        with open(sample, newline="", encoding="latin-1") as f:
            rows = list(csv.reader(f))

    expected = [[c.replace("\r\n", "\v") if "," in c else c for c in row] for row in expected]
    if len(rows) != len(expected):
        print(f"{len(rows)} rows read back, {len(expected)} written", file=sys.stderr)
        return 1
    failures = 0
    for i, (got, want) in enumerate(zip(rows, expected)):
        if got != want:
            print(f"row {i}: read {got!r}, written {want!r}", file=sys.stderr)
            failures += 1
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
