#!/bin/bash
# Sources the bash completion of velmora-cli and completes command lines:
# the commands, each command's options exactly as its --help lists them, the
# operation codes and names, and folders or files where arguments take them.
# Arguments: COMPLETION_SCRIPT VELMORA_CLI
set -u
script=$1 cli=$2
source "$script" || exit 1
status=0

# The candidates for the last word of the given line, sorted, one line.
complete_line() {
    COMP_WORDS=("$@")
    COMP_CWORD=$((${#COMP_WORDS[@]} - 1))
    COMP_LINE="$*"
    COMP_POINT=${#COMP_LINE}
    _velmora_cli
    printf '%s\n' "${COMPREPLY[@]}" | sort | paste -sd ' '
}

expect() {
    local want=$1
    shift
    local got
    got=$(complete_line "$@")
    if [[ $got != "$want" ]]; then
        echo "completing '$*': got '$got', expected '$want'"
        status=1
    fi
}

sorted() { tr ' ' '\n' | grep -v '^$' | sort | paste -sd ' '; }

expect "rename" velmora-cli ren
expect "read-tag rename" velmora-cli re
commands=$("$cli" --help | sed -n 's/^  \([a-z][a-z-]*\)  .*/\1/p')
expect "$(echo "$commands -h --help --version" | sorted)" velmora-cli ""

for command in $commands; do
    options=$("$cli" "$command" --help | sed -n 's/^  -h,--help .*/-h --help/p; s/^  \(-[a-z0-9]\),\(--[a-z0-9-]*\).*/\1 \2/p; s/^  \(--[a-z0-9-]*\).*/\1/p')
    expect "$(echo "$options" | sorted)" velmora-cli "$command" -
done

operations=$("$cli" rename --help | sed -n 's/^ *\([0-9][0-9]*\)  .*/\1/p; s/^ *\([0-9][0-9]*\) \([a-z][a-z-]*\) .*/\1 \2/p')
expect "$(echo "$operations" | sorted)" velmora-cli rename --subdirs --slot1 ""
expect "upper" velmora-cli copy --slot2 up
expect "lower" velmora-cli move --slot3 = lo
expect "1 10 11 12 13 14 15 16 17 18 19" velmora-cli rename --slot1 1
expect "1 2 3 = aus off" velmora-cli tag --title ""

tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
mkdir "$tmp/Musik Neu"
touch "$tmp/a.mp3"
expect "$tmp/Musik Neu" velmora-cli rename --dry-run "$tmp/"
expect "$tmp/Musik Neu" velmora-cli copy --dest "$tmp/"
expect "$tmp/Musik Neu $tmp/a.mp3" velmora-cli read-tag --json "$tmp/"
expect "$tmp/a.mp3" velmora-cli undo --journal "$tmp/a"
exit $status
