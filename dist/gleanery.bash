# Bash completion for gleanery: its long options, as its own --help lists
# them, and files for the rest.
_gleanery() {
    local cur=${COMP_WORDS[COMP_CWORD]} prev=${COMP_WORDS[COMP_CWORD-1]}
    case $prev in
        --begin|--resume) COMPREPLY=($(compgen -f -X '!*.glf' -- "$cur") $(compgen -d -- "$cur")); return ;;
        --output) COMPREPLY=($(compgen -d -- "$cur")); return ;;
        --scope) COMPREPLY=($(compgen -W 'server domain any' -- "$cur")); return ;;
    esac
    if [[ $cur == -* ]]; then
        local options
        options=$("${COMP_WORDS[0]}" --help 2>/dev/null | grep -oE -- '--[a-z][a-z-]*' | sort -u)
        COMPREPLY=($(compgen -W "$options" -- "$cur"))
    elif [[ $COMP_CWORD -eq 1 ]]; then
        COMPREPLY=($(compgen -W 'grab' -- "$cur") $(compgen -f -- "$cur"))
    else
        COMPREPLY=($(compgen -f -- "$cur"))
    fi
}
complete -F _gleanery gleanery
