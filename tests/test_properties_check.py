#!/usr/bin/env python3
"""Every test of a build folder has a timeout and a label of the known set.

Usage: test_properties_check.py CTEST BUILD_DIR

A test without a timeout that hangs holds the whole run until CI gives up, and a test without a
label (or with a mistyped one) drops out of every run chosen by label. The list comes from CTest
itself (`ctest --show-only=json-v1`); the placeholders CTest adds for test executables that were
not built (`*_NOT_BUILT`) are left out, since they have no tests to judge.
"""

import json
import subprocess
import sys

KNOWN_LABELS = {"unit", "qt", "ui", "network", "desktop", "install", "fuzz"}


def main() -> int:
    ctest, build_dir = sys.argv[1], sys.argv[2]
    listing = subprocess.run([ctest, "--show-only=json-v1", "--test-dir", build_dir],
                             check=True, capture_output=True, text=True).stdout
    faults = []
    tests = [test for test in json.loads(listing)["tests"]
             if not test["name"].endswith("_NOT_BUILT")]
    for test in tests:
        properties = {p["name"]: p["value"] for p in test.get("properties", [])}
        labels = properties.get("LABELS", [])
        if not labels:
            faults.append(f"{test['name']}: no label")
        for label in set(labels) - KNOWN_LABELS:
            faults.append(f"{test['name']}: unknown label {label!r}")
        if not properties.get("TIMEOUT"):
            faults.append(f"{test['name']}: no timeout")
    for fault in faults:
        print(fault)
    print(f"{len(tests)} tests, {len(faults)} faults")
    return 1 if faults or not tests else 0


if __name__ == "__main__":
    sys.exit(main())
