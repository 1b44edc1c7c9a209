# fish completion for velmora-cli: sub-commands, their options, operation
# names and codes after --slotN, tag sources, folders where a folder is
# asked for and files where files are.

set -l commands search rename copy move undo tag read-tag
set -l operations 0 1 2 3 4 5 6 7 8 9 10 11 12 13 14 15 16 17 18 19 20 \
    replace insert-after insert-before insert-at delete-count-after \
    delete-count-before delete-count-at delete-all-before delete-all-after \
    number-after number-before number-at capitalize mirror delete-between \
    upper lower from-tags regex transliterate

function __velmora_cli_in
    __fish_seen_subcommand_from $argv
end

complete -c velmora-cli -f
complete -c velmora-cli -s h -l help -d 'show help'
complete -c velmora-cli -n "not __fish_seen_subcommand_from $commands" -l version -d 'show the version'
complete -c velmora-cli -n "not __fish_seen_subcommand_from $commands" -a search -d 'search files, print the list'
complete -c velmora-cli -n "not __fish_seen_subcommand_from $commands" -a rename -d 'rename the files found'
complete -c velmora-cli -n "not __fish_seen_subcommand_from $commands" -a copy -d 'copy them into a folder'
complete -c velmora-cli -n "not __fish_seen_subcommand_from $commands" -a move -d 'move them into a folder'
complete -c velmora-cli -n "not __fish_seen_subcommand_from $commands" -a undo -d 'take back a journal'
complete -c velmora-cli -n "not __fish_seen_subcommand_from $commands" -a tag -d 'write ID3 tags'
complete -c velmora-cli -n "not __fish_seen_subcommand_from $commands" -a read-tag -d 'print ID3 tags'

# Search: a folder argument.
set -l search search rename copy move tag
complete -c velmora-cli -n "__velmora_cli_in $search" -s p -l pattern -x -d 'file pattern'
complete -c velmora-cli -n "__velmora_cli_in $search" -s s -l subdirs -d 'search sub-folders too'
complete -c velmora-cli -n "__velmora_cli_in $search" -l order -x -a 'name natural modified size' -d 'order of the list'
complete -c velmora-cli -n "__velmora_cli_in $search" -l reverse -d 'descending order'
complete -c velmora-cli -n "__velmora_cli_in $search" -l no-subdirs -d 'only the folder itself'
complete -c velmora-cli -n "__velmora_cli_in $search" -x -a '(__fish_complete_directories)'
complete -c velmora-cli -n "__velmora_cli_in search" -s 0 -l print0 -d 'end each path with NUL'

# The job of rename, copy and move.
set -l job rename copy move
for n in 1 2 3
    complete -c velmora-cli -n "__velmora_cli_in $job" -l slot$n -x -a "$operations" -d "operation of No. $n"
    complete -c velmora-cli -n "__velmora_cli_in $job" -l src$n -x -d "first field of No. $n"
    complete -c velmora-cli -n "__velmora_cli_in $job" -l dst$n -x -d "second field of No. $n"
end
complete -c velmora-cli -n "__velmora_cli_in $job" -l number-step -x -d 'what each number adds'
complete -c velmora-cli -n "__velmora_cli_in $job" -l restart-per-folder -d 'a counter per folder'
# Files, and the jobs the window saved.
complete -c velmora-cli -n "__velmora_cli_in $job" -l job -r -F -d 'run a saved job'
complete -c velmora-cli -n "__velmora_cli_in $job" -l job -r -a '(path filter -f -- (set -q XDG_CONFIG_HOME; and echo $XDG_CONFIG_HOME; or echo ~/.config)/Velmora/jobs/*.ini)' -d 'saved in the window'
complete -c velmora-cli -n "__velmora_cli_in $job" -l save-job -r -F -d 'save the job, run nothing'
complete -c velmora-cli -n "__velmora_cli_in $job" -l resolve-chains -d 'order chains (default)'
complete -c velmora-cli -n "__velmora_cli_in copy move" -l dest -x -a '(__fish_complete_directories)' -d 'target folder'
complete -c velmora-cli -n "__velmora_cli_in $job undo" -s y -l yes-all -d 'answer "Alle"'
complete -c velmora-cli -n "__velmora_cli_in $job undo" -l overwrite-all -d 'replace existing targets'
complete -c velmora-cli -n "__velmora_cli_in $job tag" -s n -l dry-run -d 'show, change nothing'
complete -c velmora-cli -n "__velmora_cli_in $job" -l check -d 'stop on a conflict'
complete -c velmora-cli -n "__velmora_cli_in $job tag" -l log -d 'write the log file'
complete -c velmora-cli -n "__velmora_cli_in $job" -l no-resolve-chains -d 'leave chains out'
complete -c velmora-cli -n "__velmora_cli_in $job undo tag" -l journal -r -F -d 'journal file'
complete -c velmora-cli -n "__velmora_cli_in undo" -l last -d 'newest run only'
complete -c velmora-cli -n "__velmora_cli_in undo" -l dismiss -x -d 'end an interrupted run without undoing it'

# tag and read-tag.
complete -c velmora-cli -n "__velmora_cli_in tag" -s y -l yes-all -d 'no effect'
complete -c velmora-cli -n "__velmora_cli_in tag" -l separator -x -d 'separator of the name parts'
for field in title artist album comment year
    complete -c velmora-cli -n "__velmora_cli_in tag" -l $field -x -a 'aus off 1 2 3 =' -d "source of the $field"
end
complete -c velmora-cli -n "__velmora_cli_in tag" -l genre -x -a 'aus off =' -d 'source of the genre'
complete -c velmora-cli -n "__velmora_cli_in tag" -l id3v2 -x -a 'auto always never' -d 'ID3v2 tag'
complete -c velmora-cli -n "__velmora_cli_in read-tag" -l json -d 'one JSON object a line'
complete -c velmora-cli -n "__velmora_cli_in read-tag" -F
