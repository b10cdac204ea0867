#!/usr/bin/python3
"""Measures how loud a song plays: the host application's offline render with each of the six sound sets, and
TiMidity++ with each generated SoundFont 2 bank (the GS set's bank is DLS, which the peer does not read), each
also rendered by the host from the same bank with --soundfont.

Levels are RMS over the whole file and the largest sample, both in dB below full scale, as sox's "stat" reports
them (RMS amplitude and maximum amplitude, 20 log10 of each). The host's file runs on to the end of the
instrument's tail, a few seconds longer than the peer's; that makes its RMS about 0.5 dB lower than the same
sound over the peer's length.

What the levelling gives: the demo song (default.mid) at about -29 dBFS RMS (within 3 dB) with every set, the six sets within 2 dB
of one another, peaks below -1 dBFS, and the host within 2 dB of the peer on the same bank.

Needs sox and python3-numpy, and timidity for the peer (apt-get install --no-install-recommends timidity).

usage: loudness.py --host build/default/Orvo_Tunedeck/app/Orvo-Tunedeck2
                   [--song build/default/resources/default.mid] [--work folder] [--no-peer]
"""

import argparse
import os
import subprocess
import tempfile

import numpy as np

from peer_renderers import host_environment, peer_command, run_quietly, write_peer_config

SOUND_SETS = range(6)
SOUNDFONT_BANKS = ("soundfont1", "soundfont2", "soundfont6", "soundfont7", "soundfont9")


def levels(wav):
    """RMS and peak of both channels together, in dBFS."""
    raw = subprocess.run(["sox", wav, "-t", "f32", "-"], check=True, capture_output=True).stdout
    samples = np.frombuffer(raw, dtype="<f4").astype(np.float64)
    rms = np.sqrt(np.mean(samples ** 2))
    return 20.0 * np.log10(max(rms, 1e-12)), 20.0 * np.log10(max(np.abs(samples).max(), 1e-12))


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--host", required=True)
    parser.add_argument("--song")
    parser.add_argument("--work")
    parser.add_argument("--no-peer", action="store_true")
    args = parser.parse_args()
    resources = os.path.join(os.path.dirname(os.path.dirname(os.path.abspath(args.host))), "..", "resources")
    song = os.path.abspath(args.song or os.path.join(resources, "default.mid"))
    work = args.work or tempfile.mkdtemp(prefix="loudness-")
    os.makedirs(work, exist_ok=True)
    environment = host_environment(work)

    print(f"{os.path.basename(song)}: RMS and peak in dBFS")
    found = []
    for sound_set in SOUND_SETS:
        out = os.path.join(work, f"set{sound_set}.wav")
        run_quietly([args.host, "--render", out, "--midi", song, "--sound-set", str(sound_set)], environment)
        rms, peak = levels(out)
        found.append(rms)
        print(f"host, sound set {sound_set}: {rms:7.2f} {peak:7.2f}")
    print(f"sound sets from {min(found):.2f} to {max(found):.2f} ({max(found) - min(found):.2f} dB apart)")
    if args.no_peer:
        return
    for name in SOUNDFONT_BANKS:
        bank = os.path.abspath(os.path.join(resources, name + ".sf2"))
        ours = os.path.join(work, f"host-{name}.wav")
        peer = os.path.join(work, f"peer-{name}.wav")
        run_quietly([args.host, "--render", ours, "--midi", song, "--soundfont", bank], environment)
        run_quietly(peer_command(write_peer_config(work, bank), song, peer))
        (host_rms, _), (peer_rms, peer_peak) = levels(ours), levels(peer)
        print(f"{name}: peer {peer_rms:7.2f} {peer_peak:7.2f}, host {host_rms:7.2f} ({host_rms - peer_rms:+.2f} dB)")


if __name__ == "__main__":
    main()
