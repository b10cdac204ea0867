#!/usr/bin/env bash
# Sets up a fresh Debian machine, builds the product with one compiler per core and plays the demo song: on the sound
# card when there is one; the WAV file it was rendered into stays, and its path is printed.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh
cmake --preset default
# The program with its instrument module and resources, and korvelshell; scripts/test.sh builds the rest.
cmake --build --preset default -j "$(nproc)" --target Orvo-Tunedeck2 korvelshell

program=build/default/Orvo_Tunedeck/app/Orvo-Tunedeck2
wav="$PWD/build/default/demo.wav"
"$program" --render "$wav" --midi build/default/resources/default.mid
if command -v aplay >/dev/null && aplay -l 2>/dev/null | grep -q '^card'; then
  aplay -q "$wav"
else
  echo "No sound card here: the demo song is in $wav"
fi
