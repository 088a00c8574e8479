"""The game's 24 sounds: effects synthesised with sox (-R keeps noise and dither
repeatable), jingles written by the sequencer. All are 16-bit PCM mono at 22050 Hz,
except the ambient loop, a seamless sea-and-wind bed stored as IMA ADPCM.
"timeralert.wav" is played at up to 1.4 times its rate, which stays below 88200 Hz.
Usage: game_sounds.py --out ROOT
"""
import argparse
import os
import subprocess
import tempfile

from common import ensure_dir
from sequencer import Track, pitch

RATE = 22050
WAV_FORMAT = ["-r", str(RATE), "-c", "1", "-b", "16", "-e", "signed-integer"]

# name -> sox arguments after "-n" (synth and effects); each input channel is one tone,
# mixed down by "remix -".
EFFECTS = [
    ("buttondown.wav", 2, ["synth", "0.05", "sine", "1800", "whitenoise", "remix", "-", "lowpass", "5000",
                           "fade", "q", "0.002", "0.05", "0.04", "vol", "0.5"]),
    ("buttonup.wav", 1, ["synth", "0.05", "sine", "1250", "fade", "q", "0.002", "0.05", "0.045", "vol", "0.3"]),
    ("ammunta01.wav", 2, ["synth", "0.3", "sine", "160-620", "pinknoise", "remix", "-", "lowpass", "1800",
                          "fade", "q", "0.01", "0.3", "0.2", "norm", "-4"]),
    ("ammus_pomppu01.wav", 1, ["synth", "0.15", "sine", "520-260", "fade", "q", "0.003", "0.15", "0.12",
                               "vol", "0.6"]),
    ("ammus_veteen01.wav", 2, ["synth", "0.5", "pinknoise", "sine", "900-300", "remix", "-", "lowpass", "2500",
                               "fade", "q", "0.01", "0.5", "0.4", "norm", "-6"]),
    ("explosio01.wav", 2, ["synth", "0.8", "brownnoise", "sine", "70-28", "remix", "-", "lowpass", "900",
                           "fade", "q", "0.005", "0.8", "0.7", "norm", "-2"]),
    ("hyppy01.wav", 1, ["synth", "0.3", "sine", "220-700", "tremolo", "18", "40", "fade", "q", "0.01", "0.3",
                        "0.15", "vol", "0.6"]),
    ("pelaaja_pomppu01.wav", 2, ["synth", "0.2", "sine", "320-140", "square", "160-80", "remix", "-",
                                 "lowpass", "900", "fade", "q", "0.005", "0.2", "0.15", "norm", "-5"]),
    ("pelaaja_veteen01.wav", 2, ["synth", "0.8", "pinknoise", "sine", "600-150", "remix", "-", "lowpass",
                                 "1800", "reverb", "30", "fade", "q", "0.01", "0.8", "0.6", "norm", "-4"]),
    ("venytys01.wav", 1, ["synth", "0.4", "sawtooth", "110-240", "lowpass", "700", "tremolo", "9", "50",
                          "fade", "h", "0.03", "0.4", "0.1", "norm", "-6"]),
    ("flompwhip.wav", 1, ["synth", "0.3", "whitenoise", "sinc", "1500-6000", "fade", "p", "0.2", "0.3", "0.08",
                          "norm", "-6"]),
    ("timeralert.wav", 1, ["synth", "0.1", "sine", "1000", "fade", "q", "0.002", "0.1", "0.08", "vol", "0.5"]),
    ("timerend.wav", 2, ["synth", "0.5", "square", "220", "square", "233", "remix", "-", "lowpass", "1500",
                         "fade", "h", "0.01", "0.5", "0.1", "vol", "0.35"]),
    ("ambient_common_00.wav", 1, ["synth", "2.5", "brownnoise", "lowpass", "700", "tremolo", "0.8", "70",
                                  "fade", "h", "0.6", "2.5", "1.0", "norm", "-10"]),
    ("ambient_common_01.wav", 1, ["synth", "0.09", "sine", "2900-4100", "pad", "0", "0.13", "repeat", "4",
                                  "pad", "0.05", "0.2", "vol", "0.35"]),
    ("ambient_common_02.wav", 1, ["synth", "1.5", "sawtooth", "95-70", "tremolo", "23", "90", "bandpass", "600",
                                  "300", "fade", "h", "0.2", "1.5", "0.4", "norm", "-10"]),
    ("ambient_rare_00.wav", 1, ["synth", "0.45", "sine", "1500-850", "tremolo", "14", "60", "pad", "0", "0.25",
                                "repeat", "2", "fade", "q", "0.02", "2.1", "0.3", "vol", "0.4"]),
    ("ambient_rare_01.wav", 2, ["synth", "3", "sawtooth", "110", "sawtooth", "165", "remix", "-", "lowpass",
                                "450", "reverb", "50", "fade", "h", "0.6", "3", "1.2", "norm", "-12"]),
    ("ambient_rare_02.wav", 1, ["synth", "3.5", "brownnoise", "lowpass", "180", "tremolo", "1.5", "60",
                                "reverb", "70", "fade", "q", "0.4", "3.5", "2.0", "norm", "-8"]),
]

# The ambient bed: about 14 s of wind and sea whose last 2 s are cross-faded over its
# first 2 s. Its length is a whole number of IMA ADPCM blocks (505 samples each), so
# that no padding breaks the loop.
LOOP_SAMPLES, OVERLAP_SAMPLES = 505 * 524, 2 * RATE
LOOP_SOURCE = ["synth", "%ds" % (LOOP_SAMPLES + OVERLAP_SAMPLES), "brownnoise", "pinknoise", "remix", "-",
               "vol", "0.4", "lowpass", "900", "tremolo", "0.25", "40", "norm", "-14"]


def jingle(notes, seconds):
    """notes: (start beat, beats, note names) at 150 beats a minute, plucked and belled."""
    beat = 0.4
    track = Track(seconds, rate=RATE, channels=1, seed=5)
    for start, beats, names in notes:
        for name in names:
            track.note(start * beat, beats * beat, "pluck", pitch(name), 0.18)
            track.note(start * beat, beats * beat, "bell", pitch(name) * 2, 0.05)
    track.fade_out(0.15)
    return track


JINGLES = [
    ("startgame.wav", jingle([(0, 1, ["C4"]), (1, 1, ["E4"]), (2, 1, ["G4"]), (3, 2, ["C5", "E4", "G4"])], 2.4)),
    ("wingame.wav", jingle([(0, 0.5, ["G4"]), (0.5, 0.5, ["C5"]), (1, 0.5, ["E5"]), (1.5, 2, ["G5", "C5", "E5"])],
                           1.8)),
    ("losegame.wav", jingle([(0, 1, ["E4"]), (1, 1, ["Eb4"]), (2, 2, ["D4", "F3", "Ab3"])], 1.7)),
    ("tiegame.wav", jingle([(0, 1, ["C4", "G4"]), (1, 1.5, ["C4", "G4"])], 1.2)),
]


def sox(args):
    subprocess.run(["sox", "-R"] + args, check=True)


def ambient_loop(path):
    with tempfile.TemporaryDirectory() as folder:
        source, head_out, head_in, head, body, pcm = (os.path.join(folder, n + ".wav") for n in
                                                      ("source", "tail", "start", "head", "body", "pcm"))
        overlap = "%ds" % OVERLAP_SAMPLES
        sox(["-r", str(RATE), "-c", "2", "-n"] + WAV_FORMAT + [source] + LOOP_SOURCE)
        sox([source, head_out, "trim", "%ds" % LOOP_SAMPLES, overlap, "fade", "q", "0", overlap, overlap])
        sox([source, head_in, "trim", "0", overlap, "fade", "q", overlap])
        sox(["-m", "-v", "1", head_out, "-v", "1", head_in, head])
        sox([source, body, "trim", overlap, "%ds" % (LOOP_SAMPLES - OVERLAP_SAMPLES)])
        sox([head, body, pcm])
        sox([pcm, "-e", "ima-adpcm", path])


def headroom(effects):
    """Lowers the level before the first filter, which would otherwise clip loud noise."""
    for i, effect in enumerate(effects):
        if effect in FILTERS:
            return effects[:i] + ["vol", "0.4"] + effects[i:]
    return effects


FILTERS = ("lowpass", "bandpass", "sinc", "reverb")


def generate(root):
    folder = os.path.join(root, "assets", "generated", "game", "audio")
    ensure_dir(folder)
    for name, tones, effects in EFFECTS:
        effects = headroom(effects)
        sox(["-r", "44100", "-c", str(tones), "-n"] + WAV_FORMAT + [os.path.join(folder, name)] + effects)
    for name, track in JINGLES:
        track.write(os.path.join(folder, name))
    ambient_loop(os.path.join(folder, "ambient_loop_00.wav"))


if __name__ == "__main__":
    parser = argparse.ArgumentParser()
    parser.add_argument("--out", required=True)
    generate(parser.parse_args().out)
