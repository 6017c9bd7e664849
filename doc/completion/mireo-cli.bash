# Bash completion for mireo-cli: its commands, the options of each, and
# the values of the options that take a fixed set.
_mireo_cli() {
    local cur prev command
    cur="${COMP_WORDS[COMP_CWORD]}"
    prev="${COMP_WORDS[COMP_CWORD-1]}"
    command="${COMP_WORDS[1]}"

    if [ "$COMP_CWORD" -eq 1 ]; then
        COMPREPLY=($(compgen -W "convert open info --help --version" -- "$cur"))
        return
    fi
    case "$command" in
    convert)
        case "$prev" in
        -s|--size)
            COMPREPLY=($(compgen -W "160x160 240x320 320x320 320x450 320x480 480x320 480x480 keep" -- "$cur")); return ;;
        -f|--fit) COMPREPLY=($(compgen -W "crop pad stretch" -- "$cur")); return ;;
        -b|--depth) COMPREPLY=($(compgen -W "16 8 4" -- "$cur")); return ;;
        -m|--method) COMPREPLY=($(compgen -W "diffused nearest" -- "$cur")); return ;;
        -j|--jobs) COMPREPLY=($(compgen -W "$(seq 1 "$(nproc 2>/dev/null || echo 1)")" -- "$cur")); return ;;
        --block1|--block2) COMPREPLY=($(compgen -W "51200 30720 5120" -- "$cur")); return ;;
        --border|-n|--name) return ;;
        -d|--dir) COMPREPLY=($(compgen -d -- "$cur")); return ;;
        -o|--output) COMPREPLY=($(compgen -f -X '!*.pdb' -- "$cur") $(compgen -d -- "$cur")); return ;;
        --preview) COMPREPLY=($(compgen -f -X '!*.png' -- "$cur") $(compgen -d -- "$cur")); return ;;
        esac
        if [[ "$cur" == -* ]]; then
            COMPREPLY=($(compgen -W "-o --output -d --dir -s --size -f --fit --border -b --depth -m --method
                -c --compress --block1 --block2 -n --name --preview -j --jobs" -- "$cur"))
        else
            COMPREPLY=($(compgen -f -X '!*.@(jpg|jpeg|JPG|JPEG|png|PNG|bmp|BMP|gif|GIF)' -- "$cur") $(compgen -d -- "$cur"))
        fi
        ;;
    open)
        if [ "$COMP_CWORD" -eq 2 ]; then COMPREPLY=($(compgen -f -X '!*.pdb' -- "$cur") $(compgen -d -- "$cur"))
        else COMPREPLY=($(compgen -f -X '!*.@(bmp|png)' -- "$cur") $(compgen -d -- "$cur")); fi
        ;;
    info)
        if [[ "$cur" == -* ]]; then COMPREPLY=($(compgen -W "--json" -- "$cur"))
        else COMPREPLY=($(compgen -f -X '!*.pdb' -- "$cur") $(compgen -d -- "$cur")); fi
        ;;
    esac
}
complete -o filenames -F _mireo_cli mireo-cli
