#!/usr/bin/env bash
# Installs the built program for a scratch user whose folder names hold blanks and quotes,
# checks every installed piece, then runs the uninstall script and checks what it leaves.
# Usage: install_round_trip.sh <build-dir> [cmake]
set -euo pipefail
build=$1
cmake=${2:-cmake}
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
export HOME="$scratch/home of o'brien"
export XDG_CONFIG_HOME="$HOME/.config"
unset XDG_DATA_HOME
prefix="$HOME/my apps/orrindo \$pro"
mkdir -p "$HOME"

fail() { echo "FAIL: $*" >&2; exit 1; }

"$cmake" --install "$build" --prefix "$prefix" >/dev/null

for f in ORPRAM ORPstub uninstall.sh; do
    [[ -x "$prefix/$f" ]] || fail "$f not installed as an executable"
done
if [[ -f "$build/bin/Orrindo Pro.chm" ]]; then
    [[ -f "$prefix/Orrindo Pro.chm" ]] || fail "help file not installed"
fi

link="$HOME/.local/bin/ORPRAM"
[[ -L "$link" ]] || fail "no link on PATH"
[[ "$(readlink -f "$link")" == "$(readlink -f "$prefix/ORPRAM")" ]] || fail "link points elsewhere"

desktop="$HOME/.local/share/applications/orrindo-pro.desktop"
[[ -f "$desktop" ]] || fail "no desktop entry"
if command -v desktop-file-validate >/dev/null; then
    desktop-file-validate "$desktop" || fail "desktop entry not valid"
fi
# Exec must name the program exactly once unquoted by the desktop rules: \$ inside quotes.
grep -qxF "Exec=\"$HOME/my apps/orrindo \\\\\$pro/ORPRAM\"" "$desktop" ||
    fail "Exec line wrong: $(grep ^Exec= "$desktop")"

for s in 16 22 24 32 48 64 128 256; do
    png="$HOME/.local/share/icons/hicolor/${s}x${s}/apps/orrindo-pro.png"
    [[ -f "$png" ]] || fail "no ${s}px icon"
    [[ "$(head -c 8 "$png" | od -An -tx1 | tr -d ' \n')" == 89504e470d0a1a0a ]] || fail "$png is no PNG"
done

# The user's data and a foreign autostart entry must survive; our autostart entry must not.
echo "log" >"$prefix/orpram.orl"
mkdir -p "$XDG_CONFIG_HOME/autostart" "$XDG_CONFIG_HOME/orrindo-pro"
printf '[Desktop Entry]\nType=Application\nName=Orrindo Pro\nExec="%s/ORPstub"\n' "$prefix" \
    >"$XDG_CONFIG_HOME/autostart/Orrindo Pro.desktop"
printf '[Desktop Entry]\nType=Application\nName=Orrindo\nExec="/elsewhere/ORPstub"\n' \
    >"$XDG_CONFIG_HOME/autostart/Orrindo.desktop"
echo "settings" >"$XDG_CONFIG_HOME/orrindo-pro/user.reg"

sh "$prefix/uninstall.sh" >/dev/null

for f in ORPRAM ORPstub "Orrindo Pro.chm" uninstall.sh; do
    [[ ! -e "$prefix/$f" ]] || fail "$f left behind"
done
[[ ! -e "$link" && ! -L "$link" ]] || fail "link left behind"
[[ ! -e "$desktop" ]] || fail "desktop entry left behind"
[[ -z "$(find "$HOME/.local/share/icons" -name 'orrindo-pro.png')" ]] || fail "icons left behind"
[[ ! -e "$XDG_CONFIG_HOME/autostart/Orrindo Pro.desktop" ]] || fail "our autostart entry left"
[[ -f "$XDG_CONFIG_HOME/autostart/Orrindo.desktop" ]] || fail "foreign autostart entry removed"
[[ -f "$prefix/orpram.orl" ]] || fail "the log was removed"
[[ -f "$XDG_CONFIG_HOME/orrindo-pro/user.reg" ]] || fail "the settings were removed"

# A second install over the first, and an uninstall of an empty folder, both work.
rm -f "$prefix/orpram.orl"
"$cmake" --install "$build" --prefix "$prefix" >/dev/null
"$cmake" --install "$build" --prefix "$prefix" >/dev/null
sh "$prefix/uninstall.sh" >/dev/null
[[ ! -e "$prefix" ]] || fail "empty program folder left behind"
echo "install round trip: ok"
