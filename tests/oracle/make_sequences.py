#!/usr/bin/env python3
"""Seeded generator of earthquake-report sequences as the report API would serve them.

Each sequence is a folder of numbered bodies (000.json, 001.json, ...), each a compact JSON array
of report objects, newest first, members in alphabetical order at every level, the way the API
writes them. Successive bodies are successive fetches: a new report is put on top of the
reports already published; some fetches repeat the last body (nothing new) or bring an error
page instead of JSON.

The earthquakes are made up but shaped like real ones: intensity reports by area, hypocentre
reports, combined reports, detailed reports with real station names from Stations.ini
(intensities falling off with distance), foreign and other reports. The mix deliberately
includes reports of one earthquake within two and three minutes of event time, intensity
reports that arrive after the hypocentre report, epicentres on the edges of the map of Japan
and far abroad, airport and island station names, names that match nothing, the code 46 and
two stations of one area with 3 and 5+.

    make_sequences.py --seed 7 --sequences 3 --out DIR
    make_sequences.py --detailscale-2283 tests/fixtures/compose/detailscale-2283.json
"""

import argparse
import datetime
import json
import math
import os
import random
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import map_layer_model as model  # noqa: E402

ROOT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..")
SETTING = os.path.join(ROOT, "runtime", "Setting")

PREFECTURES = (
    "北海道", "青森県", "岩手県", "宮城県", "秋田県", "山形県", "福島県", "茨城県", "栃木県", "群馬県",
    "埼玉県", "千葉県", "東京都", "神奈川県", "新潟県", "富山県", "石川県", "福井県", "山梨県", "長野県",
    "岐阜県", "静岡県", "愛知県", "三重県", "滋賀県", "京都府", "大阪府", "兵庫県", "奈良県", "和歌山県",
    "鳥取県", "島根県", "岡山県", "広島県", "山口県", "徳島県", "香川県", "愛媛県", "高知県", "福岡県",
    "佐賀県", "長崎県", "熊本県", "大分県", "宮崎県", "鹿児島県", "沖縄県")

# Domestic source regions: (name, latitude, longitude, depth range in km).
REGIONS = (
    ("石川県能登地方", 37.5, 137.2, (5, 15)), ("茨城県南部", 36.1, 140.0, (40, 70)),
    ("千葉県北西部", 35.6, 140.1, (50, 80)), ("福島県沖", 37.5, 141.6, (30, 60)),
    ("宮城県沖", 38.3, 141.9, (40, 60)), ("岩手県沖", 39.8, 142.1, (20, 50)),
    ("三陸沖", 39.5, 143.5, (10, 30)), ("胆振地方中東部", 42.7, 142.0, (30, 40)),
    ("十勝沖", 42.2, 143.8, (20, 50)), ("釧路沖", 42.6, 144.9, (40, 80)),
    ("長野県北部", 36.7, 138.1, (5, 15)), ("岐阜県飛騨地方", 36.2, 137.4, (5, 10)),
    ("静岡県西部", 34.8, 137.8, (20, 40)), ("和歌山県北部", 34.1, 135.3, (5, 10)),
    ("大阪府北部", 34.8, 135.6, (10, 15)), ("鳥取県中部", 35.4, 133.8, (10, 15)),
    ("愛媛県南予", 33.3, 132.5, (30, 50)), ("熊本県熊本地方", 32.7, 130.8, (5, 15)),
    ("日向灘", 31.8, 131.9, (20, 40)), ("トカラ列島近海", 29.3, 129.4, (10, 20)),
    ("奄美大島近海", 28.3, 129.6, (20, 40)), ("沖縄本島近海", 26.6, 128.0, (20, 50)),
    ("与那国島近海", 24.3, 122.6, (30, 70)), ("伊豆大島近海", 34.7, 139.4, (10, 20)),
    ("八丈島東方沖", 33.1, 140.6, (20, 60)), ("父島近海", 27.0, 142.2, (20, 60)),
    ("新潟県中越地方", 37.3, 138.9, (10, 15)), ("秋田県内陸南部", 39.3, 140.6, (5, 15)),
)

# Hypocentres at or near the borders of the map of Japan.
EDGES = (
    ("サハリン西方沖", 49.0, 141.1), ("千島列島", 46.9, 154.0), ("千島列島東方", 45.0, 155.2),
    ("台湾付近", 23.5, 120.0), ("フィリピン付近", 18.0, 125.3), ("台湾東方沖", 24.2, 119.8),
    ("鳥島近海", 30.5, 153.9), ("ウラジオストク付近", 48.9, 131.5), ("父島近海", 27.0, 142.2),
    ("小笠原諸島西方沖", 27.9, 139.5), ("オホーツク海南部", 45.6, 146.0),
)

# Foreign earthquakes: (name, latitude, longitude).
FOREIGN = (
    ("アラスカ州南方", 54.7, -159.6), ("アリューシャン列島", 51.4, -170.0), ("トンガ諸島", -21.2, -175.0),
    ("ニュージーランド南島付近", -45.0, 167.4), ("南サンドウィッチ諸島", -58.4, -26.4),
    ("チリ中部沿岸", -35.9, -72.7), ("ケルマデック諸島", -29.9, -177.5), ("スマトラ北部西方沖", 3.3, 95.9),
    ("中国四川省", 30.3, 103.0), ("カムチャツカ半島東方沖", 52.6, 160.1), ("台湾付近", 23.8, 121.6),
    ("メキシコ中部", 16.2, -98.3), ("マッコーリー島付近", -54.5, 159.0), ("バヌアツ諸島", -15.4, 167.2),
)

AIRPORTS = ("新千歳空港", "仙台空港", "成田国際空港", "東京国際空港", "新潟空港", "中部国際空港", "大阪国際空港",
            "関西国際空港", "広島空港", "高松空港", "福岡空港", "鹿児島空港", "那覇空港")
ISLANDS = ("薩摩川内市甑島", "薩摩川内市上甑町", "薩摩川内市下甑町手打", "佐世保市宇久町", "松山市中島大浦",
           "萩市見島宇津", "尾道市向島町", "酒田市飛島", "輪島市舳倉島", "佐世保市宇久島")
NOWHERE = ("テスト観測点", "新設観測点１", "東京都23区", "那覇空港第２", "北海道", "")
# Two stations of one area (石狩地方中部).
SAME_AREA = ("札幌北区太平", "札幌中央区北２条")

SCALE_STEPS = ((1.5, 10), (2.5, 20), (3.5, 30), (4.5, 40), (5.0, 45), (5.5, 50), (6.0, 55), (6.5, 60))


def scale_code(intensity):
    if intensity < 0.5:
        return None
    return next((code for limit, code in SCALE_STEPS if intensity < limit), 70)


def intensity(magnitude, r_km):
    """A rough instrumental intensity at hypocentral distance r_km."""
    return 1.5 * magnitude - 3.6 * math.log10(r_km + 10) + 1.0


def distance_km(lat1, lon1, lat2, lon2):
    p1, p2 = math.radians(lat1), math.radians(lat2)
    dp, dl = p2 - p1, math.radians(lon2 - lon1)
    a = math.sin(dp / 2) ** 2 + math.cos(p1) * math.cos(p2) * math.sin(dl / 2) ** 2
    return 6371.0 * 2 * math.asin(min(1.0, math.sqrt(a)))


def number(x):
    """A JSON number as the API writes it: integral values without a decimal point."""
    return int(x) if float(x).is_integer() else x


def stamp(t, millis=None):
    text = t.strftime("%Y/%m/%d %H:%M:%S")
    return text if millis is None else "%s.%03d" % (text, millis)


class World:
    """The reference stations and areas the made-up reports are built from."""

    def __init__(self, setting=SETTING):
        self.stations = [s for s in model.load_stations(os.path.join(setting, "Stations.ini"))]
        prefs = {}
        for line in model.read_reference_lines(os.path.join(setting, "Stations.ini"), 5000):
            cols = line.split("\t")
            prefs[cols[0]] = model.leading_int(cols[3]) if len(cols) > 3 else 0
        self.pref_of = {name: PREFECTURES[n - 1] if 1 <= n <= 47 else "" for name, n in prefs.items()}
        self.areas = model.load_areas()
        self.area_info = model.load_area_info(os.path.join(setting, "AreaInfo.ini"))
        first = {}
        for i, (name, _) in enumerate(self.area_info):
            first.setdefault(name, i)
        self.area_of_station = {}
        for name, _, _ in self.stations:
            best = None
            for n in range(len(name) + 1):
                i = first.get(name[:n])
                if i is not None and (best is None or i < best):
                    best = i
            if best is not None:
                self.area_of_station[name] = self.area_info[best][1]

    def felt(self, lat, lon, depth, magnitude, rng, noise=0.3):
        """[(station, prefecture, code)] of the stations that felt the earthquake, nearest first."""
        felt = []
        for name, slat, slon in self.stations:
            r = math.hypot(distance_km(lat, lon, slat, slon), max(depth, 0))
            code = scale_code(intensity(magnitude, r) + rng.gauss(0, noise))
            if code:
                felt.append((r, name, code))
        felt.sort()
        return [(name, self.pref_of.get(name, ""), code) for _, name, code in felt]

    def areas_of(self, felt):
        """Strongest code per area, as [(area name, prefecture, code)] in table order."""
        best = {}
        pref = {}
        for name, p, code in felt:
            i = self.area_of_station.get(name)
            if i is not None and 0 <= i < len(self.areas):
                best[i] = max(best.get(i, 0), code)
                pref.setdefault(i, p)
        return [(self.areas[i][0], pref[i], best[i]) for i in sorted(best)]


class Sequence:
    """Reports of made-up earthquakes, published one after another."""

    def __init__(self, world, rng, start):
        self.world = world
        self.rng = rng
        self.clock = start
        self.pending = []  # (issue time, report)

    def new_id(self):
        return "%024x" % self.rng.getrandbits(96)

    def report(self, kind, event_time, issue_time, *, name="", lat=-200, lon=-200, depth=-1,
               magnitude=-1, max_scale=-1, points=(), is_area=False, domestic="None",
               foreign="Unknown", comment=None, max_scale_null=False):
        rng = self.rng
        received = issue_time + datetime.timedelta(seconds=rng.randint(20, 150),
                                                   milliseconds=rng.randint(0, 999))
        body = {
            "code": 551,
            "created_at": stamp(received + datetime.timedelta(seconds=rng.randint(0, 40)), rng.randint(0, 999)),
            "earthquake": {
                "domesticTsunami": domestic,
                "foreignTsunami": foreign,
                "hypocenter": {"depth": depth, "latitude": number(lat), "longitude": number(lon),
                               "magnitude": number(magnitude), "name": name},
                "maxScale": None if max_scale_null else max_scale,
                "time": stamp(event_time),
            },
            "id": self.new_id(),
            "issue": {"correct": "None", "source": "気象庁", "time": stamp(issue_time), "type": kind},
            "points": [{"addr": a, "isArea": is_area, "pref": p, "scale": s} for a, p, s in points],
            "time": stamp(received, rng.randint(0, 999)),
            "timestamp": {"convert": stamp(received, rng.randint(0, 999)),
                          "register": stamp(received, rng.randint(0, 999))},
            "user_agent": "jmaxml-seis-parser-go, relay, register-api",
            "ver": "20231023",
        }
        if comment is not None:
            body["comments"] = {"freeFormComment": comment}
        self.pending.append((issue_time, body))
        return body

    # Earthquakes -----------------------------------------------------------------------------

    def domestic(self, event_time, *, region=None, order=("prompt", "destination", "detail"),
                 magnitude=None, lat=None, lon=None, extras=True):
        """One domestic earthquake told in the usual steps (or a subset, in the given order)."""
        rng = self.rng
        name, rlat, rlon, (d0, d1) = region or rng.choice(REGIONS)
        lat = round(rlat + rng.uniform(-0.3, 0.3), 1) if lat is None else lat
        lon = round(rlon + rng.uniform(-0.3, 0.3), 1) if lon is None else lon
        depth = rng.choice([rng.randint(d0, d1), rng.randint(d0, d1), 0])
        magnitude = round(rng.uniform(3.0, 7.3), 1) if magnitude is None else magnitude
        felt = self.world.felt(lat, lon, depth, magnitude, rng)
        if len(felt) > 400 and rng.random() < 0.8:
            felt = felt[:rng.randint(150, 400)]
        if extras:
            felt = self.decorate(felt)
        max_scale = max((c for _, _, c in felt), default=-1)
        areas = self.world.areas_of(felt)
        tsunami = rng.choice(["None", "None", "None", "NonEffective", "Checking", "Watch"])
        t = event_time + datetime.timedelta(minutes=rng.randint(1, 2), seconds=rng.randint(0, 59))
        for step in order:
            if step == "prompt":
                prompt = [a for a in areas if a[2] >= 30] or areas[:3]
                if extras and rng.random() < 0.2:
                    prompt.append(rng.choice([("東京都23区", "東京都", 30), ("日高地方中部", "北海道", 46),
                                              ("胆振地方中東部", "北海道", 99)]))
                if extras and prompt and rng.random() < 0.15:
                    prompt.append((prompt[0][0], prompt[0][1], 10))  # the same area twice
                self.report("ScalePrompt", event_time, t, points=prompt, is_area=True,
                            max_scale=max((c for _, _, c in prompt), default=-1), domestic="Checking")
            elif step == "destination":
                self.report("Destination", event_time, t, name=name, lat=lat, lon=lon, depth=depth,
                            magnitude=magnitude, domestic=tsunami)
            elif step == "both":
                self.report("ScaleAndDestination", event_time, t, name=name, lat=lat, lon=lon,
                            depth=depth, magnitude=magnitude, max_scale=max_scale,
                            points=[a for a in areas if a[2] >= 30], is_area=True, domestic=tsunami)
            elif step == "detail":
                self.report("DetailScale", event_time, t, name=name, lat=lat, lon=lon, depth=depth,
                            magnitude=magnitude, max_scale=max_scale, points=felt, domestic=tsunami,
                            max_scale_null=extras and rng.random() < 0.05,
                            comment="" if rng.random() < 0.5 else None)
            t += datetime.timedelta(minutes=rng.randint(1, 4), seconds=rng.randint(0, 59))
        return event_time

    def decorate(self, felt):
        """Mixes airport, island and unknown names, the code 46 and a same-area pair into the
        stations of a detailed report."""
        rng = self.rng
        felt = list(felt)
        extra = []
        if rng.random() < 0.5:
            extra += [(a, "", rng.choice([10, 20, 30, 40])) for a in rng.sample(AIRPORTS, 2)]
        if rng.random() < 0.4:
            extra += [(a, "", rng.choice([10, 20, 30])) for a in rng.sample(ISLANDS, 2)]
        if rng.random() < 0.3:
            extra.append((rng.choice(NOWHERE), "", rng.choice([10, 20])))
        if rng.random() < 0.3:
            extra += [(SAME_AREA[0], "北海道", 30), (SAME_AREA[1], "北海道", 50)]
        if felt and rng.random() < 0.3:
            name, pref, _ = felt[0]
            felt[0] = (name, pref, 46)
        for e in extra:
            felt.insert(rng.randint(0, len(felt)), (e[0], e[1] or self.world.pref_of.get(e[0], ""), e[2]))
        return felt

    def edge(self, event_time):
        """A hypocentre on or beyond the borders of the map of Japan."""
        rng = self.rng
        name, lat, lon = rng.choice(EDGES)
        kind = rng.choice(["Destination", "ScaleAndDestination", "DetailScale"])
        felt = self.world.felt(lat, lon, 30, 6.5, rng)[:rng.randint(0, 60)]
        max_scale = max((c for _, _, c in felt), default=-1)
        t = event_time + datetime.timedelta(minutes=rng.randint(2, 6))
        points = felt if kind == "DetailScale" else (self.world.areas_of(felt) if kind != "Destination" else [])
        self.report(kind, event_time, t, name=name, lat=lat, lon=lon, depth=rng.randint(10, 600),
                    magnitude=round(rng.uniform(5.0, 7.5), 1), points=points,
                    max_scale=max_scale if kind != "Destination" else -1,
                    is_area=kind == "ScaleAndDestination")

    def foreign(self, event_time):
        rng = self.rng
        name, lat, lon = rng.choice(FOREIGN)
        t = event_time + datetime.timedelta(minutes=rng.randint(15, 40))
        foreign = rng.choice(["Unknown", "None", "NonEffectiveNearby", "WarningNearby", "WarningPacific", "Potential"])
        domestic = rng.choice(["None", "Checking", "NonEffective", "Unknown"])
        self.report("Foreign", event_time, t, name=name, lat=lat, lon=lon,
                    depth=rng.choice([-1, 10, 35, 100]), magnitude=round(rng.uniform(6.0, 8.4), 1),
                    domestic=domestic, foreign=foreign, comment="")

    def other(self, when):
        self.report("Other", datetime.datetime(1, 1, 1), when, domestic="Unknown",
                    comment="震度速報の訂正です。\n先ほどの情報を取り消します。")  # a line break, escaped in JSON

    def unknown_type(self, event_time):
        name, lat, lon, _ = self.rng.choice(REGIONS)
        self.report("Unknown", event_time, event_time + datetime.timedelta(minutes=3), name=name,
                    lat=lat, lon=lon, depth=10, magnitude=4.0, max_scale=30)

    # Publishing ------------------------------------------------------------------------------

    def bodies(self):
        """The fetches, in order: each body lists the newest reports, newest first; some fetches
        see nothing new, one in a while gets an error page."""
        rng = self.rng
        published = []
        out = []
        for _, report in sorted(self.pending, key=lambda p: p[0]):
            published.insert(0, report)
            limit = 20
            out.append(body_text(published[:limit]))
            roll = rng.random()
            if roll < 0.12:
                out.append(out[-1])
            elif roll < 0.15:
                out.append("<html><body>502 Bad Gateway</body></html>")
        return out


def body_text(reports):
    return json.dumps(reports, ensure_ascii=False, sort_keys=True, separators=(",", ":"))


def make_sequence(world, seed):
    """One sequence of fetches with every kind of report and the tricky timings."""
    rng = random.Random(seed)
    start = datetime.datetime(2024, 1, 1) + datetime.timedelta(minutes=rng.randint(0, 600000))
    seq = Sequence(world, rng, start)
    t = start
    step = lambda lo, hi: datetime.timedelta(minutes=rng.randint(lo, hi))  # noqa: E731
    plan = ["full", "pair2", "pair3", "late_prompt", "both", "foreign", "edge", "other", "deep",
            "full", "edge", "foreign"]
    rng.shuffle(plan)
    plan += rng.choices(["full", "both", "foreign", "edge", "pair2", "small"], k=rng.randint(2, 6))
    if rng.random() < 0.3:
        plan.append("unknown")
    for item in plan:
        t += step(30, 600)
        if item == "full":
            seq.domestic(t)
        elif item in ("pair2", "pair3"):
            # A second earthquake two or three minutes (of event time) after the first one.
            gap = 2 if item == "pair2" else 3
            region = rng.choice(REGIONS)
            seq.domestic(t, region=region, order=("prompt", "destination", "detail"))
            seq.domestic(t + datetime.timedelta(minutes=gap), region=region,
                         order=rng.choice([("prompt", "destination"), ("prompt",), ("destination", "prompt")]))
            if rng.random() < 0.5:
                seq.domestic(t + datetime.timedelta(minutes=1), region=region, order=("prompt",))
        elif item == "late_prompt":
            seq.domestic(t, order=("destination", "prompt", "detail"))
        elif item == "both":
            seq.domestic(t, order=rng.choice([("both",), ("both", "detail")]), magnitude=round(rng.uniform(2.5, 4.5), 1))
        elif item == "small":
            seq.domestic(t, order=("detail",), magnitude=round(rng.uniform(2.5, 4.0), 1))
        elif item == "deep":
            seq.domestic(t, region=("サハリン近海", 47.5, 142.5, (500, 600)), order=("destination",),
                         magnitude=5.5, extras=False)
        elif item == "foreign":
            seq.foreign(t)
        elif item == "edge":
            seq.edge(t)
        elif item == "other":
            seq.other(t)
        elif item == "unknown":
            seq.unknown_type(t)
    return seq.bodies()


def write_sequences(out_dir, seed, count, world=None):
    """Writes `count` sequences below out_dir; returns their folders."""
    world = world or World()
    folders = []
    for n in range(count):
        folder = os.path.join(out_dir, "seed%d-%02d" % (seed, n))
        os.makedirs(folder, exist_ok=True)
        for i, text in enumerate(make_sequence(world, seed * 1000 + n)):
            with open(os.path.join(folder, "%03d.json" % i), "w", encoding="utf-8", newline="") as f:
                f.write(text)
        folders.append(folder)
    return folders


def write_detailscale_2283(path, world=None):
    """A large detailed report: the 2,283 stations nearest to an inland earthquake in Honshu,
    intensities falling off with distance (at least 1), listed in station-table order."""
    world = world or World()
    rng = random.Random(2283)
    event = datetime.datetime(2025, 3, 14, 9, 41)
    seq = Sequence(world, rng, event)
    lat, lon, depth, magnitude = 36.3, 138.0, 10, 6.9
    nearest = sorted(world.stations, key=lambda s: distance_km(lat, lon, s[1], s[2]))[:2283]
    chosen = set()
    points = []
    for name, slat, slon in nearest:
        r = math.hypot(distance_km(lat, lon, slat, slon), depth)
        code = scale_code(intensity(magnitude, r) + rng.gauss(0, 0.2)) or 10
        points.append((name, world.pref_of.get(name, ""), code))
        chosen.add(name)
    order = {name: i for i, (name, _, _) in enumerate(world.stations)}
    points.sort(key=lambda p: order[p[0]])
    seq.report("DetailScale", event, event + datetime.timedelta(minutes=6, seconds=12), name="長野県中部",
               lat=lat, lon=lon, depth=depth, magnitude=magnitude,
               max_scale=max(c for _, _, c in points), points=points, domestic="None", comment="")
    with open(path, "w", encoding="utf-8", newline="") as f:
        f.write(body_text([seq.pending[-1][1]]))


def main(argv=None):
    ap = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    ap.add_argument("--seed", type=int, default=1)
    ap.add_argument("--sequences", type=int, default=1)
    ap.add_argument("--out", help="folder for the sequences")
    ap.add_argument("--detailscale-2283", metavar="PATH", help="write the large detailed report")
    args = ap.parse_args(argv)
    world = World()
    if args.detailscale_2283:
        write_detailscale_2283(args.detailscale_2283, world)
    if args.out:
        for folder in write_sequences(args.out, args.seed, args.sequences, world):
            print(folder)
    return 0


if __name__ == "__main__":
    sys.exit(main())
