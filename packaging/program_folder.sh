# Lays out a Wirtello program folder and starts the program in it. Sourced by
# the installed launcher and by scripts/run, so that both lay out the same folder.
# Callers may run these in a condition, where "set -e" does not hold: every
# step checks its own failure.

# The subfolders the program expects in its folder.
WIRTELLO_SUBFOLDERS="Admini NOTATKI DOKUMENTY FONT Koperty LOGO"

# Prints the entry of FOLDER named NAME in any letter case, or nothing. FOLDER
# itself may be a link to the real folder.
wirtello_existing() {
    find -H "$1" -mindepth 1 -maxdepth 1 -iname "$2" | head -n 1
}

# wirtello_fail MESSAGE: says why the folder could not be laid out on standard
# error and keeps the message for the program's error box.
wirtello_fail() {
    wirtello_error=$1
    printf '%s\n' "$1" >&2
}

# wirtello_lay_out FOLDER DEFAULTS
# Creates FOLDER and each subfolder of which no folder of that name exists in
# any letter case (a folder brought over from Windows keeps its spelling), and
# copies the default contact picture from DEFAULTS/LOGO unless one is there. A
# FONT folder made here gets the default print font from DEFAULTS/FONT; one
# that was already there is left as it is, with or without its font file.
# Never changes a file that is already there, and never copies into a
# subfolder that is a link (see wirtello_copy).
wirtello_lay_out() {
    folder=$1
    defaults=$2
    if ! mkdir -p "$folder" 2>/dev/null || [ ! -d "$folder" ] || [ ! -w "$folder" ]; then
        wirtello_fail "Wirtello: nie można utworzyć folderu programu ani w nim pisać: $folder"
        return 1
    fi
    # Everything in the way is found before anything is made: nothing half laid out.
    for name in $WIRTELLO_SUBFOLDERS; do
        existing=$(wirtello_existing "$folder" "$name")
        if [ -n "$existing" ] && [ ! -d "$existing" ]; then
            wirtello_fail "Wirtello: w miejscu folderu $name jest plik: $existing"
            return 1
        fi
    done
    for name in $WIRTELLO_SUBFOLDERS; do
        if [ -z "$(wirtello_existing "$folder" "$name")" ]; then
            mkdir "$folder/$name" 2>/dev/null || {
                wirtello_fail "Wirtello: nie można utworzyć folderu: $folder/$name"
                return 1
            }
            if [ "$name" = FONT ]; then
                wirtello_copy "$defaults/FONT/font_zaplo_3906.dat" "$folder" FONT font_zaplo_3906.dat || return 1
            fi
        fi
    done
    logo=$(wirtello_existing "$folder" LOGO)
    if [ -z "$(wirtello_existing "$logo" Chmury.jpg)" ]; then
        wirtello_copy "$defaults/LOGO/Chmury.jpg" "$folder" "${logo##*/}" Chmury.jpg || return 1
    fi
}

# wirtello_copy SOURCE FOLDER SUBFOLDER NAME: copies a default file as NAME
# into SUBFOLDER of the program folder FOLDER, never anywhere else. A shell
# cannot open a folder and write beneath it, but it can stand in one: the copy
# runs in a subshell that enters the subfolder, checks that the folder it now
# stands in is that subfolder of the program folder itself (so a link in its
# place, or one swapped in after this check, leads nowhere), and writes the
# file there. cp makes a new file exclusively and never writes through a link
# found under the name; POSIXLY_CORRECT would let it.
wirtello_copy() {
    wirtello_copied=0
    (
        unset POSIXLY_CORRECT
        # The source is named from where the caller stands, not from the subfolder.
        case $1 in /*) source=$1 ;; *) source=$(pwd)/$1 ;; esac
        real=$(cd -P -- "$2" 2>/dev/null && pwd -P) || exit 1
        cd -P -- "$2/$3" 2>/dev/null || exit 1
        [ "$(pwd -P)" = "$real/$3" ] || exit 3
        cp -- "$source" "./$4" 2>/dev/null
    ) || wirtello_copied=$?
    case $wirtello_copied in
    0) return 0 ;;
    3) wirtello_fail "Wirtello: folder $3 jest dowiązaniem, nie folderem w folderze programu; nie skopiowano do niego pliku $4: $2/$3" ;;
    *) wirtello_fail "Wirtello: nie można skopiować pliku $1 do: $2/$3/$4" ;;
    esac
    return 1
}

# wirtello_start PROGRAM DEFAULTS [FOLDER]
# Lays out FOLDER (default ~/Wirtello), makes it the current folder, which is
# the program folder of the run, and replaces the shell with PROGRAM. When the
# folder cannot be laid out, PROGRAM is started only to show the message in
# its error box (started from the desktop menu, standard error is seen by no
# one); the message reaches it in the environment, never as shell code.
wirtello_start() {
    program=$1
    defaults=$2
    shift 2
    if [ $# -gt 1 ]; then
        echo "Użycie: wirtello [FOLDER]   (domyślnie ~/Wirtello)" >&2
        return 2
    fi
    wirtello_error=""
    if [ $# -eq 1 ]; then
        folder=$1
    elif [ -n "${HOME:-}" ]; then
        folder=$HOME/Wirtello
    else
        folder=""
        wirtello_fail "Wirtello: nie ustawiono folderu domowego (HOME); podaj folder programu."
    fi
    if [ -n "$folder" ] && wirtello_lay_out "$folder" "$defaults"; then
        if cd "$folder" 2>/dev/null; then
            # Only this launcher's own failure may put the program in its error mode.
            unset WIRTELLO_LAUNCHER_ERROR
            exec "$program"
        fi
        wirtello_fail "Wirtello: nie można wejść do folderu programu: $folder"
    fi
    WIRTELLO_LAUNCHER_ERROR=${wirtello_error:-"Wirtello: nie można przygotować folderu programu: $folder"}
    export WIRTELLO_LAUNCHER_ERROR
    exec "$program"
}
