#!/usr/bin/env python3
"""Quarvel's UTM/UPS, MGRS and plus forms against the reference tools, GeoConvert and the
Open Location Code reference: for the positions of position_formats.tsv (whose columns
must be the tools' own) and for zone and band edges and random positions besides."""
import argparse
import decimal
import os
import random
import subprocess
import sys

HERE = os.path.dirname(os.path.abspath(__file__))


def ask(command, lines, env=None):
    result = subprocess.run(command, input="".join(f"{line}\n" for line in lines),
                            capture_output=True, text=True, check=True, env=env)
    answers = result.stdout.splitlines()
    assert len(answers) == len(lines), f"{command[0]}: {len(answers)} answers to {len(lines)}"
    return answers


def positions(table):
    """The table's positions with their expected forms, then edges and random ones."""
    rows = []
    with open(table, encoding="utf-8") as f:
        for line in f:
            if line.strip() and not line.startswith("#"):
                lat, lon, _, _, utm, mgrs, plus, why = line.rstrip("\n").split("\t")
                rows.append((float(lat), float(lon), {"utm": utm, "mgrs": mgrs, "plus": plus}))
    edges_lat = [-80.00001, -79.99999, -0.00001, 0.00001, 55.99999, 56.00001, 63.99999,
                 64.00001, 71.99999, 72.00001, 83.99999, 84.00001, 89.99999]
    edges_lon = [-179.99999, -0.00001, 2.99999, 3.00001, 5.99999, 6.00001, 8.99999, 9.00001,
                 20.99999, 21.00001, 32.99999, 33.00001, 41.99999, 42.00001, 179.99999, 180.0]
    rows += [(a, b, {}) for a in edges_lat for b in edges_lon]
    rng = random.Random(20)
    rows += [(round(rng.uniform(-90, 90), 7), round(rng.uniform(-180, 180), 7), {})
             for _ in range(1500)]
    # Cell edges of the plus codes (1/8000 of a degree), where floating point errs most.
    rows += [(rng.randint(-720000, 720000) / 8000, rng.randint(-1440000, 1440000) / 8000, {})
             for _ in range(300)]
    return rows


def geoconvert_utm(utm, mgrs):
    """GeoConvert's "01s 179712 8173373" as Quarvel writes it: "1K 179712 8173373"."""
    zone, easting, northing = utm.split()
    if zone[0].isdigit():
        return f"{int(zone[:-1])}{mgrs[2]} {easting} {northing}"
    return f"{mgrs[0]} {easting} {northing}"


def onto_cell(text):
    """The position as the reference should read it: one exactly on a cell edge (as its
    decimal text says) belongs to the cell the edge begins. npm's reference does its sums
    in floating point and may land in the cell before; a nanodegree past the edge it
    cannot."""
    lat, lon = (decimal.Decimal(v) for v in text.split())
    if (lat + 90) * 8000 % 1 == 0 and lat < 90:
        lat += decimal.Decimal("1e-9")
    if (lon + 180) * 8000 % 1 == 0:
        lon += decimal.Decimal("1e-9")
    return f"{lat} {lon}"


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("--table", required=True)
    parser.add_argument("--probe", required=True, help="position_format_probe")
    parser.add_argument("--node-modules", required=True, help="holds open-location-code")
    args = parser.parse_args()
    rows = positions(args.table)
    # The same decimal text to every tool (GeoConvert would read 1e-07's e as East).
    texts = [f"{lat:.9f} {lon:.9f}" for lat, lon, _ in rows]
    mgrs = ask(["GeoConvert", "-m"], texts)
    reference = {
        "utm": [geoconvert_utm(u, m) for u, m in zip(ask(["GeoConvert", "-u"], texts), mgrs)],
        "mgrs": mgrs,
        "plus": ask(["node", os.path.join(HERE, "olc_encode.js")], [onto_cell(t) for t in texts],
                    dict(os.environ, NODE_PATH=args.node_modules)),
    }
    failures = 0
    for form, expected in reference.items():
        quarvel = ask([args.probe], [f"{form} {text}" for text in texts])
        for (lat, lon, table), text, ours, theirs in zip(rows, texts, quarvel, expected):
            for who, value in (("Quarvel", ours), ("the table", table.get(form, theirs))):
                if value != theirs:
                    failures += 1
                    print(f"FAIL {form} of {text}: {who} writes {value!r}, the reference {theirs!r}")
    print(f"{len(rows)} positions × {len(reference)} forms: {failures} differ")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
