#!/usr/bin/env python3
"""veltrano-cli export read back by readers of its own: gpsbabel converts the
GPX and KML tracks without a warning, Python's csv and json modules read the
CSV and GeoJSON ones, and each gives the same fixes: those of a hand-made NMEA
recording, and those of a simulated BINR run as veltrano-cli decode shows them.

usage: export_readback.py VELTRANO_CLI VELTRANO_SIM
"""
import csv
import datetime
import io
import json
import os
import subprocess
import sys
import tempfile
import unittest
import xml.etree.ElementTree as ET
from typing import NamedTuple, Optional

CLI, SIM = sys.argv[1], sys.argv[2]
KML = "{http://www.opengis.net/kml/2.2}"


def sentence(body):
    checksum = 0
    for c in body.encode():
        checksum ^= c
    return f"${body}*{checksum:02X}\r\n"


class Fix(NamedTuple):
    lat: float
    lon: float
    height: Optional[float]
    time: Optional[str]
    status: str
    gpx_fix: Optional[str]
    sats: Optional[int]
    hdop: Optional[float]
    vdop: Optional[float]


# An RMC before any GGA is a fix of its own, without height or satellites; then
# GGA fixes of the kinds the filters meet. The RMC of an epoch comes first and
# dates its GGA.
RECORDING = "".join(sentence(s) for s in [
    "GPRMC,100000.00,A,4807.03800,N,01131.00000,E,0.0,0.0,010524,,",
    "GPGSA,A,3,04,05,09,12,24,,,,,,,,2.5,1.3,2.1",
    "GPGGA,100000.00,4807.03800,N,01131.00000,E,1,08,1.2,545.4,M,46.9,M,,",
    "GPRMC,100001.00,A,4807.04000,N,01131.00200,E,0.0,0.0,010524,,",
    "GPGGA,100001.00,4807.04000,N,01131.00200,E,2,09,0.9,546.0,M,46.9,M,,",
    "GPGGA,100002.00,4807.04000,N,01131.00200,E,0,09,0.9,546.0,M,46.9,M,,",
    "GPGGA,100003.00,4807.04500,N,01131.00200,E,6,07,0.9,546.0,M,46.9,M,,",
    "GPGGA,100004.00,4807.05000,S,01131.01000,W,4,12,0.7,-12.5,M,46.9,M,,",
    "GPGGA,100005.50,4807.03800,N,01131.00000,E,5,,1.0,545.0,M,46.9,M,,",
])

FIXES = [
    Fix(48.1173, 11 + 31 / 60, None, "2024-05-01T10:00:00.00Z", "3D", "3d", None, None, None),
    Fix(48.1173, 11 + 31 / 60, 545.4, "2024-05-01T10:00:00.00Z", "3D", "3d", 8, 1.2, 2.1),
    Fix(48 + 7.04 / 60, 11.5167, 546.0, "2024-05-01T10:00:01.00Z", "3D diff", "dgps", 9, 0.9, 2.1),
    Fix(-48.1175, -(11 + 31.01 / 60), -12.5, "2024-05-01T10:00:04.00Z", "RTK Int", "dgps", 12, 0.7, 2.1),
    Fix(48.1173, 11 + 31 / 60, 545.0, "2024-05-01T10:00:05.50Z", "RTK Float", "dgps", None, 1.0, 2.1),
]
# The quality-6 fix that OBS rejects.
DEAD_RECKONING = Fix(48 + 7.045 / 60, 11.5167, 546.0, "2024-05-01T10:00:03.00Z", "DR", None, 7, 0.9, 2.1)


def run(*args, status=0):
    done = subprocess.run(args, capture_output=True, text=True)
    if done.returncode != status:
        raise AssertionError(f"{args} exited {done.returncode}, not {status}: {done.stderr}")
    return done


def gpsbabel(*args):
    """gpsbabel's unicsv of a file as rows; it must say nothing on standard error."""
    done = run("gpsbabel", *args, "-o", "unicsv", "-F", "-")
    if done.stderr:
        raise AssertionError(f"gpsbabel {args} warned: {done.stderr}")
    return list(csv.DictReader(io.StringIO(done.stdout)))


def parse_time(text):
    """An ISO 8601 UTC time as written, "YYYY-MM-DDThh:mm:ss[.f]Z"."""
    if text is None:
        return None
    assert text.endswith("Z"), text
    stamp = text[:-1].replace("T", " ")
    return datetime.datetime.strptime(stamp if "." in stamp else stamp + ".0", "%Y-%m-%d %H:%M:%S.%f")


def unicsv_time(row):
    """gpsbabel's Date and Time columns: "YYYY/MM/DD" and "hh:mm:ss[.fff]"."""
    if not row.get("Date"):
        return None
    stamp = row["Date"] + " " + row["Time"]
    return datetime.datetime.strptime(stamp if "." in stamp else stamp + ".0", "%Y/%m/%d %H:%M:%S.%f")


def number(text):
    return float(text) if text not in (None, "") else None


class Exports(unittest.TestCase):
    """The exports of one recording, each checked against the same fixes."""

    def setUp(self):
        self.dir = tempfile.TemporaryDirectory()
        self.addCleanup(self.dir.cleanup)
        self.recording = self.path("fixes.nme")
        with open(self.recording, "w", newline="") as f:
            f.write(RECORDING)

    def path(self, name):
        return os.path.join(self.dir.name, name)

    def export(self, fmt, *options, recording=None):
        out = self.path("track." + fmt)
        run(CLI, "export", "--format", fmt, *options, "-o", out, recording or self.recording)
        return out

    def near(self, actual, expected, places, what, written=None):
        """Equal to the `places` decimals read, after the `written` decimals the export wrote."""
        if expected is None:
            self.assertIsNone(actual, what)
        else:
            self.assertIsNotNone(actual, what)
            delta = 0.5 * 10 ** -places + (0.5 * 10 ** -written if written else 0) + 1e-9
            self.assertAlmostEqual(actual, expected, delta=delta, msg=what)

    # Each reader's fixes against the expected ones, at the precision it reads.
    def check_csv(self, path, fixes):
        with open(path, newline="") as f:
            reader = csv.DictReader(f)
            self.assertEqual(reader.fieldnames,
                             ["time", "latitude_deg", "longitude_deg", "height_m", "status", "sats", "hdop", "vdop"])
            rows = list(reader)
        self.assertEqual(len(rows), len(fixes))
        for i, (row, fix) in enumerate(zip(rows, fixes)):
            self.assertEqual(parse_time(row["time"] or None), parse_time(fix.time), i)
            self.near(number(row["latitude_deg"]), fix.lat, 9, i)
            self.near(number(row["longitude_deg"]), fix.lon, 9, i)
            self.near(number(row["height_m"]), fix.height, 3, i)
            self.assertEqual(row["status"], fix.status, i)
            self.assertEqual(number(row["sats"]), fix.sats, i)
            self.near(number(row["hdop"]), fix.hdop, 2, i)
            self.near(number(row["vdop"]), fix.vdop, 2, i)

    def check_geojson(self, path, fixes):
        with open(path) as f:
            collection = json.load(f)
        self.assertEqual(collection["type"], "FeatureCollection")
        points = [f for f in collection["features"] if f["geometry"]["type"] == "Point"]
        lines = [f for f in collection["features"] if f["geometry"]["type"] == "LineString"]
        self.assertEqual(len(points) + len(lines), len(collection["features"]))
        self.assertEqual(len(points), len(fixes))
        self.assertEqual(len(lines), 1 if len(fixes) >= 2 else 0)
        for i, (point, fix) in enumerate(zip(points, fixes)):
            coordinates = point["geometry"]["coordinates"]
            self.near(coordinates[0], fix.lon, 9, i)
            self.near(coordinates[1], fix.lat, 9, i)
            self.near(coordinates[2] if len(coordinates) > 2 else None, fix.height, 3, i)
            p = point["properties"]
            self.assertEqual(parse_time(p["time"]), parse_time(fix.time), i)
            self.near(p["height_m"], fix.height, 3, i)
            self.assertEqual((p["status"], p["sats"]), (fix.status, fix.sats), i)
            self.near(p["hdop"], fix.hdop, 2, i)
            self.near(p["vdop"], fix.vdop, 2, i)
        if lines:
            self.assertEqual(lines[0]["geometry"]["coordinates"], [p["geometry"]["coordinates"] for p in points])

    def check_gpx(self, path, fixes):
        rows = gpsbabel("-t", "-i", "gpx", "-f", path)
        self.assertEqual(len(rows), len(fixes))
        for i, (row, fix) in enumerate(zip(rows, fixes)):
            self.near(number(row["Latitude"]), fix.lat, 6, i, 9)
            self.near(number(row["Longitude"]), fix.lon, 6, i, 9)
            self.near(number(row.get("Altitude")), fix.height, 1, i, 3)
            self.assertEqual(unicsv_time(row), parse_time(fix.time), i)
            self.assertEqual(row.get("FIX") or None, fix.gpx_fix, i)
            self.assertEqual(number(row.get("Satellites")), fix.sats, i)
            self.near(number(row.get("HDOP")), fix.hdop, 2, i, 2)
            self.near(number(row.get("VDOP")), fix.vdop, 2, i, 2)

    def check_kml(self, path, fixes):
        # The placemarks are gpsbabel's waypoints, the line its track.
        waypoints = gpsbabel("-i", "kml", "-f", path)
        track = gpsbabel("-t", "-i", "kml", "-f", path)
        self.assertEqual(len(waypoints), len(fixes))
        self.assertEqual(len(track), len(fixes) if len(fixes) >= 2 else 0)
        for i, (row, fix) in enumerate(zip(waypoints, fixes)):
            self.assertEqual(row["Name"], str(i + 1))
            self.near(number(row["Latitude"]), fix.lat, 6, i, 9)
            self.near(number(row["Longitude"]), fix.lon, 6, i, 9)
            self.near(number(row.get("Altitude")), fix.height, 1, i, 3)
            self.assertEqual(unicsv_time(row), parse_time(fix.time), i)
        for i, (row, fix) in enumerate(zip(track, fixes)):
            self.near(number(row["Latitude"]), fix.lat, 6, i, 9)
            self.near(number(row["Longitude"]), fix.lon, 6, i, 9)
            self.near(number(row.get("Altitude")), fix.height, 1, i, 3)
        # The figures gpsbabel does not read, from the extended data.
        placemarks = [p for p in ET.parse(path).getroot().iter(KML + "Placemark") if p.find(KML + "Point") is not None]
        for i, (placemark, fix) in enumerate(zip(placemarks, fixes)):
            data = {d.get("name"): d.findtext(KML + "value") for d in placemark.iter(KML + "Data")}
            self.assertEqual(data.get("status"), fix.status, i)
            self.assertEqual(number(data.get("sats")), fix.sats, i)
            self.near(number(data.get("hdop")), fix.hdop, 2, i)
            self.near(number(data.get("vdop")), fix.vdop, 2, i)

    def check(self, fmt, fixes, *options, recording=None):
        path = self.export(fmt, *options, recording=recording)
        getattr(self, "check_" + fmt)(path, fixes)

    def test_every_format_gives_the_fixes(self):
        for fmt in ("csv", "geojson", "gpx", "kml"):
            with self.subTest(fmt):
                self.check(fmt, FIXES)

    def test_the_filters_choose_the_fixes(self):
        cases = [
            (["--diff"], FIXES[2:]),
            (["--no-obs"], FIXES[:3] + [DEAD_RECKONING] + FIXES[3:]),
            (["--max-hdop", "0.9"], [FIXES[0], FIXES[2], FIXES[3]]),
            # RMC carries no height, satellites or HDOP; the GSA came before the second.
            (["--source", "rmc"], [FIXES[0], Fix(48 + 7.04 / 60, 11.5167, None, "2024-05-01T10:00:01.00Z", "3D",
                                                 "3d", None, None, 2.1)]),
        ]
        for options, fixes in cases:
            for fmt in ("csv", "geojson", "gpx", "kml"):
                with self.subTest(options=options, format=fmt):
                    self.check(fmt, fixes, *options)

    def test_a_single_fix_and_none_make_valid_files(self):
        one = self.path("one.nme")
        with open(one, "w", newline="") as f:
            f.write(RECORDING.split("\r\n")[0] + "\r\n")
        empty = self.path("empty.nme")
        open(empty, "w").close()
        for recording, fixes in ((one, FIXES[:1]), (empty, [])):
            for fmt in ("csv", "geojson", "gpx", "kml"):
                with self.subTest(recording=recording, format=fmt):
                    self.check(fmt, fixes, recording=recording)

    def test_standard_output_and_files_hold_the_same(self):
        for fmt in ("csv", "geojson", "gpx", "kml"):
            with self.subTest(fmt):
                printed = run(CLI, "export", "--format", fmt, self.recording).stdout
                with open(self.export(fmt)) as f:
                    self.assertEqual(printed, f.read())

    def test_a_simulated_binr_run_gives_the_decoded_solutions(self):
        binr = self.path("run.dat")
        run(SIM, "--protocol", "binr", "--duration", "60", "--write", binr)
        decoded = [json.loads(line) for line in run(CLI, "decode", binr).stdout.splitlines()]
        solutions = [m for m in decoded if m.get("id") == 0x88 and m["status"] & 1]
        self.assertGreater(len(solutions), 50)
        start = datetime.datetime(2024, 5, 1, 10, 0, 0)
        for fmt in ("csv", "geojson", "gpx", "kml"):
            with self.subTest(fmt):
                path = self.export(fmt, recording=binr)
                if fmt == "csv":
                    with open(path, newline="") as f:
                        rows = list(csv.DictReader(f))
                    for i, row in enumerate(rows):
                        self.assertEqual(parse_time(row["time"]), start + datetime.timedelta(seconds=i), i)
                    # The receiver's DOP message follows its first solution.
                    for row in rows[1:]:
                        self.assertTrue(0 < int(row["sats"]) <= 24 and 0 < float(row["hdop"]) < 10, row)
                fixes = [Fix(s["lat_deg"], s["lon_deg"], s["height_m"], None, "", None, None, None, None)
                         for s in solutions]
                self.check_positions(fmt, path, fixes)

    def check_positions(self, fmt, path, fixes):
        """The positions alone, for a recording whose other figures the test does not know."""
        if fmt == "csv":
            with open(path, newline="") as f:
                rows = [(float(r["latitude_deg"]), float(r["longitude_deg"]), float(r["height_m"]), 9)
                        for r in csv.DictReader(f)]
        elif fmt == "geojson":
            with open(path) as f:
                features = json.load(f)["features"]
            rows = [(c[1], c[0], c[2], 9) for c in
                    (f["geometry"]["coordinates"] for f in features if f["geometry"]["type"] == "Point")]
        else:
            rows = [(float(r["Latitude"]), float(r["Longitude"]), float(r["Altitude"]), 6)
                    for r in gpsbabel("-t", "-i", fmt, "-f", path)]
        self.assertEqual(len(rows), len(fixes))
        for i, ((lat, lon, height, places), fix) in enumerate(zip(rows, fixes)):
            self.near(lat, fix.lat, places, i, 9)
            self.near(lon, fix.lon, places, i, 9)
            self.near(height, fix.height, 3 if places == 9 else 1, i, 3)

    def test_bad_arguments_and_files(self):
        missing = self.path("missing.nme")
        cases = [
            (["--format", "shp", self.recording], 2),
            (["--format", "gpx"], 2),
            ([self.recording], 2),
            (["--format", "gpx", "--max-hdop", "12", self.recording], 2),
            (["--format", "gpx", "--frobnicate", self.recording], 2),
            (["--format", "gpx", self.path("noextension")], 2),
            (["--format", "gpx", missing], 1),
            (["--format", "gpx", "-o", self.path("no/such/folder.gpx"), self.recording], 1),
            (["--format", "gpx", "-o", self.recording, self.recording], 1),
        ]
        for args, status in cases:
            with self.subTest(args):
                done = run(CLI, "export", *args, status=status)
                self.assertTrue(done.stderr.startswith("veltrano-cli: ") or done.stderr.startswith("usage: "),
                                done.stderr)
        with open(self.recording, newline="") as f:
            self.assertEqual(f.read(), RECORDING, "the recording named as the output is untouched")
        # A recording that cannot be read leaves no output behind.
        out = self.path("partial.kml")
        run(CLI, "export", "--format", "kml", "-o", out, self.recording, missing, status=1)
        self.assertFalse(os.path.exists(out))
        self.assertIn("usage: veltrano-cli export", run(CLI, "export", "--help").stdout)


if __name__ == "__main__":
    unittest.main(argv=sys.argv[:1], verbosity=2)
