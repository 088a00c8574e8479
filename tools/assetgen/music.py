"""The game's two songs, written by the sequencer into 44.1 kHz stereo WAV and encoded
with lame (-t --noreplaygain: no tag and no replay gain, so the output repeats).
- "FlompTheme.mp3": the menu's music, 32 bars at 120 beats a minute (64 s), looped:
  the tails of its last notes wrap round to its start.
- "FlompIntro.mp3": the intro film's music, 21 bars at 96 beats a minute (52.5 s):
  the film runs about 48 s, holds 1.5 s and fades out over 3 s.
Usage: music.py --out ROOT
"""
import argparse
import os
import random
import subprocess
import tempfile

from common import ensure_dir
from sequencer import Track, pitch

# Chords as (bass note, chord tones).
C, AM, F, G = ("C2", ("C4", "E4", "G4")), ("A1", ("A3", "C4", "E4")), ("F1", ("F3", "A3", "C4")), \
    ("G1", ("G3", "B3", "D4"))
EM, DM = ("E2", ("E3", "G3", "B3")), ("D2", ("D3", "F3", "A3"))
SCALE = ["C5", "D5", "E5", "F5", "G5", "A5", "B5", "C6"]


def melody(track, start, beat, chords, rng, volume=0.07):
    """A bar of melody per chord: chord tones on strong beats, steps between them."""
    for bar, (_, tones) in enumerate(chords):
        t = start + bar * 4 * beat
        degree = SCALE.index(tones[0][0] + "5") if tones[0][0] + "5" in SCALE else 0
        rhythm = rng.choice([[1, 1, 1, 1], [1.5, 0.5, 1, 1], [2, 1, 1], [1, 0.5, 0.5, 2], [0.5, 0.5, 1, 2]])
        for length in rhythm:
            degree = max(0, min(len(SCALE) - 1, degree + rng.choice([-2, -1, 0, 1, 1, 2])))
            track.note(t, length * beat * 0.95, "lead", pitch(SCALE[degree]), volume, pan=0.15)
            t += length * beat


def groove(track, start, beat, chords, drums=True, pad=True, arpeggio=True):
    for bar, (bass, tones) in enumerate(chords):
        t = start + bar * 4 * beat
        for k in range(4):
            track.note(t + k * beat, beat * 0.9, "bass", pitch(bass), 0.22 if k % 2 == 0 else 0.15)
        if pad:
            track.chord(t, 4 * beat, "pad", tones, 0.035)
        if arpeggio:
            for k in range(8):
                name = tones[k % 3] if k % 4 != 3 else tones[1][:-1] + str(int(tones[1][-1]) + 1)
                track.note(t + k * beat / 2, beat * 0.5, "pluck", pitch(name), 0.07, pan=0.5 if k % 2 else -0.5)
        if drums:
            for k in range(4):
                track.note(t + k * beat, 0.25, "kick" if k % 2 == 0 else "snare", 110.0 if k % 2 == 0 else 1.0,
                           0.5 if k % 2 == 0 else 0.16)
            for k in range(8):
                track.note(t + k * beat / 2, 0.05, "hat", 1.0, 0.06 if k % 2 else 0.09, pan=0.3)


def theme():
    beat = 0.5
    track = Track(64.0, loop=True, seed=11)
    rng = random.Random(2024)
    verse = [C, AM, F, G] * 2
    bridge = [AM, F, C, G, AM, EM, F, G]
    groove(track, 0, beat, verse, drums=False)
    groove(track, 16, beat, verse)
    melody(track, 16, beat, verse, rng)
    groove(track, 32, beat, bridge)
    melody(track, 32, beat, bridge, rng)
    groove(track, 48, beat, verse)
    melody(track, 48, beat, verse, random.Random(2024))
    return track


def intro():
    beat = 60.0 / 96
    bar = 4 * beat
    track = Track(21 * bar, seed=23)
    rng = random.Random(77)
    opening = [C, F, C, G]
    story = [AM, F, C, G, AM, DM, F, G]
    groove(track, 0, beat, opening, drums=False, pad=True, arpeggio=False)
    for k in range(16):
        track.note(k * beat, beat * 1.5, "bell", pitch(("E5", "G5", "C6", "G5")[k % 4]), 0.05, pan=0.3)
    groove(track, 4 * bar, beat, story, drums=False)
    melody(track, 4 * bar, beat, story, rng, volume=0.06)
    groove(track, 12 * bar, beat, story)
    melody(track, 12 * bar, beat, story, rng)
    track.chord(20 * bar, bar, "pad", C[1], 0.05)
    track.note(20 * bar, bar, "bass", pitch("C2"), 0.2)
    track.note(20 * bar, bar, "bell", pitch("C6"), 0.06)
    track.fade_out(3.0)
    return track


def encode(track, path):
    ensure_dir(os.path.dirname(path))
    with tempfile.TemporaryDirectory() as folder:
        source = os.path.join(folder, "song.wav")
        track.write(source)
        subprocess.run(["lame", "--quiet", "-t", "--noreplaygain", "-b", "128", source, path], check=True)


def generate(root):
    folder = os.path.join(root, "assets", "generated", "game", "music")
    encode(theme(), os.path.join(folder, "FlompTheme.mp3"))
    encode(intro(), os.path.join(folder, "FlompIntro.mp3"))


if __name__ == "__main__":
    parser = argparse.ArgumentParser()
    parser.add_argument("--out", required=True)
    generate(parser.parse_args().out)
