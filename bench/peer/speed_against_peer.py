#!/usr/bin/python3
"""Measures how fast the host application's offline render, the library's command-line program (product profile)
and TiMidity++ render the same songs with the same bank, and prints the ratios.

Each renderer is a child process; its CPU time (user + system, from the kernel's accounting of the child) is what
counts, not wall time. The runs are interleaved (host, library, peer, host, ...) so that a change in the machine's
load falls on all three alike; every song is rendered --runs times (default 3) per renderer and the median is kept.
A first row renders one note, which shows what starting up costs each program.

The done-when of the speed work: the host's offline render at least 2x faster than the peer on the demo songs.

usage: speed_against_peer.py --host build/default/Orvo_Tunedeck/app/Orvo-Tunedeck2
                             --korvelshell build/default/tools/korvelshell/korvelshell
                             --bank build/default/resources/soundfont6.sf2 [--songs a.mid ...] [--runs 3]
                             [--work folder]
Without --songs, the demo songs beside the bank (MIDI/Selection, MIDI/Test and default.mid) are used. Needs timidity
(apt-get install --no-install-recommends timidity).

The dense bench song and its bank, shaped like published songs and banks (benchgen; the build target
dense_song_bench_data writes them into build/default/bench/dense_song/data):
    speed_against_peer.py ... --bank .../data/bench.sf2 --songs .../data/dense.mid
On it the peer takes about 2.6 times the host's CPU time (was 1.6 before the dense-song work).
"""

import argparse
import os
import statistics
import struct
import subprocess
import sys
import tempfile

from peer_renderers import (demo_songs, host_command, host_environment, korvelshell_command, peer_command,
                            write_peer_config)

RENDERERS = ("host", "library", "peer")


def write_one_note_song(path):
    """Format 0, 480 ticks a quarter: middle C for one beat on channel 0."""
    events = bytes([0x00, 0x90, 60, 100, 0x83, 0x60, 0x80, 60, 0, 0x00, 0xFF, 0x2F, 0x00])
    with open(path, "wb") as f:
        f.write(b"MThd" + struct.pack(">IHHH", 6, 0, 1, 480))
        f.write(b"MTrk" + struct.pack(">I", len(events)) + events)


def cpu_seconds(command, environment=None):
    """Runs command to its end and returns the user + system CPU seconds of the child."""
    child = subprocess.Popen(command, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, env=environment)
    _, status, usage = os.wait4(child.pid, 0)
    child.returncode = os.waitstatus_to_exitcode(status)
    if child.returncode != 0:
        sys.exit(f"failed ({child.returncode}): {' '.join(command)}")
    return usage.ru_utime + usage.ru_stime


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--host", required=True)
    parser.add_argument("--korvelshell", required=True)
    parser.add_argument("--bank", required=True)
    parser.add_argument("--songs", nargs="*")
    parser.add_argument("--runs", type=int, default=3)
    parser.add_argument("--work")
    args = parser.parse_args()
    bank = os.path.abspath(args.bank)
    work = args.work or tempfile.mkdtemp(prefix="peer-speed-")
    os.makedirs(work, exist_ok=True)
    config = write_peer_config(work, bank)
    environment = host_environment(work)
    one_note = os.path.join(work, "one note.mid")
    write_one_note_song(one_note)
    songs = [one_note] + [os.path.abspath(s) for s in (args.songs or demo_songs(bank))]

    def commands(song):
        return {"host": (host_command(args.host, bank, song, os.path.join(work, "host.wav")), environment),
                "library": (korvelshell_command(args.korvelshell, bank, song, os.path.join(work, "library.wav")),
                            None),
                "peer": (peer_command(config, song, os.path.join(work, "peer.wav")), None)}

    print(f"bank {bank}, median CPU seconds (user + system) of {args.runs} interleaved runs")
    print(f"{'song':28} {'host':>7} {'library':>8} {'peer':>7} {'peer/host':>10} {'peer/library':>13}")
    totals = dict.fromkeys(RENDERERS, 0.0)
    host_ratios = []
    for song in songs:
        runs = {name: [] for name in RENDERERS}
        for _ in range(args.runs):
            for name, (command, env) in commands(song).items():
                runs[name].append(cpu_seconds(command, env))
        median = {name: statistics.median(times) for name, times in runs.items()}
        host_ratio = median["peer"] / median["host"]
        library_ratio = median["peer"] / median["library"]
        print(f"{os.path.basename(song)[:28]:28} {median['host']:7.3f} {median['library']:8.3f} "
              f"{median['peer']:7.3f} {host_ratio:9.2f}x {library_ratio:12.2f}x")
        if song != one_note:
            host_ratios.append(host_ratio)
            for name in RENDERERS:
                totals[name] += median[name]
    print(f"{'all demo songs':28} {totals['host']:7.3f} {totals['library']:8.3f} {totals['peer']:7.3f} "
          f"{totals['peer'] / totals['host']:9.2f}x {totals['peer'] / totals['library']:12.2f}x")
    print(f"host against peer per song: min {min(host_ratios):.2f}x, median {statistics.median(host_ratios):.2f}x, "
          f"max {max(host_ratios):.2f}x faster (the aim: at least 2x)")


if __name__ == "__main__":
    main()
