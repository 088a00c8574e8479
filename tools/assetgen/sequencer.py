"""A small note sequencer: a few synthesised instruments, notes placed on a timeline,
mixed into 16-bit PCM and written as WAV with the standard library.

Notes are rendered once per (instrument, pitch, length, volume) and mixed with
audioop, so a minute of music takes seconds. Noise comes from a seeded random.Random,
so the output is the same on every run. A looped track wraps the tails of its last
notes round to its start, which makes the loop seamless.
"""
import array
import math
import random
import sys
import warnings
import wave

with warnings.catch_warnings():
    warnings.simplefilter("ignore", DeprecationWarning)
    import audioop

NOTE_NAMES = {"C": 0, "D": 2, "E": 4, "F": 5, "G": 7, "A": 9, "B": 11}


def pitch(name):
    """'A4' -> 440.0; sharps as 'F#3', flats as 'Bb2'."""
    semitone = NOTE_NAMES[name[0]]
    rest = name[1:]
    if rest[0] == "#":
        semitone, rest = semitone + 1, rest[1:]
    elif rest[0] == "b":
        semitone, rest = semitone - 1, rest[1:]
    midi = 12 * (int(rest) + 1) + semitone
    return 440.0 * 2 ** ((midi - 69) / 12)


def envelope(i, n, rate, attack, release, decay=None):
    """Linear attack, exponential decay (per second) or sustain, linear release at the end."""
    t = i / rate
    level = min(1.0, t / attack) if attack > 0 else 1.0
    if decay:
        level *= math.exp(-decay * t)
    left = (n - i) / rate
    if left < release:
        level *= left / release
    return level


def waveform(kind, phase, rng):
    if kind == "sine":
        return math.sin(phase)
    if kind == "soft":  # a warm tone: fundamental and two quiet overtones
        return math.sin(phase) + 0.3 * math.sin(2 * phase) + 0.12 * math.sin(3 * phase)
    if kind == "square":  # band-limited by its first odd harmonics
        return math.sin(phase) + math.sin(3 * phase) / 3 + math.sin(5 * phase) / 5
    if kind == "triangle":
        return math.sin(phase) - math.sin(3 * phase) / 9 + math.sin(5 * phase) / 25
    return rng.uniform(-1.0, 1.0)


# name -> (waveform, attack s, release s, decay per s or None, sweep to fraction of pitch)
INSTRUMENTS = {
    "pluck": ("soft", 0.004, 0.05, 5.0, None),
    "bell": ("sine", 0.002, 0.1, 3.0, None),
    "bass": ("triangle", 0.01, 0.05, 2.0, None),
    "pad": ("soft", 0.25, 0.3, None, None),
    "lead": ("square", 0.02, 0.08, 1.2, None),
    "kick": ("sine", 0.001, 0.02, 9.0, 0.35),
    "snare": ("noise", 0.001, 0.02, 16.0, None),
    "hat": ("noise", 0.001, 0.01, 45.0, None),
}


class Track:
    def __init__(self, seconds, rate=44100, channels=2, loop=False, seed=1):
        self.rate, self.channels, self.loop = rate, channels, loop
        self.frames = int(round(seconds * rate))
        self.width = 2 * channels
        self.data = bytearray(self.frames * self.width)
        self.cache = {}
        self.seed = seed

    def _render(self, instrument, frequency, seconds, volume):
        key = (instrument, round(frequency, 3), round(seconds, 4), round(volume, 4))
        if key in self.cache:
            return self.cache[key]
        kind, attack, release, decay, sweep = INSTRUMENTS[instrument]
        rng = random.Random(self.seed * 7919 + len(self.cache))
        n = max(1, int(seconds * self.rate))
        samples = array.array("h", bytes(2 * n))
        phase = 0.0
        for i in range(n):
            f = frequency
            if sweep:
                f = frequency * (sweep + (1 - sweep) * math.exp(-30.0 * i / self.rate))
            if instrument == "lead":
                f *= 1 + 0.004 * math.sin(2 * math.pi * 5.5 * i / self.rate)
            phase += 2 * math.pi * f / self.rate
            value = waveform(kind, phase, rng) * envelope(i, n, self.rate, attack, release, decay)
            samples[i] = int(max(-1.0, min(1.0, value * volume)) * 32767)
        fragment = samples.tobytes() if sys.byteorder == "little" else _swapped(samples)
        self.cache[key] = fragment
        return fragment

    def note(self, start, seconds, instrument, frequency, volume=0.2, pan=0.0):
        """Adds one note at start (seconds) panned from -1 (left) to 1 (right)."""
        mono = self._render(instrument, frequency, seconds, volume)
        if self.channels == 2:
            fragment = audioop.tostereo(mono, 2, math.sqrt((1 - pan) / 2) * 1.41, math.sqrt((1 + pan) / 2) * 1.41)
        else:
            fragment = mono
        offset = int(round(start * self.rate)) * self.width
        while fragment:
            if offset >= len(self.data):
                if not self.loop:
                    return
                offset -= len(self.data)
            piece = fragment[:len(self.data) - offset]
            end = offset + len(piece)
            self.data[offset:end] = audioop.add(bytes(self.data[offset:end]), piece, 2)
            fragment = fragment[len(piece):]
            offset = end

    def chord(self, start, seconds, instrument, names, volume=0.1, spread=0.5):
        for k, name in enumerate(names):
            pan = spread * (2 * k / max(1, len(names) - 1) - 1)
            self.note(start, seconds, instrument, pitch(name), volume, pan)

    def fade_out(self, seconds):
        """Fades the last seconds to silence."""
        count = int(seconds * self.rate)
        step = max(1, self.rate // 100)
        for first in range(self.frames - count, self.frames, step):
            factor = (self.frames - first) / count
            a, b = first * self.width, min(self.frames, first + step) * self.width
            self.data[a:b] = audioop.mul(bytes(self.data[a:b]), 2, factor)

    def write(self, path):
        with wave.open(path, "wb") as out:
            out.setnchannels(self.channels)
            out.setsampwidth(2)
            out.setframerate(self.rate)
            out.writeframes(bytes(self.data))


def _swapped(samples):
    copy = array.array("h", samples)
    copy.byteswap()
    return copy.tobytes()
