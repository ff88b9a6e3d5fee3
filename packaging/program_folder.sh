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

# wirtello_lay_out FOLDER PICTURES
# Creates FOLDER and each subfolder of which no folder of that name exists in
# any letter case (a folder brought over from Windows keeps its spelling), and
# copies the default contact picture from PICTURES/LOGO unless one is there.
# Never changes a file that is already there.
wirtello_lay_out() {
    folder=$1
    pictures=$2
    if ! mkdir -p "$folder" 2>/dev/null || [ ! -d "$folder" ] || [ ! -w "$folder" ]; then
        echo "Wirtello: nie można utworzyć folderu programu ani w nim pisać: $folder" >&2
        return 1
    fi
    # Everything in the way is found before anything is made: nothing half laid out.
    for name in $WIRTELLO_SUBFOLDERS; do
        existing=$(wirtello_existing "$folder" "$name")
        if [ -n "$existing" ] && [ ! -d "$existing" ]; then
            echo "Wirtello: w miejscu folderu $name jest plik: $existing" >&2
            return 1
        fi
    done
    for name in $WIRTELLO_SUBFOLDERS; do
        if [ -z "$(wirtello_existing "$folder" "$name")" ]; then
            mkdir "$folder/$name" || return 1
        fi
    done
    logo=$(wirtello_existing "$folder" LOGO)
    if [ -z "$(wirtello_existing "$logo" Chmury.jpg)" ]; then
        cp "$pictures/LOGO/Chmury.jpg" "$logo/Chmury.jpg" || return 1
    fi
}

# wirtello_start PROGRAM PICTURES [FOLDER]
# Lays out FOLDER (default ~/Wirtello), makes it the current folder, which is
# the program folder of the run, and replaces the shell with PROGRAM.
wirtello_start() {
    program=$1
    pictures=$2
    shift 2
    if [ $# -gt 1 ]; then
        echo "Użycie: wirtello [FOLDER]   (domyślnie ~/Wirtello)" >&2
        return 2
    fi
    if [ $# -eq 1 ]; then
        folder=$1
    elif [ -n "${HOME:-}" ]; then
        folder=$HOME/Wirtello
    else
        echo "Wirtello: nie ustawiono folderu domowego (HOME); podaj folder programu." >&2
        return 2
    fi
    wirtello_lay_out "$folder" "$pictures" || return 1
    cd "$folder" || return 1
    exec "$program"
}
