"""Checks of the reference model against hand-worked values. Run: python3 -m unittest (here)."""

import os
import sys
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import map_layer_model as m  # noqa: E402

RUNTIME = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "runtime")
GRID = m.load_grid()


def theme(**values):
    t = m.Theme()
    for key, value in values.items():
        setattr(t, key, value)
    return t


def report(issue_type, time_key, points=(), lat=-200, lon=-200, max_scale=None, name="---"):
    points = sorted(points, key=lambda p: -p[1])
    max_scale = max((s for _, s in points), default=-1) if max_scale is None else max_scale
    return {
        "issueType": issue_type, "timeKey": time_key, "eventDayTime": " 6日 3時08分",
        "hypocenterName": name, "depthText": "10km", "maxScale": max_scale, "magnitude": 5.0,
        "latitude": lat, "longitude": lon, "domesticTsunami": 1, "pointCount": len(points),
        "MaxScalePointCount": sum(1 for _, s in points if s == max_scale),
        "points": [{"addr": a, "pref": "", "scale": s} for a, s in points],
    }


class Projection(unittest.TestCase):
    def test_grid_cell(self):
        cases = [  # latitude, longitude -> row, hundredths, column, hundredths
            ((35.999, 139.5), (35, 99, 139, 50)),
            ((49.0, 154.0), (48, 99, 153, 99)),
            ((50.5, 160.0), (48, 99, 153, 99)),
            ((18.0, 119.5), (18, 0, 120, 0)),
            ((-45.0, -170.0), (18, 0, 120, 0)),
            ((18.009, 120.019), (18, 0, 120, 1)),
        ]
        for position, cell in cases:
            with self.subTest(position=position):
                self.assertEqual(m.grid_cell(*position), cell)

    def test_project_to_grid(self):
        cases = [
            ((35.0, 135.0), (1416, 1194)),    # a node
            ((18.0, 120.0), (-29, 2427)),     # -30 + 0.5 truncates toward zero
            ((49.0, 154.0), (2662, 15)),      # 0.99 into the last cell, not on the node (2662, 14)
            ((35.5, 135.5), (1456, 1156)),    # centre of a cell
        ]
        for position, expected in cases:
            with self.subTest(position=position):
                self.assertEqual(m.project_to_grid(GRID, *position), expected)


class View(unittest.TestCase):
    def test_level(self):
        cases = [  # w, h, theme values -> level (and MapScaleMax as stored afterwards)
            (-10001, -10001, {}, 1, 0),                # empty box: wide, level 1
            (234, 10, {}, 1, 0), (235, 10, {}, 2, 0),  # wide limits
            (100, 138, {}, 1, 0), (100, 139, {}, 2, 0),  # tall limits
            (1882, 10, {}, 10, 0), (10, 1253, {}, 9, 0),
            (400, 10, {"scale_offset": -5}, 1, 0),     # computed 3
            (1000, 10, {"scale_max": 4}, 4, 4),        # computed 7
            (1000, 10, {"scale_max": -2}, 7, 0),       # stored as 0: no cap
            (1000, 10, {"scale_offset": 9}, 10, 0),
        ]
        for w, h, values, level, stored_max in cases:
            with self.subTest(w=w, h=h, values=values):
                t = theme(**values)
                self.assertEqual(m.choose_level(w, h, t), level)
                self.assertEqual(t.scale_max, stored_max)

    def test_japan_crop(self):
        cases = [  # type, level, theme values -> origin, source
            (1, 3, {"x_percent": 75}, (1760, 820), [5881, 3058, 1440, 1080]),
            (4, 3, {"x_percent": 125}, (1600, 820), [5401, 3058, 2400, 1080]),
            (2, 1, {}, (1840, 910), [6122, 3328, 960, 540]),
            (6, 4, {}, (1573, 760), [5320, 2878, 2562, 1440]),
            (3, 3, {"x_offset": 500}, (1580, 820), [5341, 3058, 1920, 1080]),   # used as 300
            (3, 10, {"y_offset": -120}, (464, 328), [1993, 1582, 9216, 5184]),  # cy += 192
        ]
        for issue_type, level, values, origin, source in cases:
            with self.subTest(issue_type=issue_type, level=level, values=values):
                t = theme(**values)
                view = m.place_view(issue_type, level, 2000, 1000, 35.0, 135.0, t)
                self.assertEqual(view.origin, origin)
                self.assertEqual(view.source, source)
                self.assertLessEqual(abs(t.x_offset), 300)

    def test_world_crop_and_no_picture(self):
        view = m.place_view(5, 1, 0, 0, -45.0, -170.0, theme())
        self.assertEqual((view.picture, view.origin, view.source), ("world_map", None, [309, 192, 3300, 1856]))
        view = m.place_view(5, 1, 0, 0, -40.0, 140.0, theme())
        self.assertEqual(view.source, [3507, 0, 3300, 1856])
        view = m.place_view(0, 1, 0, 0, 35.0, 135.0, theme())
        self.assertEqual((view.picture, view.origin, view.source), (None, None, None))

    def test_grid_to_panel(self):
        cases = [  # level, percent, (dx, dy) -> panel
            (3, 100, (100, 50), (300, 150)),
            (3, 75, (100, 50), (400, 150)),
            (5, 100, (-7, 7), (-13, 13)),   # -1312.5 truncated, then / 100
            (8, 125, (10, 10), (8, 10)),
            (10, 100, (-3, -3), (-1, -1)),
        ]
        for level, percent, (dx, dy), expected in cases:
            with self.subTest(level=level, percent=percent, d=(dx, dy)):
                view = m.MapView(level, (1000, 1000), "jp_map1", None, percent)
                self.assertEqual(view.grid_to_panel(1000 + dx, 1000 + dy), expected)


class Layer(unittest.TestCase):
    """Sequences of reports through the map layer, with the reference files of runtime/."""

    def setUp(self):
        self.layer = m.MapLayer(RUNTIME)
        # The hand-worked views assume the built-in framing, not the default theme's own.
        self.layer.theme = theme()

    def test_scale_prompt_remembers_epicentre_for_two_minutes(self):
        t0 = 294498908
        for minutes, remembered in ((2, True), (3, False), (-2, True)):
            with self.subTest(minutes=minutes):
                layer = m.MapLayer(RUNTIME)
                layer.compose(report(2, t0, lat=42.7, lon=142.0, max_scale=-1), -1)
                out = layer.compose(report(1, t0 + minutes, [("胆振地方中東部", 60)]), 60)
                self.assertEqual(out["epicentreDrawn"], remembered)
                self.assertEqual(out["epicentreGrid"] is not None, remembered)

    def test_destination_restores_prompt(self):
        t0 = 294498908
        self.layer.compose(report(1, t0, [("胆振地方中東部", 60), ("石狩地方中部", 50), ("日高地方中部", 46)]), 60)
        out = self.layer.compose(report(2, t0 + 1, lat=42.7, lon=142.0, max_scale=-1), -1)
        self.assertEqual([a[:2] for a in out["areaMarkers"]], [[1, 50], [26, 60]])  # 46 draws nothing
        self.assertIn("最大震度：60 ( 1地点), 地点数：3", out["logLines"][2])
        self.assertTrue(out["epicentreDrawn"])
        # Far from the prompt: the slot-0 intensity is taken, nothing is restored.
        out = self.layer.compose(report(2, t0 + 10, lat=42.7, lon=142.0, max_scale=-1), 45)
        self.assertEqual(out["areaMarkers"], [])
        self.assertIn("最大震度：45 ( 0地点), 地点数：0", out["logLines"][2])

    def test_prompt_markers_strongest_last_and_odd_codes(self):
        out = self.layer.compose(report(1, 1000, [("石狩地方中部", 30), ("胆振地方中東部", 60),
                                                  ("石狩地方北部", 5), ("日高地方中部", 99)]), 60)
        self.assertEqual([a[:2] for a in out["areaMarkers"]], [[0, 5], [1, 30], [26, 60]])
        self.assertEqual(self.layer.mem_area_scales[28], 99)  # still counted as observed

    def test_detail_points(self):
        points = [("札幌北区太平", 50), ("東京国際空港", 30), ("札幌中央区北２条", 30),
                  ("薩摩川内市甑島", 20), ("どこにもない町", 10)]
        out = self.layer.compose(report(4, 2000, points, lat=35.5, lon=139.8), -1)
        x, info = "x" * 97, m.LOG + "エリア情報 … "
        self.assertEqual(out["logLines"], [
            m.LOG + "地震情報 … 日時： 6日 3時08分, マグニチュード：5.0",
            m.LOG + "地震情報 … 震源：---, 深さ：10km, 緯度経度：(35.5,139.8)",
            m.LOG + "地震情報 … 最大震度：50 ( 1地点), 地点数：5, 津波：津波の心配なし",
            "-" * 97,
            info + "50, 札幌北区, 札幌北区太平",
            info + "30, 東京大田区, 東京国際空港",   # station under its own name, area as 東京大田区
            info + "30, 札幌中央区, 札幌中央区北２条",
            x, m.LOG + "未定義・緯度経度    … 薩摩川内市甑島", x,
            info + "20, 薩摩川内市甑島, 薩摩川内市甑島",   # not claimed by 薩摩川内市
            x, m.LOG + "未定義・緯度経度    … どこにもない町", x,
            x, m.LOG + "未定義エリア(#01) … どこにもない町", x,
            "=" * 97,
        ])
        self.assertEqual((out["unknownPointName"], out["unknownAreaCount"]), ("どこにもない町", 1))
        # 石狩地方中部 gets the stronger of 30 and 50; 50 is drawn after every 30.
        self.assertEqual([a[:2] for a in out["areaMarkers"]], [[175, 20], [72, 30], [1, 50]])
        self.assertEqual([s[:2] for s in out["stationMarkers"]], [[7, 30], [1378, 30], [9, 50]])  # table order within a scale
        again = self.layer.compose(report(4, 2001, [("どこにもない町", 10)], lat=35.5, lon=139.8), -1)
        self.assertEqual(again["unknownAreaCount"], 2)

    def test_epicentre_edges(self):
        cases = [  # type, latitude, longitude -> drawn, rect
            (2, 49.0, 142.0, False, [0, 0, 0, 0]),
            (3, 35.0, 154.0, False, [0, 0, 0, 0]),
            (5, -45.0, -170.0, True, [930, 768, 1004, 842]),
            (5, 30.0, 100.0, True, [930, 429, 1004, 503]),   # ey = trunc(360 + 111.724)
        ]
        for issue_type, lat, lon, drawn, rect in cases:
            with self.subTest(issue_type=issue_type, lat=lat, lon=lon):
                self.layer.epicentre_rect = [1, 2, 3, 4]
                out = self.layer.compose(report(issue_type, 3000, lat=lat, lon=lon), -1)
                self.assertEqual((out["epicentreDrawn"], out["epicentreRect"]), (drawn, rect))

    def test_other_report_keeps_rect_and_uses_empty_box(self):
        self.layer.epicentre_rect = [1, 2, 3, 4]
        out = self.layer.compose(report(6, 4000), -1)
        self.assertEqual(out["epicentreRect"], [1, 2, 3, 4])
        self.assertEqual((out["level"], out["originX"], out["originY"]), (1, 5000 - 160, 5000 - 90))


if __name__ == "__main__":
    unittest.main()
