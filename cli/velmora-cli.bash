# bash completion for velmora-cli: sub-commands, their options, operation
# names and codes after --slotN, tag sources, folders where a folder is
# asked for and files where files are.

_velmora_cli() {
    local cur=${COMP_WORDS[COMP_CWORD]}
    local prev=
    local i=$((COMP_CWORD - 1))
    # "--slot1=up" reaches us as "--slot1" "=" "up".
    if [[ $cur == "=" ]]; then
        cur=
        i=$((COMP_CWORD - 1))
    elif ((i > 0)) && [[ ${COMP_WORDS[i]} == "=" ]]; then
        ((i--))
    fi
    ((i > 0)) && prev=${COMP_WORDS[i]}
    COMPREPLY=()

    local command= w
    for w in "${COMP_WORDS[@]:1:COMP_CWORD-1}"; do
        case $w in
            search | rename | copy | move | undo | tag | read-tag)
                command=$w
                break
                ;;
        esac
    done
    if [[ -z $command ]]; then
        COMPREPLY=($(compgen -W "search rename copy move undo tag read-tag -h --help --version" -- "$cur"))
        return
    fi

    local operations="0 1 2 3 4 5 6 7 8 9 10 11 12 13 14 15 16 17 18 19 20
        replace insert-after insert-before insert-at delete-count-after
        delete-count-before delete-count-at delete-all-before delete-all-after
        number-after number-before number-at capitalize mirror delete-between
        upper lower from-tags regex transliterate"
    case $prev in
        --slot1 | --slot2 | --slot3)
            COMPREPLY=($(compgen -W "$operations" -- "$cur"))
            return
            ;;
        --dest)
            compopt -o filenames 2>/dev/null
            mapfile -t COMPREPLY < <(compgen -d -- "$cur")
            return
            ;;
        --journal | --job | --save-job)
            compopt -o filenames 2>/dev/null
            mapfile -t COMPREPLY < <(compgen -f -- "$cur")
            # The jobs the window saved (Optionen -> Auftrag speichern…).
            local jobs=${XDG_CONFIG_HOME:-$HOME/.config}/Velmora/jobs
            if [[ $prev == --job && $cur != */* && -d $jobs ]]; then
                mapfile -t -O ${#COMPREPLY[@]} COMPREPLY < <(compgen -f -X '!*.ini' -- "$jobs/$cur")
            fi
            return
            ;;
        --title | --artist | --album | --comment | --year)
            COMPREPLY=($(compgen -W "aus off 1 2 3 =" -- "$cur"))
            [[ ${#COMPREPLY[@]} -eq 1 && $COMPREPLY == "=" ]] && compopt -o nospace 2>/dev/null
            return
            ;;
        --genre)
            COMPREPLY=($(compgen -W "aus off =" -- "$cur"))
            return
            ;;
        --id3v2)
            COMPREPLY=($(compgen -W "auto always never" -- "$cur"))
            return
            ;;
        --order)
            COMPREPLY=($(compgen -W "name natural modified size" -- "$cur"))
            return
            ;;
        --pattern | -p | --src[123] | --dst[123] | --separator | --dismiss | --number-step)
            return
            ;;
    esac

    local search="-p --pattern -s --subdirs --no-subdirs --order --reverse"
    local job="$search --slot1 --src1 --dst1 --slot2 --src2 --dst2 --slot3 --src3 --dst3
        --number-step --restart-per-folder --job --save-job
        -y --yes-all --overwrite-all -n --dry-run --check --log --no-resolve-chains
        --resolve-chains --journal"
    local options
    case $command in
        search) options="$search -0 --print0" ;;
        rename) options=$job ;;
        copy | move) options="$job --dest" ;;
        undo) options="-y --yes-all --overwrite-all --journal --last --dismiss" ;;
        tag) options="$search --separator --title --artist --album --comment --year --genre --id3v2 --log --journal -n --dry-run -y --yes-all" ;;
        read-tag) options="--json" ;;
    esac
    if [[ $cur == -* ]]; then
        COMPREPLY=($(compgen -W "-h --help $options" -- "$cur"))
        return
    fi
    compopt -o filenames 2>/dev/null
    case $command in
        undo) ;;
        read-tag) mapfile -t COMPREPLY < <(compgen -f -- "$cur") ;;
        *) mapfile -t COMPREPLY < <(compgen -d -- "$cur") ;;
    esac
}

complete -F _velmora_cli velmora-cli
