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

Every file is a compact JSON array, members in the API's alphabetical order, newest first.
Run from the repository root: python3 tools/make_demo_reports.py
"""

import copy
import json
import pathlib

ROOT = pathlib.Path(__file__).resolve().parent.parent
SAMPLES = ROOT / "tests" / "fixtures" / "samples"
STORAGE = ROOT / "runtime" / "Storage"


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


if __name__ == "__main__":
    main()
