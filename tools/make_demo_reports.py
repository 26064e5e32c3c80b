#!/usr/bin/env python3
"""Writes the bundled demo report lists runtime/Storage/demo*.json.

They are made from the real API bodies in tests/fixtures/samples/ (see the README there for
their sources):

- demo.json (demo mode 1, one file): the prompt intensity report of the 2024 Noto earthquake
  as the newest report, with real detailed and foreign reports as history.
- demo1.json .. demo4.json (demo mode 2, a new file every 30 seconds): one earthquake told in
  steps, as the service would have listed it: the 2018 Hokkaido Eastern Iburi earthquake's
  intensity report, then its hypocentre report, then its detailed report (real), then a
  foreign earthquake (real). The first two are made from the detailed report: the areas of its
  stations with their strongest intensities, and its hypocentre.

- demo_warnings.json (demo mode 2): the warnings the same cycle plays, each at its second of
  the two minutes, made from the examples of the API definition in tests/fixtures/warnings/:
  the tsunami forecast example at 0:35 and its cancellation at 1:05 (shown as lifted for a
  minute), and an early warning moved to the 2018 earthquake at 1:48, a later serial with a
  higher forecast at 1:53, which the intensity report of the same earthquake ends when the
  cycle begins again. Every message is marked as the demo's by its id.

Every file is a compact JSON array, members in the API's alphabetical order, newest first.
Run from the repository root: python3 tools/make_demo_reports.py
"""

import copy
import json
import pathlib

ROOT = pathlib.Path(__file__).resolve().parent.parent
SAMPLES = ROOT / "tests" / "fixtures" / "samples"
STORAGE = ROOT / "runtime" / "Storage"
WARNINGS = ROOT / "tests" / "fixtures" / "warnings"


def load(name):
    return json.loads((SAMPLES / name).read_text(encoding="utf-8"))


def by_type(reports, issue_type):
    return next(r for r in reports if r["issue"]["type"] == issue_type)


def made_from(detail, issue_type, report_id, issue_time, points, max_scale, hypocenter):
    """A report of another kind for the same earthquake as `detail`."""
    earthquake = copy.deepcopy(detail["earthquake"])
    earthquake["hypocenter"] = hypocenter
    earthquake["maxScale"] = max_scale
    return {
        "code": 551,
        "earthquake": earthquake,
        "id": report_id,
        "issue": {"correct": "None", "source": "気象庁", "time": issue_time, "type": issue_type},
        "points": points,
        "time": issue_time + ".000",
        "ver": "20180128",
    }


def write(name, reports):
    text = json.dumps(reports, ensure_ascii=False, separators=(",", ":"))
    (STORAGE / name).write_text(text, encoding="utf-8", newline="")


def warning_example(name):
    return json.loads((WARNINGS / name).read_text(encoding="utf-8"))


def demo_warnings():
    """The timed tsunami forecasts and early warnings of the rotating demo."""
    tsunami = warning_example("tsunami-example.json")
    tsunami["id"] = "demo-tsunami-20190618-2224"
    lifted = {
        "areas": [],
        "cancelled": True,
        "code": 552,
        "id": "demo-tsunami-20190618-2340",
        "issue": {"source": "気象庁", "time": "2019/06/18 23:40:00", "type": "Focus"},
        "time": "2019/06/18 23:40:00.000",
    }

    first = warning_example("early-warning-example.json")
    first["id"] = "demo-eew-20180906-0308-1"
    first["time"] = "2018/09/06 03:08:12.000"
    first["earthquake"] = {
        "arrivalTime": "2018/09/06 03:08:10",
        "condition": "",
        "hypocenter": {"depth": 40.0, "latitude": 42.7, "longitude": 142.0,
                       "magnitude": 6.1, "name": "胆振地方中東部", "reduceName": "北海道道央"},
        "originTime": "2018/09/06 03:07:59",
    }
    first["issue"] = {"eventId": "20180906030759", "serial": "1", "time": "2018/09/06 03:08:11"}
    first["areas"] = [
        {"arrivalTime": None, "kindCode": "10", "name": "胆振地方中東部", "pref": "北海道道央",
         "scaleFrom": 50.0, "scaleTo": 55.0},
        {"arrivalTime": None, "kindCode": "10", "name": "石狩地方南部", "pref": "北海道道央",
         "scaleFrom": 45.0, "scaleTo": 50.0},
    ]
    second = copy.deepcopy(first)
    second["id"] = "demo-eew-20180906-0308-2"
    second["time"] = "2018/09/06 03:08:20.000"
    second["earthquake"]["hypocenter"]["magnitude"] = 6.7
    second["issue"]["serial"] = "2"
    second["issue"]["time"] = "2018/09/06 03:08:19"
    second["areas"] = [
        {"arrivalTime": None, "kindCode": "10", "name": "胆振地方中東部", "pref": "北海道道央",
         "scaleFrom": 60.0, "scaleTo": 99.0},
        {"arrivalTime": None, "kindCode": "10", "name": "石狩地方南部", "pref": "北海道道央",
         "scaleFrom": 50.0, "scaleTo": 55.0},
        {"arrivalTime": None, "kindCode": "10", "name": "日高地方西部", "pref": "北海道道央",
         "scaleFrom": 50.0, "scaleTo": 55.0},
        {"arrivalTime": None, "kindCode": "10", "name": "胆振地方西部", "pref": "北海道道央",
         "scaleFrom": 45.0, "scaleTo": 50.0},
    ]
    return [
        {"at": 35, "message": tsunami},
        {"at": 65, "message": lifted},
        {"at": 108, "message": first},
        {"at": 113, "message": second},
    ]


def main():
    seven = load("seven-types-2016-2020.json")
    detail_2018 = by_type(seven, "DetailScale")
    foreign = by_type(seven, "Foreign")
    kumamoto, okhotsk = load("detailscale-2024-08-10-two-reports.json")
    miyako = load("detailscale-2019-08-26-docs-example.json")[0]
    noto = load("scaleprompt-2024-01-01-noto.json")[0]

    no_hypocenter = {"depth": -1, "latitude": -200, "longitude": -200, "magnitude": -1, "name": ""}
    prompt_2018 = made_from(
        detail_2018, "ScalePrompt", "demo-20180906-0310-scaleprompt", "2018/09/06 03:10:00",
        [
            {"addr": "胆振地方中東部", "isArea": True, "pref": "北海道", "scale": 60},
            {"addr": "石狩地方中部", "isArea": True, "pref": "北海道", "scale": 50},
        ],
        60, no_hypocenter)
    prompt_2018["earthquake"]["domesticTsunami"] = "Checking"
    destination_2018 = made_from(
        detail_2018, "Destination", "demo-20180906-0311-destination", "2018/09/06 03:11:00",
        [], -1, copy.deepcopy(detail_2018["earthquake"]["hypocenter"]))

    history = [kumamoto, okhotsk, miyako]
    write("demo.json", [noto, detail_2018, foreign] + history)
    write("demo1.json", [prompt_2018] + history)
    write("demo2.json", [destination_2018, prompt_2018] + history)
    write("demo3.json", [detail_2018, destination_2018, prompt_2018] + history)
    write("demo4.json", [foreign, detail_2018, destination_2018, prompt_2018] + history)
    write("demo_warnings.json", demo_warnings())


if __name__ == "__main__":
    main()
