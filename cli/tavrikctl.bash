# bash completion for tavrikctl, the VOLTRI VX60 keyboard's configuration from the command line.
#
# Commands, options and files are completed here; the names of keys, multimedia functions,
# keyboard functions and lighting effects come from tavrikctl itself ("tavrikctl names --plain
# LIST"), so completion offers exactly the names the program accepts, in any case. Needs no other
# completion library.

# The words of the command line up to the cursor as the shell will read them (escapes and quotes
# undone, split at blanks only) in _tavrikctl_line, the last being the word completed, also in
# _tavrikctl_cur; the part of it that readline replaces (after its last word-break character, such
# as the colon of key:NAME) in _tavrikctl_tail.
_tavrikctl_parse_line() {
    local line=${COMP_LINE:0:COMP_POINT} c i escaped=0 quote="" word="" tail=""
    _tavrikctl_line=()
    for ((i = 0; i < ${#line}; i++)); do
        c=${line:i:1}
        if ((escaped)); then
            word+=$c tail+=$c escaped=0
        elif [[ $c == "\\" && $quote != "'" ]]; then
            escaped=1
        elif [[ -n $quote ]]; then
            if [[ $c == "$quote" ]]; then quote=""; else word+=$c tail+=$c; fi
        elif [[ $c == [\"\'] ]]; then
            quote=$c
        elif [[ $c == [[:space:]] ]]; then
            [[ -n $word ]] && _tavrikctl_line+=("$word")
            word="" tail=""
        elif [[ $COMP_WORDBREAKS == *"$c"* ]]; then
            word+=$c tail=""
        else
            word+=$c tail+=$c
        fi
    done
    _tavrikctl_line+=("$word")
    _tavrikctl_cur=$word _tavrikctl_tail=$tail
}

# Offers every candidate (one a line on standard input, which must not be a pipe: a function at
# the end of a pipe runs in a subshell and its offers would be lost) that starts with the current word,
# ignoring ASCII case, each with PREFIX before it. Readline replaces only the tail of the word, so
# that is what each offer holds, quoted for the shell.
_tavrikctl_offer() {
    local prefix=$1 candidate full lead=${#_tavrikctl_cur} quoted
    ((lead -= ${#_tavrikctl_tail}))
    while IFS= read -r candidate; do
        full=$prefix$candidate
        [[ ${full,,} == "${_tavrikctl_cur,,}"* && ${#full} -gt $lead ]] || continue
        printf -v quoted '%q' "${full:lead}"
        COMPREPLY+=("$quoted")
    done
}

_tavrikctl_commands=(info profile backup restore validate dump export import diff remap macro lighting watch names
    doctor help)

_tavrikctl_words() {
    _tavrikctl_offer "" < <(printf '%s\n' "$@")
}

_tavrikctl_names() {
    _tavrikctl_offer "$1" < <("$_tavrikctl_program" names --plain "$2" 2>/dev/null)
}

_tavrikctl_files() {
    local IFS=$'\n'
    compopt -o filenames 2>/dev/null
    COMPREPLY+=($(compgen -f -- "$_tavrikctl_cur"))
}

# The function of remap: default, key:NAME, macro:NAME, media:NAME or fn:NAME.
_tavrikctl_function() {
    case $_tavrikctl_cur in
    key:*) _tavrikctl_names key: keys ;;
    media:*) _tavrikctl_names media: media ;;
    fn:*) _tavrikctl_names fn: fn ;;
    macro:*) ;;
    *)
        _tavrikctl_words default key: macro: media: fn:
        compopt -o nospace 2>/dev/null
        ;;
    esac
}

_tavrikctl_key() {
    _tavrikctl_names "" keys
    _tavrikctl_words G1 G2 G3 G4 G5 G6 G7 G8 G9
}

_tavrikctl_lighting() {
    local verb=$1 position=$2
    case $verb:$position in
    :0) _tavrikctl_words show effect brightness speed direction option key all reset ;;
    effect:1) _tavrikctl_names "" effects ;;
    direction:1) _tavrikctl_words left right ;;
    option:1) _tavrikctl_words trigger-mode trigger-area press-reaction breathing ;;
    option:2) _tavrikctl_words 0 1 ;;
    key:1) _tavrikctl_names "" keys ;;
    key:2 | all:1) _tavrikctl_words on off ;;
    esac
}

_tavrikctl_macro() {
    local verb=$1 position=$2
    case $verb:$position in
    :0) _tavrikctl_words list show add rm rename loop actions ;;
    rm:*) _tavrikctl_words --force ;;
    actions:2) _tavrikctl_files ;;
    esac
}

_tavrikctl() {
    COMPREPLY=()
    _tavrikctl_parse_line
    _tavrikctl_program=${_tavrikctl_line[0]}
    local last=$((${#_tavrikctl_line[@]} - 1)) command="" verb="" position=0 i word
    case ${_tavrikctl_line[last - 1]} in
    --device)
        _tavrikctl_words hid demo emu:
        return
        ;;
    --profile)
        _tavrikctl_words 0 1 2
        return
        ;;
    --bank)
        _tavrikctl_words a b
        return
        ;;
    --count | --wait) return ;;
    --text)
        _tavrikctl_files
        return
        ;;
    esac
    # The command, its first word and how many of its plain words come before this one.
    for ((i = 1; i < last; i++)); do
        word=${_tavrikctl_line[i]}
        case $word in
        --device | --profile | --bank | --count | --text | --wait) ((i++)) ;;
        --* | -h) ;;
        *)
            if [[ -z $command ]]; then
                command=$word
            else
                ((position == 0)) && verb=$word
                ((position++))
            fi
            ;;
        esac
    done
    if [[ $_tavrikctl_cur == -* ]]; then
        case $command in
        remap) _tavrikctl_words --profile --bank ;;
        dump | diff) _tavrikctl_words --keyboard ;;
        export) _tavrikctl_words --text ;;
        macro) _tavrikctl_words --force ;;
        watch) _tavrikctl_words --count ;;
        names) _tavrikctl_words --plain ;;
        esac
        _tavrikctl_words --device --json --no-verify --full-write --wait --help --version
        return
    fi
    case $command in
    "") _tavrikctl_words "${_tavrikctl_commands[@]}" ;;
    help) ((position == 0)) && _tavrikctl_words "${_tavrikctl_commands[@]}" ;;
    profile) ((position == 0)) && _tavrikctl_words 0 1 2 ;;
    backup | restore | validate | dump | import) ((position == 0)) && _tavrikctl_files ;;
    diff) ((position < 2)) && _tavrikctl_files ;;
    export) ((position == 0)) && _tavrikctl_words --text ;;
    remap)
        if ((position == 0)); then _tavrikctl_key; elif ((position == 1)); then _tavrikctl_function; fi
        ;;
    macro) _tavrikctl_macro "$verb" "$position" ;;
    lighting) _tavrikctl_lighting "$verb" "$position" ;;
    names) ((position == 0)) && _tavrikctl_words keys media fn effects ;;
    esac
}

complete -F _tavrikctl tavrikctl
