#!/usr/bin/env python3
"""Compares `heronwatch-tool compose` with the reference model on one sequence of bodies.

    check_compose.py --tool PATH --workdir DIR BODY...

Runs the model (which uses the tool's parse command) and then `PATH compose --workdir DIR BODY...`
and compares their JSON lines composition by composition and key by key. On the first
composition that differs it prints its number, the body file, each differing key with both
values, and exits with 1. Exit 0 when every line agrees.
"""

import argparse
import json
import os
import subprocess
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import map_layer_model as model  # noqa: E402

KEYS = ("issueType", "level", "originX", "originY", "picture", "source", "epicentreGrid",
        "epicentreRect", "epicentreDrawn", "areaMarkers", "stationMarkers", "unknownPointName",
        "unknownAreaCount", "logLines")


def short(value, limit=300):
    text = json.dumps(value, ensure_ascii=False, separators=(",", ":"))
    return text if len(text) <= limit else text[:limit] + "…(%d chars)" % len(text)


def describe_list_difference(tool_value, model_value):
    """Where two lists part: the first differing index with both elements, or the lengths."""
    for i, (a, b) in enumerate(zip(tool_value, model_value)):
        if a != b:
            return "first difference at [%d]: tool %s, model %s" % (i, short(a), short(b))
    return "lengths differ: tool %d, model %d; extra: %s" % (
        len(tool_value), len(model_value),
        short(tool_value[len(model_value):] or model_value[len(tool_value):]))


def compare_line(tool_line, record):
    """List of (key, message) for one composition."""
    try:
        tool_record = json.loads(tool_line, object_pairs_hook=lambda pairs: pairs)
    except json.JSONDecodeError as e:
        return [("(line)", "tool line is not JSON (%s): %s" % (e, tool_line[:300]))]
    tool_keys = [k for k, _ in tool_record]
    problems = []
    if tool_keys != list(KEYS):
        problems.append(("(keys)", "tool keys %s, expected %s" % (tool_keys, list(KEYS))))
    values = dict(tool_record)
    for key in KEYS:
        if key not in values:
            continue
        tool_value, model_value = values[key], record[key]
        if tool_value == model_value and type(tool_value) is type(model_value):
            continue
        message = "tool %s, model %s" % (short(tool_value), short(model_value))
        if isinstance(tool_value, list) and isinstance(model_value, list) and key in (
                "areaMarkers", "stationMarkers", "logLines"):
            message += "\n      " + describe_list_difference(tool_value, model_value)
        problems.append((key, message))
    return problems


def run_check(tool, workdir, bodies, out=sys.stdout):
    """Returns 0 when the tool and the model agree on every composition, else 1."""
    expected = list(model.run_sequence(tool, workdir, bodies))
    proc = subprocess.run([tool, "compose", "--workdir", workdir] + list(bodies), capture_output=True)
    if proc.returncode != 0:
        print("compose failed with exit code %d: %s" % (proc.returncode,
              proc.stderr.decode("utf-8", "replace")[-2000:]), file=out)
        return 1
    lines = [line for line in proc.stdout.decode("utf-8", "replace").split("\n") if line.strip()]
    for n in range(max(len(lines), len(expected))):
        body = expected[n][0] if n < len(expected) else "(beyond the model's %d compositions)" % len(expected)
        if n >= len(lines):
            print("composition %d (%s): tool printed only %d compositions, model %d"
                  % (n + 1, body, len(lines), len(expected)), file=out)
            return 1
        if n >= len(expected):
            print("composition %d: tool printed %d compositions, model %d; extra line: %s"
                  % (n + 1, len(lines), len(expected), lines[n][:300]), file=out)
            return 1
        problems = compare_line(lines[n], expected[n][1])
        if problems:
            print("composition %d, body %s:" % (n + 1, body), file=out)
            for key, message in problems:
                print("  %s: %s" % (key, message), file=out)
            return 1
    return 0


def main(argv=None):
    ap = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    ap.add_argument("--tool", required=True)
    ap.add_argument("--workdir", required=True)
    ap.add_argument("bodies", nargs="+", metavar="BODY")
    args = ap.parse_args(argv)
    return run_check(args.tool, args.workdir, args.bodies)


if __name__ == "__main__":
    sys.exit(main())
