#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need. Safe to run again: it only installs what is missing.
set -euo pipefail

packages=(
  build-essential cmake pkg-config ccache
  libgtest-dev libgmock-dev libbenchmark-dev
  libexpat1-dev libasound2-dev libsndfile1-dev libcairo2-dev libpango1.0-dev libgtk-4-dev libwebkitgtk-6.0-dev libsoup-3.0-dev
  midicsv python3 python3-mido sox xvfb xauth
  clang libclang-rt-dev
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
