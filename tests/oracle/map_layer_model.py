#!/usr/bin/env python3
"""Reference model of Heronwatch's map view and map layer, written apart from the C++ code.

It reads a working folder (settings, theme layout, AreaInfo.ini, Stations.ini), lets
`heronwatch-tool parse` fill the report stores for each report body in turn, and replays what the
map layer does with every report that brings new data: the same-earthquake memory, the station
and area resolution of detailed reports, the event-log summary, the map view (zoom level, crop,
origin) and which intensity markers and which epicentre mark end up on the map.

For every composition it prints one compact JSON line; `check_compose.py` compares these lines
with `heronwatch-tool compose`. The readings chosen where the behaviour could be read two ways are
listed in README.md next to this file.

Usage: map_layer_model.py --tool PATH --workdir DIR BODY...
"""

import argparse
import csv
import json
import math
import os
import re
import subprocess
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
FIXTURES = os.path.join(HERE, "..", "fixtures", "oracle")

LOG = "Event Log       ： "
SEPARATOR = {c: c * 97 for c in "=-x"}

# Intensity codes in the order the markers of area and station views are drawn.
MARKER_SCALES = (10, 20, 30, 40, 45, 50, 55, 60, 70)

TSUNAMI_LOG_LABEL = ("不明", "津波の心配なし", "若干の海面変動", "津波注意報", "津波予報", "調査中", "不明")

# Point names of detailed reports that are looked up under another place name (in this order,
# each row seeing the result of the rows before).
PLACE_NAME_FIX = (
    ("薩摩川内市上甑町", "薩摩川内市甑島"),
    ("薩摩川内市下甑町手打", "薩摩川内市甑島"),
    ("薩摩川内市下甑町青瀬", "薩摩川内市甑島"),
    ("佐世保市宇久町", "佐世保市宇久島"),
    ("松山市中島大浦", "松山市中島"),
    ("萩市見島宇津", "萩市見島"),
    ("尾道市向島町", "尾道市向島"),
    ("新千歳空港", "千歳市"),
    ("仙台空港", "名取市"),
    ("成田国際空港", "成田市"),
    ("東京国際空港", "東京大田区"),
    ("新潟空港", "新潟東区"),
    ("中部国際空港", "常滑市"),
    ("大阪国際空港", "豊中市"),
    ("関西国際空港", "田尻町"),
    ("広島空港", "三原市"),
    ("高松空港", "高松市"),
    ("福岡空港", "福岡博多区"),
    ("鹿児島空港", "霧島市"),
    ("那覇空港", "那覇市"),
)

# (place name, point name) pairs where the mainland municipality must not claim the island.
ISLAND_EXCLUSION = frozenset((
    ("薩摩川内市", "薩摩川内市甑島"),
    ("佐世保市", "佐世保市宇久島"),
    ("酒田市", "酒田市飛島"),
    ("輪島市", "輪島市舳倉島"),
    ("松山市", "松山市中島"),
    ("萩市", "萩市見島"),
    ("尾道市", "尾道市向島"),
))

# Zoom level limits: the level is that of the first limit above the box width (wide boxes) or
# height (tall boxes); level 10 for anything larger.
WIDE_LIMITS = (235, 376, 470, 627, 753, 941, 1129, 1411, 1882)
TALL_LIMITS = (139, 226, 286, 388, 473, 600, 731, 927, 1254)

# Per level: panel-pixel offsets to grid units (n, d); crop (K, W, H, Q); grid to panel (a, b, c, e).
OFFSET_SCALE = {1: (4, 24), 2: (4, 15), 3: (4, 12), 4: (4, 9), 5: (8, 15),
                6: (4, 6), 7: (4, 5), 8: (4, 4), 9: (4, 3), 10: (8, 5)}
CROP = {1: (320, 960, 540, 90), 2: (512, 1536, 864, 144), 3: (640, 1920, 1080, 180),
        4: (854, 2562, 1440, 240), 5: (1024, 3072, 1728, 288), 6: (1280, 3840, 2160, 360),
        7: (1536, 4608, 2592, 432), 8: (1920, 5760, 3240, 540), 9: (2560, 7680, 4320, 720),
        10: (3072, 9216, 5184, 864)}
PANEL_SCALE = {1: (2400, 4, 24, 4), 2: (1500, 4, 15, 4), 3: (1200, 4, 12, 4), 4: (900, 4, 9, 4),
               5: (1500, 8, 15, 8), 6: (600, 4, 6, 4), 7: (500, 4, 5, 4), 8: (400, 4, 1, 1),
               9: (300, 4, 3, 4), 10: (500, 8, 5, 8)}

PICTURES = {1: "jp_map1", 2: "jp_map1", 3: "jp_map2", 4: "jp_map2", 6: "jp_map2", 5: "world_map"}


def cdiv(a, b):
    """Integer division truncated toward zero, as the program's integer arithmetic does."""
    q = abs(a) // abs(b)
    return q if (a >= 0) == (b > 0) else -q


def cmod(a, b):
    """Remainder with the sign of the dividend."""
    return a - b * cdiv(a, b)


# ---------------------------------------------------------------------------------------------
# Text-to-number conversions of the runtime library (leading number, no error).

_INT_RE = re.compile(r"\s*([+-]?\d+)")
_FLOAT_RE = re.compile(r"\s*([+-]?(?:\d+\.?\d*|\.\d+)(?:[eE][+-]?\d+)?)")


def leading_int(text):
    m = _INT_RE.match(text)
    return int(m.group(1)) if m else 0


def leading_float(text):
    m = _FLOAT_RE.match(text)
    return float(m.group(1)) if m else 0.0


# ---------------------------------------------------------------------------------------------
# Profile (INI) files: sections and keys case-insensitive, blanks around keys and values
# ignored, the first occurrence of a key wins.

def read_profile(path):
    sections = {}
    try:
        with open(path, "rb") as f:
            text = f.read().decode("utf-8-sig", errors="replace")
    except OSError:
        return None
    current = None
    for line in text.splitlines():
        s = line.strip()
        if s.startswith("["):
            end = s.find("]")
            name = s[1:end] if end > 0 else s[1:]
            current = sections.setdefault(name.strip().lower(), {})
        elif current is not None and "=" in s:
            key, value = s.split("=", 1)
            current.setdefault(key.strip().lower(), value.strip())
    return sections


def profile_int(profile, section, key, default):
    value = (profile or {}).get(section.lower(), {}).get(key.lower())
    return default if value is None else leading_int(value)


def profile_text(profile, section, key, default):
    value = (profile or {}).get(section.lower(), {}).get(key.lower())
    return default if value is None else value[:511]


class Theme:
    """The theme values the map layer uses (with the layout file's defaults)."""

    def __init__(self, profile=None):
        p = profile
        self.mid_scale_off = profile_int(p, "Intensity", "MidIntensity.scaleOff", 0)
        self.min_scale_off = profile_int(p, "Intensity", "MinIntensity.scaleOff", 0)
        self.waku_width = profile_int(p, "Waku", "ShingenWaku.width", 74)
        self.waku_height = profile_int(p, "Waku", "ShingenWaku.height", 74)
        self.scale_max = profile_int(p, "Config", "MapScaleMax", 0)
        self.scale_offset = profile_int(p, "Config", "MapScaleOffset", 0)
        self.x_offset = profile_int(p, "Config", "MapXaxisOffset", 0)
        self.y_offset = profile_int(p, "Config", "MapYaxisOffset", 0)
        self.x_percent = min(max(profile_int(p, "Config", "MapXaxisPercent", 100), 75), 125)


def select_theme(workdir):
    """The theme folder name: [Theme] Name, or the first theme folder when it has no layout file."""
    settings = read_profile(os.path.join(workdir, "Heronwatch.ini"))
    name = profile_text(settings, "Theme", "Name", "Theme_REV")
    theme_root = os.path.join(workdir, "Theme")
    if not os.path.isfile(os.path.join(theme_root, name, "Setting.ini")):
        try:
            folders = sorted(d for d in os.listdir(theme_root)
                             if not d.startswith(".") and os.path.isdir(os.path.join(theme_root, d)))
        except OSError:
            folders = []
        name = folders[0] if folders else ""
    epi_front = 1 if profile_int(settings, "Config", "EpiFront", 0) == 1 else 0
    return name, epi_front


# ---------------------------------------------------------------------------------------------
# Reference files.

def read_reference_lines(path, limit):
    """Lines of a tab-separated reference file: UTF-8, optional byte order mark, CR dropped,
    only lines ended by LF, reading stops at a line of 1000 bytes or more or after `limit` lines."""
    try:
        with open(path, "rb") as f:
            data = f.read()
    except OSError:
        return []
    lines = []
    buf = bytearray(1001)
    p = 0
    for byte in data:
        if p >= 1000 or len(lines) >= limit:
            break
        if byte == 0x0D:
            continue
        if not lines and buf[0:3] == b"\xef\xbb\xbf":
            p = 0
        if byte == 0x0A:
            lines.append(bytes(buf[:p]).decode("utf-8", errors="replace"))
            p = 0
        else:
            buf[p] = byte
            p += 1
    return lines


def load_area_info(path):
    """[(place name, area index)] in file order."""
    entries = []
    for line in read_reference_lines(path, 2000):
        name, tab, rest = line.partition("\t")
        index = leading_int(rest) if rest else 0
        entries.append((name[:15], index))
    return entries


def load_stations(path):
    """[(name, latitude, longitude)] in file order."""
    stations = []
    for line in read_reference_lines(path, 5000):
        cols = line.split("\t")
        lat = leading_float(cols[1]) if len(cols) > 1 and cols[1] else 0.0
        lon = leading_float(cols[2]) if len(cols) > 2 and cols[2] else 0.0
        stations.append((cols[0][:15], lat, lon))
    return stations


def load_areas(path=os.path.join(FIXTURES, "areas.tsv")):
    """The 188 areas in table order: [(name, latitude, longitude)]."""
    with open(path, encoding="utf-8") as f:
        rows = [line.rstrip("\n").split("\t") for line in f if line.strip()]
    return [(name, float(lat), float(lon)) for _, name, lat, lon in rows]


def load_grid(path=os.path.join(FIXTURES, "mapgrid.csv")):
    grid = {}
    with open(path, encoding="utf-8") as f:
        for row in csv.DictReader(f):
            grid[int(row["lat"]), int(row["lon"])] = (int(row["x"]), int(row["y"]))
    return grid


# ---------------------------------------------------------------------------------------------
# Projection.

def grid_cell(latitude, longitude):
    """The grid cell (whole-degree row and column) and the hundredths into it; positions at or
    beyond the grid's edges are put on its first node or 0.99 into its last cell."""
    a = math.trunc(latitude * 100)
    lat_row, lat_frac = cdiv(a, 100), cmod(a, 100)
    b = math.trunc(longitude * 100)
    lon_col, lon_frac = cdiv(b, 100), cmod(b, 100)
    if latitude <= 18.0:
        lat_row, lat_frac = 18, 0
    if latitude >= 49.0:
        lat_row, lat_frac = 48, 99
    if longitude <= 120.0:
        lon_col, lon_frac = 120, 0
    if longitude >= 154.0:
        lon_col, lon_frac = 153, 99
    return lat_row, lat_frac, lon_col, lon_frac


def project_to_grid(grid, latitude, longitude):
    """Latitude and longitude to a grid position, bilinear in whole-degree cells (one hundredth
    of a degree resolution, fractions cut off)."""
    lat_row, lat_frac, lon_col, lon_frac = grid_cell(latitude, longitude)
    f_lat = lat_frac / 100.0
    f_lon = lon_frac / 100.0
    ax, ay = grid[lat_row, lon_col]
    bx, by = grid[lat_row, lon_col + 1]
    cx, cy = grid[lat_row + 1, lon_col]
    dx, dy = grid[lat_row + 1, lon_col + 1]
    gx = math.trunc(((dx - cx) * f_lon + cx - ((bx - ax) * f_lon + ax)) * f_lat
                    + (bx - ax) * f_lon + ax + 0.5)
    gy = math.trunc(((dy - by) * f_lat + by - ((cy - ay) * f_lat + ay)) * f_lon
                    + (cy - ay) * f_lat + ay + 0.5)
    return gx, gy


class MapView:
    def __init__(self, level, origin, picture, source, x_percent):
        self.level = level
        self.origin = origin          # (originX, originY) on Japan maps, else None
        self.picture = picture
        self.source = source
        self.x_percent = x_percent

    def grid_to_panel(self, gx, gy):
        a, b, c, e = PANEL_SCALE[self.level]
        dx = gx - self.origin[0]
        dy = gy - self.origin[1]
        return cdiv(cdiv(dx * a, b), self.x_percent), cdiv(dy * c, e)


def choose_level(w, h, theme):
    """Zoom level from the view box size, then the theme's offset and cap (the cap is stored
    back into the theme values)."""
    value, limits = (w, WIDE_LIMITS) if 3 * w >= 4 * h else (h, TALL_LIMITS)
    level = next((i + 1 for i, limit in enumerate(limits) if value < limit), 10)
    level = min(max(level + theme.scale_offset, 1), 10)
    if theme.scale_max < 0:
        theme.scale_max = 0
    if theme.scale_max > 0 and level > theme.scale_max:
        level = theme.scale_max
    return min(level, 10)


def place_view(issue_type, level, cx, cy, latitude, longitude, theme):
    """Picture, crop and origin of a view centred on the grid position (cx, cy)."""
    theme.x_offset = min(max(theme.x_offset, -300), 300)
    theme.y_offset = min(max(theme.y_offset, -300), 300)
    if issue_type in (1, 2, 3, 4, 6):
        n, d = OFFSET_SCALE[level]
        cx += cdiv(-n * theme.x_offset, d)
        cy += cdiv(-n * theme.y_offset, d)
    picture = PICTURES.get(issue_type)
    p = theme.x_percent
    if picture in ("jp_map1", "jp_map2"):
        k, w, h, q = CROP[level]
        origin_x = cx - cdiv(cdiv(p * k, 100), 2)
        origin_y = cy - q
        source = [3 * origin_x + (602 if level <= 2 else 601), 3 * origin_y + 598, cdiv(p * w, 100), h]
        return MapView(level, (origin_x, origin_y), picture, source, p)
    if picture == "world_map":
        source = [math.trunc((longitude + 360) * 10.314) - 1650, 0 if latitude >= -40.0 else 192, 3300, 1856]
        return MapView(level, None, picture, source, p)
    return MapView(level, None, None, None, p)


# ---------------------------------------------------------------------------------------------
# The map layer with the state it keeps between compositions.

class Report:
    """The fields of the newest report that the map layer reads (and partly rewrites)."""

    def __init__(self, latest):
        self.issue_type = latest["issueType"]
        self.time_key = latest["timeKey"]
        self.event_day_time = latest["eventDayTime"]
        self.hypocenter_name = latest["hypocenterName"]
        self.depth_text = latest["depthText"]
        self.max_scale = latest["maxScale"]
        self.magnitude = float(latest["magnitude"])
        self.latitude = float(latest["latitude"])
        self.longitude = float(latest["longitude"])
        self.domestic_tsunami = latest["domesticTsunami"]
        self.point_count = latest["pointCount"]
        self.max_scale_point_count = latest["MaxScalePointCount"]
        self.points = [(p["addr"], p["scale"]) for p in latest["points"][:self.point_count]]

    def epicentre(self):
        return (self.hypocenter_name, self.depth_text, self.magnitude, self.latitude, self.longitude)

    def set_epicentre(self, epicentre):
        (self.hypocenter_name, self.depth_text, self.magnitude,
         self.latitude, self.longitude) = epicentre


class MapLayer:
    def __init__(self, workdir, areas=None, grid=None):
        theme_name, self.epi_front = select_theme(workdir)
        self.theme = Theme(read_profile(os.path.join(workdir, "Theme", theme_name, "Setting.ini")))
        self.grid = grid or load_grid()
        self.areas = areas or load_areas()
        self.area_by_name = {name: i for i, (name, _, _) in enumerate(self.areas)}
        self.area_grid = [project_to_grid(self.grid, lat, lon) for _, lat, lon in self.areas]
        setting = os.path.join(workdir, "Setting")
        self.area_info = load_area_info(os.path.join(setting, "AreaInfo.ini"))
        self.stations = load_stations(os.path.join(setting, "Stations.ini"))
        self.station_by_name = {}
        for i, (name, _, _) in enumerate(self.stations):
            self.station_by_name.setdefault(name, i)
        # A blank place name would claim every point, and an index outside the area table
        # leads nowhere: neither kind of entry names a place.
        self.area_info_first = {}
        for i, (name, area) in enumerate(self.area_info):
            if name and 0 <= area < 188:
                self.area_info_first.setdefault(name, i)
        self.station_grid = [project_to_grid(self.grid, lat, lon) for _, lat, lon in self.stations]
        # Working fields and the state kept from one composition to the next (all zero at start).
        self.area_scale = [0] * len(self.areas)
        self.station_scale = [0] * len(self.stations)
        self.mem_time_key = 0
        self.mem_max_scale = 0
        self.mem_point_count = 0
        self.mem_max_scale_point_count = 0
        self.mem_points = []
        self.mem_area_scales = [0] * len(self.areas)
        self.mem_epicentre = ("", "", 0.0, 0.0, 0.0)
        self.epicentre_grid = (0, 0)
        self.epicentre_rect = [0, 0, 0, 0]
        self.unknown_point_name = "なし"
        self.unknown_area_count = 0

    # Same-earthquake memory ---------------------------------------------------------------

    def merge_with_memory(self, r, history0_max_scale):
        same = self.mem_time_key - 2 <= r.time_key <= self.mem_time_key + 2
        if r.issue_type == 1:
            if same:
                r.set_epicentre(self.mem_epicentre)
            else:
                self.mem_epicentre = r.epicentre()
            self.mem_max_scale = r.max_scale
            self.mem_point_count = r.point_count
            self.mem_max_scale_point_count = r.max_scale_point_count
            self.mem_points = list(r.points)
            self.mem_time_key = r.time_key
        elif r.issue_type == 2:
            if same:
                r.max_scale = self.mem_max_scale
                r.point_count = self.mem_point_count
                r.max_scale_point_count = self.mem_max_scale_point_count
                r.points = list(self.mem_points)
                self.area_scale = list(self.mem_area_scales)
            elif history0_max_scale != -1:
                r.max_scale = history0_max_scale
                self.mem_max_scale = history0_max_scale
            else:
                self.mem_max_scale = r.max_scale
                self.mem_point_count = r.point_count
                self.mem_max_scale_point_count = r.max_scale_point_count
                self.mem_points = list(r.points)
            self.mem_epicentre = r.epicentre()
            self.mem_time_key = r.time_key
        elif r.issue_type == 4:
            if r.time_key == self.mem_time_key:
                self.mem_epicentre = r.epicentre()

    # Detailed reports: stations and areas --------------------------------------------------

    def area_info_for(self, name):
        """Index of the first AreaInfo entry whose place name starts `name`, islands excepted."""
        best = None
        for length in range(len(name) + 1):
            prefix = name[:length]
            i = self.area_info_first.get(prefix)
            if i is not None and (prefix, name) not in ISLAND_EXCLUSION and (best is None or i < best):
                best = i
        return best

    def resolve_detail_points(self, r, log):
        for addr, scale in r.points:
            station = self.station_by_name.get(addr)
            if station is not None:
                self.station_scale[station] = scale
            else:
                log += [SEPARATOR["x"], LOG + "未定義・緯度経度    … " + addr, SEPARATOR["x"]]
            fixed = addr
            for old, new in PLACE_NAME_FIX:
                if fixed == old:
                    fixed = new
            entry = self.area_info_for(fixed)
            if entry is not None:
                place, area = self.area_info[entry]
                self.area_scale[area] = max(self.area_scale[area], scale)
                log.append(LOG + "エリア情報 … %02d, %s, %s" % (scale, place, addr))
            else:
                self.unknown_area_count += 1
                self.unknown_point_name = addr
                log += [SEPARATOR["x"], LOG + "未定義エリア(#%02d) … " % self.unknown_area_count + addr,
                        SEPARATOR["x"]]
        log.append(SEPARATOR["="])

    def summary(self, r, log):
        if r.max_scale != 0:
            label = TSUNAMI_LOG_LABEL[r.domestic_tsunami if 0 <= r.domestic_tsunami <= 6 else 0]
            log.append(LOG + "地震情報 … 日時：%s, マグニチュード：%3.1f" % (r.event_day_time, r.magnitude))
            log.append(LOG + "地震情報 … 震源：%s, 深さ：%s, 緯度経度：(%3.1f,%4.1f)"
                       % (r.hypocenter_name, r.depth_text, r.latitude, r.longitude))
            log.append(LOG + "地震情報 … 最大震度：%02d (%2d地点), 地点数：%d, 津波：%s"
                       % (r.max_scale, r.max_scale_point_count, r.point_count, label))
            log.append(SEPARATOR["-"])
            if r.issue_type != 4:
                for addr, scale in r.points:
                    log.append(LOG + "エリア情報 … %02d, %s" % (scale, addr))
                log.append(SEPARATOR["="])
        if r.issue_type == 4:
            self.resolve_detail_points(r, log)

    # View ----------------------------------------------------------------------------------

    def compute_map_view(self, r):
        """Collects the view box, chooses level and crop. Returns (view, projected epicentre)."""
        box = [10000, -1, 10000, -1]

        def widen(gx, gy, hx, hy):
            box[0] = min(box[0], gx - hx)
            box[1] = max(box[1], gx + hx)
            box[2] = min(box[2], gy - hy)
            box[3] = max(box[3], gy + hy)

        t = r.issue_type
        if t == 1:
            for addr, scale in r.points:
                i = self.area_by_name.get(addr)
                if i is not None:
                    widen(*self.area_grid[i], 10, 10)
                    self.area_scale[i] = scale
        elif t in (2, 3, 4):
            for i, (_, lat, _) in enumerate(self.areas):
                if self.area_scale[i] >= 10 and lat != 0.0:
                    widen(*self.area_grid[i], 10, 10)
        projected = None
        if t in (2, 3, 4, 5) or (t == 1 and self.mem_epicentre[4] != -200.0):
            projected = project_to_grid(self.grid, r.latitude, r.longitude)
            self.epicentre_grid = projected
            widen(*projected, cdiv(cdiv(self.theme.waku_width, 2), 3),
                  cdiv(cdiv(self.theme.waku_height, 2), 3))
        w = box[1] - box[0]
        h = box[3] - box[2]
        cx = box[0] + cdiv(w, 2)
        cy = box[2] + cdiv(h, 2)
        level = choose_level(w, h, self.theme)
        return place_view(t, level, cx, cy, r.latitude, r.longitude, self.theme), projected

    # Drawing -------------------------------------------------------------------------------

    def area_marker(self, view, index, scale, markers):
        px, py = view.grid_to_panel(*self.area_grid[index])
        s = self.theme.mid_scale_off
        half = cdiv(s, 2) + 32
        if half < px < 1888 - cdiv(s, 2) and half < py < 1048 - cdiv(s, 2):
            markers.append([index, scale, px, py])

    def station_marker(self, view, index, scale, markers):
        px, py = view.grid_to_panel(*self.station_grid[index])
        qx, qy = px + 7, py - 5
        if 1 <= qx <= 1919 and 1 <= qy <= 1079:
            markers.append([index, scale, qx, qy])

    def draw_epicentre(self, r, view):
        """Places the epicentre mark; returns whether it was drawn."""
        t = r.issue_type
        w, h = self.theme.waku_width, self.theme.waku_height
        hw, hh = cdiv(w, 2), cdiv(h, 2)
        if t in (2, 3, 4) or (t == 1 and self.mem_epicentre[4] != -200.0):
            self.epicentre_rect = [0, 0, 0, 0]
            ex, ey = view.grid_to_panel(*self.epicentre_grid)
            if (18 < r.latitude < 49 and 120 < r.longitude < 154
                    and hw - 7 < ex < 1913 - hw and hh + 5 < ey < 1085 - hh):
                self.epicentre_rect = [ex - hw + 7, ey - hh - 5, ex + hw + 7, ey + hh - 5]
                return True
            return False
        if t == 5:
            ey = (180 - (r.latitude + 90)) * 1080 / 180
            if r.latitude >= -40.0:
                ey += 111.724
            ey = math.trunc(ey)
            self.epicentre_rect = [967 - hw, ey - hh - 5, 967 + hw, ey + hh - 5]
            return True
        return False

    def compose(self, latest, history0_max_scale):
        """One run of the map layer for the newest report; returns the result record."""
        r = Report(latest)
        t = r.issue_type
        log = []
        self.unknown_point_name = "なし"
        if 1 <= t <= 4:
            self.area_scale = [0] * len(self.areas)
            self.station_scale = [0] * len(self.stations)
        self.merge_with_memory(r, history0_max_scale)
        self.summary(r, log)
        view, projected = self.compute_map_view(r)
        if t == 1:
            self.mem_area_scales = list(self.area_scale)

        epicentre_drawn = False
        if view.picture is not None and not self.epi_front:
            epicentre_drawn = self.draw_epicentre(r, view)
        areas, stations = [], []
        if t == 1:
            for addr, scale in reversed(r.points):
                i = self.area_by_name.get(addr)
                if i is not None and 0 <= scale <= 79:
                    self.area_marker(view, i, scale, areas)
        elif t in (2, 3, 4):
            for s in MARKER_SCALES:
                for i, v in enumerate(self.area_scale):
                    if v == s:
                        self.area_marker(view, i, s, areas)
            if t == 4:
                for s in MARKER_SCALES:
                    for i, v in enumerate(self.station_scale):
                        if v == s:
                            self.station_marker(view, i, s, stations)
        if view.picture is not None and self.epi_front:
            epicentre_drawn = self.draw_epicentre(r, view)

        return {
            "issueType": t,
            "level": view.level,
            "originX": view.origin[0] if view.origin else None,
            "originY": view.origin[1] if view.origin else None,
            "picture": view.picture,
            "source": view.source,
            "epicentreGrid": list(projected) if projected else None,
            "epicentreRect": list(self.epicentre_rect),
            "epicentreDrawn": epicentre_drawn,
            "areaMarkers": areas,
            "stationMarkers": stations,
            "unknownPointName": self.unknown_point_name,
            "unknownAreaCount": self.unknown_area_count,
            "logLines": log,
        }


def dump(record):
    return json.dumps(record, ensure_ascii=False, separators=(",", ":"))


def parse_body(tool, workdir, body, last_shown_id):
    cmd = [tool, "parse", "--workdir", workdir]
    if last_shown_id:
        cmd += ["--last-shown-id", last_shown_id]
    out = subprocess.run(cmd + [body], capture_output=True, check=True).stdout
    return json.loads(out.decode("utf-8"))


def run_sequence(tool, workdir, bodies):
    """Yields (body, record) for every body that brings new data, in order."""
    layer = MapLayer(workdir)
    last_shown_id = ""
    for body in bodies:
        stores = parse_body(tool, workdir, body, last_shown_id)
        if stores["status"] != 2:
            continue
        last_shown_id = stores["newestId"]
        yield body, layer.compose(stores["latest"], stores["history"][0]["maxScale"])


def main(argv=None):
    ap = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    ap.add_argument("--tool", required=True, help="heronwatch-tool with the parse command")
    ap.add_argument("--workdir", required=True, help="working folder (a copy of runtime/)")
    ap.add_argument("bodies", nargs="+", metavar="BODY")
    args = ap.parse_args(argv)
    out = sys.stdout.buffer
    for _, record in run_sequence(args.tool, args.workdir, args.bodies):
        out.write(dump(record).encode("utf-8") + b"\n")
    return 0


if __name__ == "__main__":
    sys.exit(main())
