#!/usr/bin/python3
"""Renders songs with one sound bank through korvelshell and through TiMidity++ and compares the two.

For every song it prints the correlation of the two loudness envelopes (10 ms windows), the onset lag of ours
against the peer (cross-correlation of 1 ms envelopes, refined between lags) and the loudness difference (RMS in
dB). A generated song plays each of the 128 programs alone, one note each; its per-program levels (the loudest 50 ms of
each note), after taking off the median difference of the two renderers, show which instruments sit louder or
quieter than the peer has them.

The peer gets a configuration of its own that names only the given bank, and keeps the silence at the start of a
song (--preserve-silence), so that onsets can be compared. Where a song does not set a channel's reverb send
(controller 91), the peer sends 40 to its reverb, a module's default, where ours sends nothing, the default of
General MIDI; the reverb also takes some of the peer's dry level, and held notes sink by 2 dB or so. Both renderers
therefore get each song with controller 91 at 0 on every channel before its own first events.

Where the peer reads a bank differently (measured on the generated banks): it takes a volume decay time as the time
to reach the sustain level, however far below full that lies, where the format times a 100 dB fall; and it leaves
out the modulation LFO's pitch depth. The generated banks therefore write their vibrato on the vibrato LFO, which it
plays, and use the modulation LFO only to sweep filters. (With the vibrato on the modulation LFO, the envelope of a
steady song, Slow River, followed the beating of our vibrating partials against those of other notes, and its
correlation dropped to 0.72-0.86; with it on the vibrato LFO it is 0.927-0.943.)
The GS set's bank is DLS, which the peer does not read ("not a SoundFont file", then silence): compare the
SoundFont 2 sets.

Needs timidity and python3-numpy (apt-get install --no-install-recommends timidity python3-numpy).

usage: compare_with_peer.py --korvelshell build/default/tools/korvelshell/korvelshell
                            --bank build/default/resources/soundfont6.sf2 [--songs a.mid b.mid ...]
                            [--work folder] [--as-specified]
Without --songs, the demo songs beside the bank (MIDI/Selection, MIDI/Test and default.mid) are used.
"""

import argparse
import os
import struct
import sys
import tempfile
import wave

import numpy as np

from peer_renderers import RATE, demo_songs, korvelshell_command, peer_command, run_quietly, write_peer_config

ENVELOPE_SECONDS = 0.010
ONSET_SECONDS = 0.001
MAX_LAG_SECONDS = 0.050
PROGRAM_NOTE_SECONDS = 1.0
PROGRAM_GAP_SECONDS = 1.0
LEVEL_TOLERANCE_DB = 3.0
LEVEL_SECONDS = 0.050


def variable_length(value):
    out = [value & 0x7F]
    value >>= 7
    while value:
        out.insert(0, 0x80 | (value & 0x7F))
        value >>= 7
    return bytes(out)


def write_program_song(path):
    """Format 0, 480 ticks a quarter at 120 bpm (960 ticks a second), on channel 0: for p = 0 .. 127, program p, a
    second of silence, then key 60 at velocity 100 for a second. (The peer drops a note at the very start.)"""
    ticks_per_second = 960
    events = bytearray()
    for program in range(128):
        events += variable_length(0) + bytes([0xC0, program])
        events += variable_length(int(PROGRAM_GAP_SECONDS * ticks_per_second)) + bytes([0x90, 60, 100])
        events += variable_length(int(PROGRAM_NOTE_SECONDS * ticks_per_second)) + bytes([0x80, 60, 0])
    events += variable_length(int(PROGRAM_GAP_SECONDS * ticks_per_second)) + bytes([0xFF, 0x2F, 0x00])
    with open(path, "wb") as f:
        f.write(b"MThd" + struct.pack(">IHHH", 6, 0, 1, 480))
        f.write(b"MTrk" + struct.pack(">I", len(events)) + bytes(events))


def with_reverb_send_stated(song, out):
    """Writes song to out with controller 91 at 0 on all 16 channels at its start, in its first track."""
    with open(song, "rb") as f:
        data = f.read()
    track = data.find(b"MTrk")
    if not data.startswith(b"MThd") or track < 0:
        sys.exit(f"{song}: not a standard MIDI file")
    (length,) = struct.unpack(">I", data[track + 4:track + 8])
    stated = b"".join(variable_length(0) + bytes([0xB0 | channel, 91, 0]) for channel in range(16))
    with open(out, "wb") as f:
        f.write(data[:track + 4] + struct.pack(">I", length + len(stated)) + stated + data[track + 8:])


def read_wav(path):
    with wave.open(path, "rb") as w:
        if w.getsampwidth() != 2 or w.getframerate() != RATE:
            sys.exit(f"{path}: expected 16-bit audio at {RATE} Hz")
        data = np.frombuffer(w.readframes(w.getnframes()), dtype="<i2").astype(np.float64) / 32768.0
        return data.reshape(-1, w.getnchannels()).mean(axis=1)


def render_ours(args, song, out):
    run_quietly(korvelshell_command(args.korvelshell, args.bank, song, out, args.as_specified))


def render_peer(config, song, out):
    run_quietly(peer_command(config, song, out))


def envelope(signal, seconds):
    n = max(1, int(seconds * RATE))
    frames = len(signal) // n
    return np.sqrt((signal[: frames * n].reshape(frames, n) ** 2).mean(axis=1))


def same_length(a, b):
    n = min(len(a), len(b))
    return a[:n], b[:n]


def correlation(a, b):
    a, b = same_length(a, b)
    if a.std() == 0 or b.std() == 0:
        return 0.0
    return float(np.corrcoef(a, b)[0, 1])


def onset_lag_ms(ours, peer):
    """Milliseconds by which our envelope comes after the peer's (negative: before)."""
    a, b = same_length(envelope(ours, ONSET_SECONDS), envelope(peer, ONSET_SECONDS))
    a = a - a.mean()
    b = b - b.mean()
    max_lag = int(MAX_LAG_SECONDS / ONSET_SECONDS)
    lags = np.arange(-max_lag, max_lag + 1)
    scores = np.array([np.dot(a[max(0, k):len(a) + min(0, k)], b[max(0, -k):len(b) - max(0, k)]) for k in lags])
    best = int(np.argmax(scores))
    shift = 0.0
    if 0 < best < len(scores) - 1:
        left, mid, right = scores[best - 1], scores[best], scores[best + 1]
        bend = left - 2 * mid + right
        shift = 0.5 * (left - right) / bend if bend != 0 else 0.0
    return (lags[best] + shift) * ONSET_SECONDS * 1000.0


def rms_db(signal):
    return 20.0 * np.log10(max(np.sqrt(np.mean(signal ** 2)), 1e-12))


def program_levels(signal):
    """The loudest 50 ms of each program's note, in dB: the instrument's level, whatever the shape of its decay
    (the peer takes a decay time as the time to reach the sustain level, not as the time for 100 dB)."""
    step = int((PROGRAM_NOTE_SECONDS + PROGRAM_GAP_SECONDS) * RATE)
    note = int(PROGRAM_NOTE_SECONDS * RATE)
    gap = int(PROGRAM_GAP_SECONDS * RATE)
    levels = [20.0 * np.log10(max(envelope(signal[p * step + gap:p * step + gap + note], LEVEL_SECONDS).max(), 1e-12))
              for p in range(128)]
    return np.array(levels)


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--korvelshell", required=True)
    parser.add_argument("--bank", required=True)
    parser.add_argument("--songs", nargs="*")
    parser.add_argument("--work")
    parser.add_argument("--as-specified", action="store_true")
    args = parser.parse_args()
    args.bank = os.path.abspath(args.bank)
    songs = args.songs or demo_songs(args.bank)
    work = args.work or tempfile.mkdtemp(prefix="peer-compare-")
    os.makedirs(work, exist_ok=True)
    config = write_peer_config(work, args.bank)

    print(f"bank {args.bank}")
    print(f"{'song':32} {'env corr':>8} {'lag ms':>7} {'ours dB':>8} {'peer dB':>8} {'diff dB':>8}")
    worst_corr, worst_lag = 1.0, 0.0
    for song in songs:
        ours_wav = os.path.join(work, "ours.wav")
        peer_wav = os.path.join(work, "peer.wav")
        stated = os.path.join(work, "song.mid")
        with_reverb_send_stated(song, stated)
        render_ours(args, stated, ours_wav)
        render_peer(config, stated, peer_wav)
        ours, peer = read_wav(ours_wav), read_wav(peer_wav)
        corr = correlation(envelope(ours, ENVELOPE_SECONDS), envelope(peer, ENVELOPE_SECONDS))
        lag = onset_lag_ms(ours, peer)
        worst_corr, worst_lag = min(worst_corr, corr), max(worst_lag, abs(lag))
        a, b = rms_db(ours), rms_db(peer)
        print(f"{os.path.basename(song)[:32]:32} {corr:8.3f} {lag:7.2f} {a:8.1f} {b:8.1f} {a - b:8.1f}")
    print(f"lowest envelope correlation {worst_corr:.3f}, largest onset lag {worst_lag:.2f} ms")

    song = os.path.join(work, "programs.mid")
    write_program_song(os.path.join(work, "programs-plain.mid"))
    with_reverb_send_stated(os.path.join(work, "programs-plain.mid"), song)
    render_ours(args, song, os.path.join(work, "ours.wav"))
    render_peer(config, song, os.path.join(work, "peer.wav"))
    ours = program_levels(read_wav(os.path.join(work, "ours.wav")))
    peer = program_levels(read_wav(os.path.join(work, "peer.wav")))
    difference = ours - peer
    difference -= np.median(difference)
    within = int(np.sum(np.abs(difference) <= LEVEL_TOLERANCE_DB))
    print(f"per-program level differences (ours - peer, median removed), {within} of 128 within "
          f"±{LEVEL_TOLERANCE_DB:.0f} dB:")
    for p in range(128):
        mark = "" if abs(difference[p]) <= LEVEL_TOLERANCE_DB else "  <-"
        print(f"  program {p:3}: {difference[p]:+6.1f} dB{mark}")


if __name__ == "__main__":
    main()
