#!/bin/sh
# `velmora --help` and `--version` answer and exit without a display, in
# German and in English; anything else would open the window.
# Arguments: VELMORA VERSION
set -eu
velmora=$1 version=$2
home=$(mktemp -d)
trap 'rm -rf "$home"' EXIT
run() { env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM HOME="$home" XDG_CONFIG_HOME="$home" "$@"; }

out=$(LANGUAGE=de LANG=C.UTF-8 run timeout 20 "$velmora" --help)
echo "$out" | grep -q '^Aufruf: velmora \[ORDNER\]' || { echo "German --help: $out"; exit 1; }
out=$(LANGUAGE=en LANG=C.UTF-8 run timeout 20 "$velmora" --help)
echo "$out" | grep -q '^Usage: velmora \[FOLDER\]' || { echo "English --help: $out"; exit 1; }
out=$(run timeout 20 "$velmora" --version)
[ "$out" = "velmora $version" ] || { echo "--version: $out"; exit 1; }
echo "window_options: --help and --version answer without a window"
