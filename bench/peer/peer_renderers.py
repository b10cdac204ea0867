"""What the scripts of this folder share: the demo songs beside a bank, and the renderers they run on one song.

Ours: the library's command-line program (korvelshell, product profile unless as_specified) and the host
application's offline render (Orvo-Tunedeck2 --render). The peer: TiMidity++, with a configuration of its own that
names only the given bank, keeping the silence at the start of a song (--preserve-silence) so that onsets compare.
"""

import glob
import os
import subprocess

RATE = 48000


def demo_songs(bank):
    """The demo songs beside the bank: MIDI/Selection, MIDI/Test and default.mid."""
    resources = os.path.dirname(os.path.abspath(bank))
    songs = sorted(glob.glob(os.path.join(resources, "MIDI", "*", "*.mid")))
    default = os.path.join(resources, "default.mid")
    return songs + ([default] if os.path.exists(default) else [])


def write_peer_config(work, bank):
    config = os.path.join(work, "peer.cfg")
    with open(config, "w") as f:
        f.write(f'soundfont "{os.path.abspath(bank)}"\n')
    return config


def korvelshell_command(korvelshell, bank, song, out, as_specified=False):
    command = [korvelshell, "-r", str(RATE), "-o", out, bank, song]
    if as_specified:
        command.insert(1, "--as-specified")
    return command


def host_command(host, bank, song, out):
    return [host, "--render", out, "--midi", song, "--soundfont", bank]


def host_environment(work):
    """The host keeps its documents, settings and data in folders of the work folder, not the user's."""
    environment = dict(os.environ)
    for name, folder in (("TUNEDECK_DOCUMENTS", "documents"), ("XDG_CONFIG_HOME", "config"),
                         ("XDG_DATA_HOME", "data")):
        environment[name] = os.path.join(work, folder)
        os.makedirs(environment[name], exist_ok=True)
    return environment


def peer_command(config, song, out):
    return ["timidity", "-c", config, "-Ow", "-o", out, "-s", str(RATE), "--preserve-silence", song]


def run_quietly(command, environment=None):
    subprocess.run(command, check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, env=environment)
