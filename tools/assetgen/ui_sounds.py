"""The framework's interface sounds and the splash chime, synthesised with sox.
`sox -R` makes noise and dither repeatable, so the files are the same on every run.
All are 16-bit PCM mono at 22050 Hz; ui_toast is Ogg Vorbis.
Usage: ui_sounds.py --out ROOT
"""
import argparse
import os
import subprocess

from common import ensure_dir

# Synthesised at 44100 Hz (pluck needs it), written at 22050 Hz.
WAV_FORMAT = ["-r", "22050", "-c", "1", "-b", "16", "-e", "signed-integer"]
OGG_FORMAT = ["-r", "22050", "-c", "1", "-C", "3"]

# name -> sox effects after "synth"; each recipe is one short gesture.
RECIPES = [
    ("ui_click.wav", ["synth", "0.05", "sine", "2200", "sine", "1100", "remix", "-",
                      "fade", "q", "0.002", "0.05", "0.04", "vol", "0.6"]),
    ("ui_page.wav", ["synth", "0.14", "sine", "520-980", "fade", "h", "0.01", "0.14", "0.09", "vol", "0.55"]),
    ("ui_toast.ogg", ["synth", "0.32", "pluck", "880", "pluck", "1318.5", "remix", "-",
                      "fade", "q", "0.005", "0.32", "0.2", "vol", "0.8"]),
    ("ui_challenge.wav", ["synth", "0.42", "square", "660", "sine", "990", "remix", "-", "vol", "0.45",
                          "tremolo", "12", "60", "fade", "h", "0.01", "0.42", "0.15", "lowpass", "3000"]),
    ("ui_chat.wav", ["synth", "0.09", "sine", "1480", "fade", "q", "0.004", "0.09", "0.06", "vol", "0.5"]),
    ("ui_error.wav", ["synth", "0.26", "square", "180", "square", "190", "remix", "-", "vol", "0.4",
                      "lowpass", "1200", "fade", "h", "0.005", "0.26", "0.08"]),
    ("vl-welcome.wav", ["synth", "1.8", "pluck", "523.25", "pluck", "659.25", "pluck", "783.99",
                        "pluck", "1046.5", "remix", "-", "reverb", "40", "50", "60",
                        "fade", "q", "0.01", "1.8", "0.9", "norm", "-3"]),
]


def generate(root):
    folder = os.path.join(root, "assets", "generated", "sounds")
    ensure_dir(folder)
    for name, effects in RECIPES:
        path = os.path.join(folder, name)
        output = OGG_FORMAT if name.endswith(".ogg") else WAV_FORMAT
        # One input channel per synth tone, mixed down to mono by "remix -".
        tones = sum(1 for e in effects if e in ("sine", "square", "pluck"))
        subprocess.run(["sox", "-R", "-r", "44100", "-c", str(tones), "-n"] + output + [path] + effects,
                       check=True)


if __name__ == "__main__":
    parser = argparse.ArgumentParser()
    parser.add_argument("--out", required=True)
    generate(parser.parse_args().out)
