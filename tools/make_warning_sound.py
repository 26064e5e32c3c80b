#!/usr/bin/env python3
"""Writes the early-warning sound runtime/Sound/warning.wav: a high and a lower tone in turn,
three times, 1.5 seconds in all, 16-bit mono at 22,050 Hz. It is meant to be told apart from
the report chime at once (square-ish tones instead of a bell, and longer), without clicks.

    tools/make_warning_sound.py [OUTPUT]
"""

import math
import pathlib
import struct
import sys
import wave

RATE = 22050
PAIR = [(1760.0, 0.18), (1174.66, 0.18)]  # frequency in Hz, length in seconds
GAP = 0.07
REPEATS = 3
VOLUME = 0.3
EDGE = 0.006


def tone(frequency, seconds):
    count = int(RATE * seconds)
    for i in range(count):
        t = i / RATE
        envelope = min(1.0, t / EDGE, (seconds - t) / EDGE)
        # The odd harmonics make it harsher than the chime's bell.
        phase = 2 * math.pi * frequency * t
        value = math.sin(phase) + math.sin(3 * phase) / 3 + math.sin(5 * phase) / 5
        yield VOLUME * envelope * value / 1.2


def main():
    here = pathlib.Path(__file__).resolve().parent.parent
    output = pathlib.Path(sys.argv[1]) if len(sys.argv) > 1 else here / "runtime/Sound/warning.wav"
    samples = []
    for _ in range(REPEATS):
        for frequency, seconds in PAIR:
            samples.extend(tone(frequency, seconds))
            samples.extend([0.0] * int(RATE * GAP))
    frames = b"".join(struct.pack("<h", round(s * 32767)) for s in samples)
    with wave.open(str(output), "wb") as out:
        out.setnchannels(1)
        out.setsampwidth(2)
        out.setframerate(RATE)
        out.writeframes(frames)
    print(f"{output}: {len(samples) / RATE:.2f} s")


if __name__ == "__main__":
    main()
