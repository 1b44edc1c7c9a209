#!/bin/bash
# The zsh and fish completions of velmora-cli offer what its --help lists:
# fish is asked for the candidates of command lines; the zsh function runs
# with _arguments and _describe replaced by stubs that print what it hands
# them.
# Arguments: SOURCE_DIR VELMORA_CLI
set -u
source=$1 cli=$2
for shell in zsh fish; do
    if ! command -v $shell >/dev/null; then
        echo "skipped: $shell is missing (scripts/install-deps.sh installs it)"
        exit 77
    fi
done
fish_file=$source/cli/velmora-cli.fish zsh_file=$source/cli/_velmora-cli
status=0
fail() { echo "$*"; status=1; }
sorted() { tr ' ' '\n' | grep -v '^$' | sort -u | paste -sd ' '; }
fish_complete() {
    fish -c "source '$fish_file'; complete -C '$1'" | cut -f1 | sorted
}
# The option names (or with "", the command names) the zsh function offers
# after the given command.
zsh_offers() {
    zsh -c '
        command=$1
        _describe() { print -l -- ${(P)2} | cut -d: -f1; }
        _arguments() {
            if [[ $1 == -C ]]; then
                state=${command:+argument}; state=${state:-command}; line=($command)
                return 0
            fi
            print -l -- "$@" | sed -n "s/^([^)]*)//; s/\[.*//p" | grep "^-"
        }
        source "$2"' zsh "$1" "$zsh_file" | sorted
}

commands=$("$cli" --help | sed -n 's/^  \([a-z][a-z-]*\)  .*/\1/p')
zsh -n "$zsh_file" || fail "_velmora-cli: syntax error"
got=$(zsh_offers "")
[ "$got" = "$(echo $commands | sorted)" ] || fail "zsh commands: got '$got'"
got=$(fish_complete "velmora-cli ")
[ "$got" = "$(echo $commands | sorted)" ] || fail "fish commands: got '$got'"
got=$(fish_complete "velmora-cli -")
[ "$got" = "$(echo -h --help --version | sorted)" ] || fail "fish top options: got '$got'"
for command in $commands; do
    want=$("$cli" "$command" --help |
        sed -n 's/^  -h,--help .*/-h --help/p; s/^  \(-[a-z0-9]\),\(--[a-z0-9-]*\).*/\1 \2/p; s/^  \(--[a-z0-9-]*\).*/\1/p' |
        sorted)
    got=$(fish_complete "velmora-cli $command -")
    [ "$got" = "$want" ] || fail "fish $command: got '$got', expected '$want'"
    got=$(zsh_offers "$command")
    [ "$got" = "$want" ] || fail "zsh $command: got '$got', expected '$want'"
done
got=$(fish_complete "velmora-cli copy --slot2 up")
[ "$got" = "upper" ] || fail "fish --slot2 up: got '$got'"
got=$(fish_complete "velmora-cli tag --genre ")
[ "$got" = "= aus off" ] || fail "fish --genre: got '$got'"
exit $status
