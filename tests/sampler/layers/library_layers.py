#!/usr/bin/env python3
"""Fails when an include in the synthesizer library climbs from a lower folder to a higher one.

The folders of sampler/src form layers, bottom first as listed below; the public interface (the files directly in
sampler/src) is the top. A file may include files of its own folder and of the folders below it.
Usage: library_layers.py REPOSITORY_ROOT
"""
import os
import re
import sys

LAYERS = ["sys", "fx", "bank", "voice", "synth", "formats", "midi", "shell", ""]
INCLUDE = re.compile(r'^\s*#\s*include\s+"sampler/src/([^"]+)"')


def main(root):
    library = os.path.join(root, "sampler", "src")
    rank = {name: i for i, name in enumerate(LAYERS)}
    faults = []
    for folder, _, names in os.walk(library):
        here = os.path.relpath(folder, library).replace(os.sep, "/")
        here = "" if here == "." else here
        for name in sorted(names):
            if not name.endswith((".h", ".cpp")):
                continue
            path = os.path.join(folder, name)
            shown = os.path.relpath(path, root)
            if here not in rank:
                faults.append(f"{shown}: folder '{here}' has no place in the layer order")
                continue
            with open(path, encoding="utf-8") as f:
                for number, line in enumerate(f, 1):
                    m = INCLUDE.match(line)
                    if not m:
                        continue
                    target = os.path.dirname(m.group(1))
                    if target not in rank:
                        faults.append(f"{shown}:{number}: includes from unknown folder '{target}'")
                    elif rank[target] > rank[here]:
                        faults.append(f"{shown}:{number}: '{here or 'sampler/src'}' includes sampler/src/{m.group(1)}, "
                                      f"a folder above it")
    for fault in faults:
        print(fault)
    print(f"library layers: {len(faults)} climbing or misplaced includes")
    return 1 if faults else 0


if __name__ == "__main__":
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    sys.exit(main(sys.argv[1]))
