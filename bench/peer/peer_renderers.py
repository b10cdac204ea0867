"""What the scripts of this folder share: the demo songs beside a bank, and the renderers they run on one song.

Ours: the library's command-line program (korvelshell, product profile unless as_specified) and the host
application's offline render (Orvo-Tunedeck2 --render). The peer: TiMidity++, with a configuration of its own that
names only the given bank, keeping the silence at the start of a song (--preserve-silence) so that onsets compare.
TiMidity++ reads the system's configuration (/etc/timidity/timidity.cfg) before any given with -c, and whatever
that names would play too: the peer runs in a mount namespace of its own (unshare, as root or with user
namespaces) in which an empty file stands in for it.
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


SYSTEM_PEER_CONFIG = "/etc/timidity/timidity.cfg"


def peer_command(config, song, out):
    empty = os.path.join(os.path.dirname(os.path.abspath(config)), "empty.cfg")
    open(empty, "w").close()
    timidity = ["timidity", "-c", config, "-Ow", "-o", out, "-s", str(RATE), "--preserve-silence", song]
    script = 'mount --bind "$1" "$2" && shift 2 && exec "$@"'
    return ["unshare", "--mount", "--map-root-user", "sh", "-c", script, "peer", empty, SYSTEM_PEER_CONFIG] + timidity


def run_quietly(command, environment=None):
    subprocess.run(command, check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, env=environment)
