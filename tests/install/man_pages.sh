#!/bin/sh
# Renders both man pages without a warning and checks that velmora-cli(1)
# names every command, option and operation the program's own help lists.
# Arguments: SOURCE_DIR VELMORA_CLI
set -eu
source=$1 cli=$2

if ! command -v man >/dev/null; then
    echo "skipped: man is missing (scripts/install-deps.sh installs man-db)"
    exit 77
fi

status=0
for page in "$source/app/velmora.1" "$source/cli/velmora-cli.1"; do
    warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l "$page" 2>&1 >/dev/null)
    if [ -n "$warnings" ]; then
        echo "$page: $warnings"
        status=1
    fi
done

page=$(sed 's/\\-/-/g' "$source/cli/velmora-cli.1")
commands=$("$cli" --help | sed -n 's/^  \([a-z][a-z-]*\)  .*/\1/p')
[ -n "$commands" ] || { echo "no commands in velmora-cli --help"; exit 1; }
for command in $commands; do
    words="$command $("$cli" "$command" --help | sed -n 's/^  -h,--help .*/--help/p; s/^  \(-[a-z0-9]\),\(--[a-z0-9-]*\).*/\1 \2/p; s/^  \(--[a-z0-9-]*\).*/\1/p')"
    words="$words $("$cli" "$command" --help | sed -n 's/^ *[0-9][0-9]* \([a-z][a-z-]*\) .*/\1/p')"
    for word in $words; do
        if ! printf '%s\n' "$page" | grep -q -- "$word"; then
            echo "velmora-cli.1 does not name '$word' ($command)"
            status=1
        fi
    done
done
for section in "EXIT STATUS" "JOURNAL" "# velmora journal 3"; do
    printf '%s\n' "$page" | grep -q "$section" || { echo "velmora-cli.1 lacks $section"; status=1; }
done
exit $status
