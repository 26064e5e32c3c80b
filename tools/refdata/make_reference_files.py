#!/usr/bin/env python3
"""Builds the reference files of runtime/Setting from JMA's public tables.

Inputs (in --data, see the README's "Reference data" section for their sources):
  s24_AreaForecastLocalE,AreaInformationCity,PointSeismicIntensity.csv
      JMA code table 24 (cp932): area, municipality and station of every intensity station.
  stations.json
      the intensity stations with coordinates, prefecture and operator (UTF-8).

Outputs:
  runtime/Setting/Stations.ini   every station: name TAB "%5.2f" latitude TAB "%6.2f" longitude
                                 TAB prefecture number TAB operator (0 JMA, 1 local government,
                                 2 NIED), CR LF, in the order of stations.json.
  runtime/Setting/AreaInfo.ini   municipality (JMA short form) TAB area index, CR LF, plus the
                                 extra lines that every station needs to reach its own area
                                 through the program's prefix rule.
  runtime/Setting/LandArea.ini   empty: no renaming is needed.
  tests/fixtures/refdata/station_areas.tsv   station name TAB area index it must resolve to.
  tests/fixtures/refdata/jma_areas.tsv       area code TAB JMA area name TAB prefecture.

The area index is a position in the program's AreaTable, read from src/refdata/area_table.cpp.
The resolution below mirrors ResolvePoint (src/refdata/point_resolution.cpp); the C++ test
tests/refdata/runtime_reference_data_test.cpp proves the result with the program's own code.

Usage: tools/refdata/make_reference_files.py --data DIR   (Python 3, standard library only)
"""
import argparse
import csv
import io
import json
import os
import re
import sys

ROOT = os.path.abspath(os.path.join(os.path.dirname(__file__), "..", ".."))
CSV_NAME = "s24_AreaForecastLocalE,AreaInformationCity,PointSeismicIntensity.csv"
NAME_FIELD = 15  # characters a name field of the program holds
AREA_INFO_CAPACITY = 2000
STATION_CAPACITY = 5000
OPERATORS = {"気象庁": 0, "地方公共団体": 1, "防災科学技術研究所": 2}


def cpp_string_table(path, pattern):
    text = open(path, encoding="utf-8").read()
    return [m.groups() for m in re.finditer(pattern, text)]


def read_program_tables():
    """The program's areas (code, name) in table order, and the tables of point_resolution.h."""
    areas = cpp_string_table(os.path.join(ROOT, "src/refdata/area_table.cpp"),
                             r'\{(\d{3}), u"([^"]+)", [\d.]+, [\d.]+\}')
    if len(areas) != 188:
        sys.exit("area_table.cpp: expected 188 areas, found %d" % len(areas))
    header = os.path.join(ROOT, "src/refdata/point_resolution.h")
    text = open(header, encoding="utf-8").read()
    fix_block = text[text.index("PlaceNameFix[] = {"):text.index("};", text.index("PlaceNameFix[] = {"))]
    excl_block = text[text.index("IslandExclusion[] = {"):]
    excl_block = excl_block[:excl_block.index("};")]
    pair = r'\{u"([^"]+)", u"([^"]+)"\}'
    fixes = re.findall(pair, fix_block)
    exclusions = set(re.findall(pair, excl_block))
    if len(fixes) != 20 or len(exclusions) != 7:
        sys.exit("point_resolution.h: cannot read PlaceNameFix / IslandExclusion")
    return [(int(c), n) for c, n in areas], fixes, exclusions


def fix_name(name, fixes):
    for src, dst in fixes:
        if name == src:
            name = dst
    return name


def resolve(place, entries, exclusions):
    """Index of the first entry (name, area index) whose name begins `place`, or None."""
    for i, (entry, _) in enumerate(entries):
        if entry and place.startswith(entry) and (entry, place) not in exclusions:
            return i
    return None


def longer_names_first(entries):
    """Keeps the given order, except that an entry moves in front of any earlier entry whose
    name is a prefix of its own (東村山市 before 東村), so that the longer name is found first."""
    order = list(entries)
    moved = True
    while moved:
        moved = False
        for i, (name, _) in enumerate(order):
            for j in range(i):
                if name != order[j][0] and name.startswith(order[j][0]):
                    order.insert(j, order.pop(i))
                    moved = True
                    break
            if moved:
                break
    return order


def build_area_info(municipalities, stations, fixes, exclusions):
    """municipalities: [(name, area index)] in code-table order; stations: [(name, municipality,
    area index)]. Returns the entries and the extra lines that were needed."""
    entries = longer_names_first(municipalities)
    extras = []
    for _ in range(100):
        wrong = []
        for name, municipality, area in stations:
            place = fix_name(name, fixes)
            hit = resolve(place, entries, exclusions)
            if hit is None or entries[hit][1] != area:
                wrong.append((place, municipality, area, hit))
        if not wrong:
            return entries, extras
        place, municipality, area, hit = wrong[0]
        # A station named with a prefix before its municipality (静岡菊川市赤土) gets a line for
        # that form of the municipality; any other one (island districts, villages of an
        # island named after them) a line of its own place name.
        cut = place.find(municipality)
        line = place[:cut + len(municipality)] if cut > 0 else place
        if len(line) > NAME_FIELD:
            sys.exit("place name too long for AreaInfo.ini: " + line)
        # In front of the line that claimed it wrongly, else of its municipality's line.
        names = [e[0] for e in entries]
        at = hit if hit is not None else (names.index(municipality) if municipality in names else len(entries))
        entries.insert(at, (line, area))
        extras.append((line, area))
    sys.exit("AreaInfo.ini: stations still unresolved after 100 extra lines")


def coordinate(value):
    # Most coordinates are strings with two decimals, some longitudes plain numbers with more;
    # the program's station refresh reads either as a double and prints it with "%.2f".
    return float(value)


def write(path, text):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "w", encoding="utf-8", newline="") as f:
        f.write(text)


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("--data", required=True, help="folder with the JMA tables")
    args = parser.parse_args()

    areas, fixes, exclusions = read_program_tables()
    area_index = {code: i for i, (code, _) in enumerate(areas)}

    with open(os.path.join(args.data, CSV_NAME), encoding="cp932", newline="") as f:
        rows = list(csv.reader(io.StringIO(f.read())))[1:]
    jma_area_names = {}
    municipalities = []
    seen = set()
    for area_code, area_name, _, _, municipality, _, _, _, _ in rows:
        jma_area_names[int(area_code)] = area_name
        if municipality not in seen:
            seen.add(municipality)
            municipalities.append((municipality, area_index[int(area_code)]))
    mismatched = [(c, n, jma_area_names.get(c)) for c, n in areas if jma_area_names.get(c) != n]
    if mismatched or len(jma_area_names) != len(areas):
        sys.exit("AreaTable and the JMA code table disagree: %s" % mismatched)

    with open(os.path.join(args.data, "stations.json"), encoding="utf-8") as f:
        document = json.load(f)
    if len(document) > STATION_CAPACITY:
        sys.exit("more stations than Stations.ini can hold")
    stations = []
    prefectures = {}
    lines = []
    for s in document:
        name = s["name"]
        if len(name) > NAME_FIELD or any(c in name for c in "\t\r\n"):
            sys.exit("station name does not fit the program: %r" % name)
        if s["affi"] not in OPERATORS:
            sys.exit("unknown station operator %r" % s["affi"])
        area = area_index[int(s["area"]["code"])]
        stations.append((name, s["city"]["name"], area))
        prefectures.setdefault(int(s["area"]["code"]), set()).add(s["pref"]["name"])
        lines.append("%s\t%5.2f\t%6.2f\t%d\t%d\r\n" % (name, coordinate(s["lat"]), coordinate(s["lon"]),
                                                     int(s["pref"]["code"]), OPERATORS[s["affi"]]))
    if len({n for n, _, _ in stations}) != len(stations):
        sys.exit("station names are not unique")

    entries, extras = build_area_info(municipalities, stations, fixes, exclusions)
    if len(entries) > AREA_INFO_CAPACITY:
        sys.exit("AreaInfo.ini would exceed %d lines" % AREA_INFO_CAPACITY)

    setting = os.path.join(ROOT, "runtime", "Setting")
    write(os.path.join(setting, "Stations.ini"), "".join(lines))
    write(os.path.join(setting, "AreaInfo.ini"), "".join("%s\t%d\r\n" % e for e in entries))
    write(os.path.join(setting, "LandArea.ini"), "")
    fixtures = os.path.join(ROOT, "tests", "fixtures", "refdata")
    write(os.path.join(fixtures, "station_areas.tsv"),
          "".join("%s\t%d\n" % (name, area) for name, _, area in stations))
    write(os.path.join(fixtures, "jma_areas.tsv"),
          "".join("%d\t%s\t%s\n" % (code, jma_area_names[code], "/".join(sorted(prefectures[code])))
                  for code in sorted(jma_area_names)))

    print("Stations.ini: %d stations" % len(lines))
    print("AreaInfo.ini: %d municipalities + %d extra lines" % (len(municipalities), len(extras)))
    for line, area in extras:
        print("  extra: %s\t%d (%d %s)" % (line, area, areas[area][0], areas[area][1]))
    print("%d of %d stations resolve to their area" % (len(stations), len(stations)))


if __name__ == "__main__":
    main()
