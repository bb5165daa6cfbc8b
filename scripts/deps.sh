#!/usr/bin/env bash
# Installs the Debian 12 packages the build needs, only those that are missing.
# Usage: scripts/deps.sh [extra-package ...]
set -euo pipefail
pkgs=(build-essential cmake pkg-config qt6-base-dev libgl-dev libxcb1-dev libxkbcommon-dev
      libgtest-dev libbenchmark-dev desktop-file-utils libglib2.0-bin fp-utils
      xvfb xdotool dbus python3 "$@")
missing=()
for p in "${pkgs[@]}"; do dpkg -s "$p" >/dev/null 2>&1 || missing+=("$p"); done
if ((${#missing[@]})); then
  sudo=""; [[ $(id -u) -eq 0 ]] || sudo="sudo"
  echo "Installing: ${missing[*]}" >&2
  $sudo apt-get update -q >/dev/null
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q "${missing[@]}" >/dev/null
fi
