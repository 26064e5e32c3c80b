#!/usr/bin/env python3
"""Writes the notification chime runtime/Sound/notify.wav: two soft tones (E6 then C6),
0.4 seconds in all, 16-bit mono at 22,050 Hz, each tone with a short attack and a decay so
that it neither clicks nor startles.

    tools/make_notify_chime.py [OUTPUT]
"""

import math
import pathlib
import struct
import sys
import wave

RATE = 22050
TONES = [(1318.51, 0.16), (1046.50, 0.24)]  # frequency in Hz, length in seconds
VOLUME = 0.35
ATTACK = 0.008


def tone(frequency, seconds):
    count = int(RATE * seconds)
    for i in range(count):
        t = i / RATE
        envelope = min(1.0, t / ATTACK) * math.exp(-6.0 * t / seconds)
        # A little of the octave above makes it sound like a bell rather than a beep.
        value = math.sin(2 * math.pi * frequency * t) + 0.25 * math.sin(4 * math.pi * frequency * t)
        yield VOLUME * envelope * value / 1.25


def main():
    here = pathlib.Path(__file__).resolve().parent.parent
    output = pathlib.Path(sys.argv[1]) if len(sys.argv) > 1 else here / "runtime/Sound/notify.wav"
    samples = [s for frequency, seconds in TONES for s in tone(frequency, seconds)]
    frames = b"".join(struct.pack("<h", round(s * 32767)) for s in samples)
    with wave.open(str(output), "wb") as out:
        out.setnchannels(1)
        out.setsampwidth(2)
        out.setframerate(RATE)
        out.writeframes(frames)
    print(f"{output}: {len(samples) / RATE:.2f} s")


if __name__ == "__main__":
    main()
