#!/usr/bin/env bash
# Installs what the build and the tests need, from Debian's packages only,
# and makes the project's virtual environment on Debian's own interpreter.
set -euo pipefail
cd "$(dirname "$0")/.."

PY=/usr/bin/python3
packages=(g++ make pkg-config python3 python3-dev python3-venv python3-pip python3-pytest
          python3-mesonpy meson ninja-build libgtest-dev "$@")

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if ((${#missing[@]})); then
  echo "setup: installing ${missing[*]}"
  sudo=""
  [ "$(id -u)" = 0 ] || sudo="sudo"
  export DEBIAN_FRONTEND=noninteractive
  $sudo apt-get install -y -q "${missing[@]}" </dev/null ||
    { $sudo apt-get update -q </dev/null && $sudo apt-get install -y -q "${missing[@]}" </dev/null; }
fi

# Debian's interpreter carries pytest and meson-python; the venv sees them.
if [ ! -x .venv/bin/python ]; then
  "$PY" -m venv --system-site-packages .venv
fi
