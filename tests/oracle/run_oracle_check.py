#!/usr/bin/env python3
"""Runs the map-layer comparison on several working folders and generated sequences.

    run_oracle_check.py TOOL [--seeds N] [--keep DIR] [--model-only]

Builds, in a temporary folder, working folders from runtime/ (the default theme, and themes
with other zoom caps and offsets, crop offsets and widths, marker and epicentre sizes, the
epicentre in front, a configured theme that does not exist), writes seeded report sequences
for each, and compares `TOOL compose` with the reference model on every sequence (see
check_compose.py). A fixed sequence of the bundled sample and demo bodies runs on the default
folder as well.

Exit codes: 0 all sequences agree; 1 a difference (the first one is printed); 77 when TOOL has
no compose command (the model is still run over every sequence, so its own failures show).
"""

import argparse
import glob
import io
import os
import re
import shutil
import subprocess
import sys
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)
import check_compose  # noqa: E402
import make_sequences  # noqa: E402
import map_layer_model as model  # noqa: E402

ROOT = os.path.normpath(os.path.join(HERE, "..", ".."))
RUNTIME = os.path.join(ROOT, "runtime")
SKIP = 77

# Working folders: theme layout keys to change ([section] key = value), settings, and the
# theme name the settings file asks for.
VARIANTS = {
    "default": {},
    "capped": {"theme": {("Config", "MapScaleMax"): 4, ("Config", "MapXaxisOffset"): 500,
                         ("Config", "MapYaxisOffset"): -120, ("Config", "MapXaxisPercent"): 75},
               "epi_front": 1},
    "zoomed-out": {"theme": {("Config", "MapScaleMax"): -2, ("Config", "MapScaleOffset"): 2,
                             ("Config", "MapXaxisOffset"): -120, ("Config", "MapYaxisOffset"): 300,
                             ("Config", "MapXaxisPercent"): 125,
                             ("Intensity", "MidIntensity.scaleOff"): 40,
                             ("Intensity", "MinIntensity.scaleOff"): -20}},
    "zoomed-in": {"theme": {("Config", "MapScaleOffset"): -5, ("Config", "MapXaxisPercent"): 200,
                            ("Config", "MapYaxisOffset"): -400,
                            ("Waku", "ShingenWaku.width"): 120, ("Waku", "ShingenWaku.height"): 60,
                            ("Intensity", "MidIntensity.scaleOff"): -20,
                            ("Intensity", "MinIntensity.scaleOff"): 40}},
    "odd-sizes": {"theme": {("Config", "MapScaleOffset"): 1, ("Config", "MapXaxisOffset"): 7,
                            ("Config", "MapYaxisOffset"): -13, ("Config", "MapXaxisPercent"): 99,
                            ("Waku", "ShingenWaku.width"): 75, ("Waku", "ShingenWaku.height"): 31,
                            ("Intensity", "MidIntensity.scaleOff"): -5,
                            ("Font", "EventTime.fontPadding"): 1},
                  # A blank place name and an index outside the area table name no place.
                  "area_info_head": "\t5\n札幌\t999\n"},
    "missing-theme": {"theme_name": "NoSuchTheme", "epi_front": 1},
}


def set_key(text, section, key, value):
    """The layout text with [section] key set to value (replaced in place or added)."""
    lines = text.split("\n")
    current = None
    for i, line in enumerate(lines):
        s = line.strip()
        if s.startswith("["):
            current = s[1:s.find("]")].lower()
        elif current == section.lower() and s.split("=", 1)[0].strip().lower() == key.lower():
            lines[i] = "%s=%s" % (key, value)
            return "\n".join(lines)
    return text + "\n[%s]\n%s=%s\n" % (section, key, value)


def make_workdir(path, variant):
    """A working folder: the settings and reference files of runtime/ copied, the theme's
    pictures linked, the layout file changed as the variant says."""
    os.makedirs(os.path.join(path, "Theme"))
    shutil.copytree(os.path.join(RUNTIME, "Setting"), os.path.join(path, "Setting"))
    if variant.get("area_info_head"):
        area_info = os.path.join(path, "Setting", "AreaInfo.ini")
        with open(area_info, encoding="utf-8") as f:
            lines = f.read()
        with open(area_info, "w", encoding="utf-8") as f:
            f.write(variant["area_info_head"] + lines)
    source_theme = os.path.join(RUNTIME, "Theme", "Theme_REV")
    name = "Theme_REV" if not variant.get("theme") else "Oracle_" + re.sub(r"\W", "_", os.path.basename(path))
    for theme in {"Theme_REV", name}:
        folder = os.path.join(path, "Theme", theme)
        os.makedirs(folder)
        for entry in os.listdir(source_theme):
            if entry != "Setting.ini":
                os.symlink(os.path.join(source_theme, entry), os.path.join(folder, entry))
        with open(os.path.join(source_theme, "Setting.ini"), encoding="utf-8") as f:
            layout = f.read()
        if theme == name:
            for (section, key), value in variant.get("theme", {}).items():
                layout = set_key(layout, section, key, value)
        with open(os.path.join(folder, "Setting.ini"), "w", encoding="utf-8") as f:
            f.write(layout)
    settings = "[Theme]\nName=%s\n[Flag]\nDemo=0\n[Config]\nEpiFront=%d\n" % (
        variant.get("theme_name", name), variant.get("epi_front", 0))
    with open(os.path.join(path, "Heronwatch.ini"), "w", encoding="utf-8") as f:
        f.write(settings)
    return path


def fixed_sequence():
    bodies = sorted(glob.glob(os.path.join(RUNTIME, "Storage", "demo[1-4].json")))
    samples = os.path.join(ROOT, "tests", "fixtures", "samples")
    bodies += [os.path.join(samples, "seven-types-2016-2020.json"),
               os.path.join(samples, "scaleprompt-2024-01-01-noto.json"),
               os.path.join(samples, "detailscale-2024-08-10-two-reports.json"),
               os.path.join(ROOT, "tests", "fixtures", "compose", "detailscale-2283.json")]
    return bodies


def has_compose(tool):
    proc = subprocess.run([tool, "--help"], capture_output=True)
    return b"compose" in proc.stdout + proc.stderr


def main(argv=None):
    ap = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    ap.add_argument("tool")
    ap.add_argument("--seeds", type=int, default=2, help="sequences per working folder")
    ap.add_argument("--keep", help="build the folders here and keep them")
    ap.add_argument("--model-only", action="store_true", help="only run the model (no compose)")
    args = ap.parse_args(argv)
    tool = os.path.abspath(args.tool)
    compare = not args.model_only and has_compose(tool)

    base = args.keep or tempfile.mkdtemp(prefix="heronwatch-oracle-")
    world = make_sequences.World()
    runs = []
    try:
        for index, (label, variant) in enumerate(VARIANTS.items()):
            workdir = make_workdir(os.path.join(base, label, "work"), variant)
            for folder in make_sequences.write_sequences(os.path.join(base, label, "sequences"),
                                                         101 + index, args.seeds, world):
                runs.append((label, workdir, sorted(glob.glob(os.path.join(folder, "*.json")))))
            if label == "default":
                runs.append((label, workdir, fixed_sequence()))
        compositions = 0
        for label, workdir, bodies in runs:
            if compare:
                report = io.StringIO()
                if check_compose.run_check(tool, workdir, bodies, out=report) != 0:
                    print("working folder %s (%s):\n%s" % (label, workdir, report.getvalue()), end="")
                    if not args.keep:
                        print("(run again with --keep DIR to keep the folders)")
                    return 1
            compositions += sum(1 for _ in model.run_sequence(tool, workdir, bodies)) if not compare else 0
        total = sum(len(b) for _, _, b in runs)
        if not compare:
            print("model ran over %d sequences, %d bodies, %d compositions; %s" % (
                len(runs), total, compositions,
                "compose not compared" if args.model_only else "the tool has no compose command: skipped"))
            return 0 if args.model_only else SKIP
        print("tool and model agree on %d sequences (%d bodies) in %d working folders"
              % (len(runs), total, len(VARIANTS)))
        return 0
    finally:
        if not args.keep:
            shutil.rmtree(base, ignore_errors=True)


if __name__ == "__main__":
    sys.exit(main())
