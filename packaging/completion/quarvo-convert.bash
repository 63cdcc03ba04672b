# SPDX-License-Identifier: MIT
# bash completion for quarvo-convert, loaded by bash-completion.
#
# The options and what they take are read from the program's own usage
# lines (quarvo-convert --help), so an option added to the program is
# completed without a change here, as long as its usage reads like the
# others':
#   --name                 takes nothing
#   --name one|two         takes one of these words
#   --name FILE.adr        an Opera file: .adr files and folders are offered
#   --name DIR             a folder (a placeholder ending in DIR or FOLDER)
#   --name OUT.csv         any other placeholder: any file
# The usage lines run from "usage:" to the first empty line; each holds the
# program's name, then groups in [brackets] or separated by " | ".

# Fills the caller's associative array `takes` (option -> its placeholders,
# blank-separated) from the usage lines of the program $1.
_quarvo_convert_read_usage() {
    local line group usage=""
    local -a word
    while IFS= read -r line; do
        [[ -z ${line//[[:space:]]/} ]] && break
        usage+=" ${line#usage:} "
    done < <(LC_ALL=C "$1" --help 2>/dev/null)
    usage=${usage//[/$'\n'}
    usage=${usage//]/$'\n'}
    usage=${usage// | /$'\n'}
    while IFS= read -r group; do
        read -ra word <<<"$group"
        # The program's name opens a line; the group is what follows it.
        [[ ${word[0]-} == --* ]] || word=("${word[@]:1}")
        [[ ${word[0]-} == --* ]] || continue
        takes[${word[0]}]="${word[*]:1}"
    done <<<"$usage"
}

# Completes the word `cur` as a value that fits the placeholder $1.
_quarvo_convert_value() {
    local placeholder=$1
    if [[ $placeholder =~ ^[a-z0-9.-]+(\|[a-z0-9.-]+)*$ ]]; then
        mapfile -t COMPREPLY < <(compgen -W "${placeholder//|/ }" -- "$cur")
    elif [[ $placeholder == *.adr* ]]; then
        _filedir adr
    elif [[ $placeholder == *DIR || $placeholder == *FOLDER ]]; then
        _filedir -d
    else
        _filedir
    fi
}

_quarvo_convert() {
    local cur prev words cword
    _init_completion || return

    local -A takes=()
    # The program named on the line is asked, so that a build tree's
    # quarvo-convert completes its own options.
    _quarvo_convert_read_usage "${words[0]/#\~/$HOME}"

    # The option whose value is being completed, if any; an option given
    # earlier on the line is not offered again.
    local i word option="" position=0
    local -a placeholders given=()
    for ((i = 1; i < cword; i++)); do
        word=${words[i]}
        [[ -n ${takes[$word]+set} ]] || continue
        given+=("$word")
        read -ra placeholders <<<"${takes[$word]}"
        if ((cword - i <= ${#placeholders[@]})); then
            option=$word
            position=$((cword - i - 1))
            break
        fi
        ((i += ${#placeholders[@]}))
    done
    if [[ -n $option ]]; then
        _quarvo_convert_value "${placeholders[position]}"
        return
    fi

    local name
    local -a offered=()
    for name in "${!takes[@]}"; do
        [[ " ${given[*]} " == *" $name "* ]] || offered+=("$name")
    done
    mapfile -t COMPREPLY < <(compgen -W "${offered[*]}" -- "$cur")
}
complete -F _quarvo_convert quarvo-convert
