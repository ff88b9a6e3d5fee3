#!/bin/sh
# Checks of the installation with the system's own tools.
#   install_test.sh desktop DESKTOP_FILE
#   install_test.sh launcher SOURCE                   (the launcher and its script from the sources)
#   install_test.sh tree BUILD SOURCE FILE_TABLE      (cmake --install into a temporary prefix)
#   install_test.sh package BUILD SOURCE FILE_TABLE   (CPack's package, installed with dpkg --root,
#                                                     checked by lintian)
set -eu

failures=0
fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}
need() {
    command -v "$1" >/dev/null 2>&1 || {
        echo "FAIL: $1 is missing; install the Debian package $2" >&2
        exit 1
    }
}

WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT

# ---- desktop entry ----
check_desktop() {
    need desktop-file-validate desktop-file-utils
    report=$(desktop-file-validate "$1" 2>&1) || fail "desktop-file-validate: $report"
    [ -z "$report" ] || fail "desktop-file-validate reports: $report"
    while IFS='|' read -r key value; do
        actual=$(grep -m 1 "^$key=" "$1" | cut -d = -f 2-)
        [ "$actual" = "$value" ] || fail "$key is '$actual', expected '$value'"
    done <<EOF
Type|Application
Name|Wirtello — książka adresowa
Exec|wirtello
Icon|wirtello
Terminal|false
Categories|Office;ContactManagement;
EOF
}

# ---- the installed launcher, with a stand-in program that notes where it ran ----
listing() { (cd "$1" && find . -mindepth 1 -printf '%P\n' | LC_ALL=C sort | tr '\n' ' '); }

# run_launcher NAME EXPECTED_STATUS [ARGUMENT...]: runs the launcher with HOME=$WORK/NAME,
# and a message left in the environment that only a failure of its own may replace.
run_launcher() {
    name=$1
    expected=$2
    shift 2
    rm -f "$WORK/ran" "$WORK/ran.error"
    status=0
    WIRTELLO_TEST_RAN="$WORK/ran" WIRTELLO_LAUNCHER_ERROR=stale HOME="$WORK/$name" "$launcher" "$@" >"$WORK/out" 2>&1 ||
        status=$?
    [ "$status" = "$expected" ] || fail "$name: launcher ended with $status, expected $expected: $(cat "$WORK/out")"
}
ran_in() {
    [ "$(cat "$WORK/ran" 2>/dev/null)" = "$2" ] || fail "$1: the program did not start in $2"
    [ ! -e "$WORK/ran.error" ] || fail "$1: the program was told of an error: $(cat "$WORK/ran.error")"
}
# shown NAME MESSAGE: the program was started only to show MESSAGE in its error box.
shown() {
    [ -e "$WORK/ran" ] || fail "$1: the program was not started to show the error"
    [ "$(cat "$WORK/ran.error" 2>/dev/null)" = "$2" ] ||
        fail "$1: the error box shows '$(cat "$WORK/ran.error" 2>/dev/null)', expected '$2'"
}
expect_listing() {
    actual=$(listing "$2")
    [ "$actual" = "$3" ] || fail "$1: folder holds '$actual', expected '$3'"
}

check_launcher() {
    prefix=$1
    source=$2
    launcher="$prefix/bin/wirtello"
    program="$prefix/libexec/wirtello/wirtello"
    rm "$program"
    # Like the program, it ends with 1 after showing the launcher's message.
    cat >"$program" <<'STAND_IN'
#!/bin/sh
pwd >"$WIRTELLO_TEST_RAN"
if [ -n "${WIRTELLO_LAUNCHER_ERROR-}" ]; then
    printf '%s' "$WIRTELLO_LAUNCHER_ERROR" >"$WIRTELLO_TEST_RAN.error"
    exit 1
fi
STAND_IN
    chmod 755 "$program"
    fresh="Admini DOKUMENTY FONT FONT/font_zaplo_3906.dat Koperty LOGO LOGO/Chmury.jpg NOTATKI "

    # First run: ~/Wirtello laid out, the default picture copied, the program started there.
    mkdir "$WORK/first"
    run_launcher first 0
    ran_in first "$WORK/first/Wirtello"
    expect_listing first "$WORK/first/Wirtello" "$fresh"
    for file in LOGO/Chmury.jpg FONT/font_zaplo_3906.dat; do
        cmp -s "$WORK/first/Wirtello/$file" "$source/resources/folder/$file" ||
            fail "first: $file differs from resources/folder/$file"
    done

    # Next run: nothing changed, the user's own picture and print font kept.
    printf 'own' >"$WORK/first/Wirtello/LOGO/Chmury.jpg"
    printf 'own' >"$WORK/first/Wirtello/FONT/font_zaplo_3906.dat"
    run_launcher first 0
    expect_listing again "$WORK/first/Wirtello" "$fresh"
    [ "$(cat "$WORK/first/Wirtello/LOGO/Chmury.jpg")" = own ] || fail "again: an existing picture was replaced"
    [ "$(cat "$WORK/first/Wirtello/FONT/font_zaplo_3906.dat")" = own ] || fail "again: an existing print font was replaced"

    # A folder brought over from Windows, named on the command line through a link to
    # it, started through a link to the launcher: its spellings kept, only what is
    # missing added; its font folder without a print font stays so.
    mkdir -p "$WORK/windows/Dane/ADMINI" "$WORK/windows/Dane/Notatki" "$WORK/windows/Dane/logo" \
        "$WORK/windows/Dane/Font" "$WORK/windows/bin"
    printf 'old' >"$WORK/windows/Dane/logo/CHMURY.JPG"
    ln -s Dane "$WORK/windows/Stare"
    ln -s "$launcher" "$WORK/windows/bin/wirtello"
    launcher="$WORK/windows/bin/wirtello"
    run_launcher windows 0 "$WORK/windows/Stare"
    launcher="$prefix/bin/wirtello"
    ran_in windows "$WORK/windows/Stare"
    expect_listing windows "$WORK/windows/Stare" "ADMINI DOKUMENTY Font Koperty Notatki logo logo/CHMURY.JPG "
    [ "$(cat "$WORK/windows/Stare/logo/CHMURY.JPG")" = old ] || fail "windows: the folder's own picture was replaced"

    # A file where a subfolder belongs: nothing made, the program started only to
    # show the message, which also goes to standard error.
    mkdir -p "$WORK/blocked/Wirtello"
    printf 'x' >"$WORK/blocked/Wirtello/font"
    run_launcher blocked 1
    message="Wirtello: w miejscu folderu FONT jest plik: $WORK/blocked/Wirtello/font"
    shown blocked "$message"
    grep -qxF "$message" "$WORK/out" || fail "blocked: standard error does not say '$message'"
    expect_listing blocked "$WORK/blocked/Wirtello" "font "

    # A picture folder that is a link out of the program folder: nothing is
    # copied through it, and the program is started only to say why.
    mkdir -p "$WORK/linked/Wirtello" "$WORK/linked/elsewhere"
    ln -s ../elsewhere "$WORK/linked/Wirtello/LOGO"
    run_launcher linked 1
    shown linked "Wirtello: folder LOGO jest dowiązaniem, nie folderem w folderze programu; nie skopiowano do niego pliku Chmury.jpg: $WORK/linked/Wirtello/LOGO"
    [ -z "$(ls -A "$WORK/linked/elsewhere")" ] || fail "linked: files were written outside: $(ls -A "$WORK/linked/elsewhere")"
    # The same with a picture already there: nothing to copy, the program starts.
    printf 'own' >"$WORK/linked/elsewhere/Chmury.jpg"
    run_launcher linked 0
    ran_in linked "$WORK/linked/Wirtello"
    [ "$(cat "$WORK/linked/elsewhere/Chmury.jpg")" = own ] || fail "linked: the picture behind the link was replaced"

    # A folder whose name is shell code and escapes: the message carries it as text.
    odd="$WORK/odd/\$(touch $WORK/pwned) \`touch $WORK/pwned\` \\n %s"
    mkdir -p "$odd"
    printf 'x' >"$odd/Logo"
    run_launcher odd 1 "$odd"
    shown odd "Wirtello: w miejscu folderu LOGO jest plik: $odd/Logo"
    [ ! -e "$WORK/pwned" ] || fail "odd: the folder's name ran as shell code"
}

# ---- the launcher straight from the sources, laid out as it is installed ----
check_source_launcher() {
    source=$1
    prefix="$WORK/source"
    mkdir -p "$prefix/bin" "$prefix/libexec/wirtello" "$prefix/share/wirtello"
    sed -e 's|@LAUNCHER_TO_DATA@|../share/wirtello|' -e 's|@LAUNCHER_TO_PROGRAM@|../libexec/wirtello|' \
        "$source/packaging/wirtello.in" >"$prefix/bin/wirtello"
    chmod 755 "$prefix/bin/wirtello"
    cp "$source/packaging/program_folder.sh" "$prefix/share/wirtello/"
    cp -R "$source/resources/folder" "$prefix/share/wirtello/"
    : >"$prefix/libexec/wirtello/wirtello"
    check_launcher "$prefix" "$source"
    # Defaults named relative to where the caller stands are still found.
    (cd "$source" && . packaging/program_folder.sh && wirtello_lay_out "$WORK/relative" resources/folder) ||
        fail "relative defaults: the folder was not laid out"
    for file in LOGO/Chmury.jpg FONT/font_zaplo_3906.dat; do
        cmp -s "$WORK/relative/$file" "$source/resources/folder/$file" || fail "relative defaults: $file not copied"
    done
}

# compare_files FILE_TABLE PREFIX WHAT: "MODE PATH" lines of the table, each path
# after PREFIX, against $WORK/actual.
compare_files() {
    grep -v '^#' "$1" | sed "s|^\([^ ]*\) |\1 $2|" | LC_ALL=C sort >"$WORK/expected"
    diff "$WORK/expected" "$WORK/actual" >"$WORK/difference" || fail "$3 files differ from the table: $(cat "$WORK/difference")"
}

check_tree() {
    build=$1
    source=$2
    table=$3
    cmake --install "$build" --prefix "$WORK/usr" >"$WORK/install.log" 2>&1 || {
        cat "$WORK/install.log" >&2
        fail "cmake --install failed"
        return
    }
    (cd "$WORK/usr" && find . ! -type d -printf '%M %P\n' | LC_ALL=C sort) >"$WORK/actual"
    compare_files "$table" "" installed
    check_launcher "$WORK/usr" "$source"
}

check_package() {
    build=$1
    source=$2
    table=$3
    need dpkg-deb dpkg
    need dpkg-shlibdeps dpkg-dev
    need file file
    cpack --config "$build/CPackConfig.cmake" -B "$WORK/package" >"$WORK/cpack.log" 2>&1 || {
        cat "$WORK/cpack.log" >&2
        fail "cpack failed"
        return
    }
    deb=$(ls "$WORK"/package/*.deb)
    version=$(sed -n 's/^set(CPACK_PACKAGE_VERSION "\(.*\)")$/\1/p' "$build/CPackConfig.cmake")

    # Control data.
    while IFS='|' read -r field value; do
        actual=$(dpkg-deb -f "$deb" "$field")
        [ "$actual" = "$value" ] || fail "control field $field is '$actual', expected '$value'"
    done <<EOF
Package|wirtello
Version|$version
Architecture|$(dpkg --print-architecture)
Section|misc
EOF
    [ -n "$(dpkg-deb -f "$deb" Maintainer)" ] || fail "no Maintainer"
    depends=$(dpkg-deb -f "$deb" Depends)
    names=$(echo "$depends" | tr ',|' '\n\n' | sed 's/(.*)//; s/:any//; s/ //g' | grep -v '^$' | LC_ALL=C sort -u)
    for name in libqt6core6 libqt6gui6 libqt6widgets6 libqt6printsupport6 libqt6network6 libjpeg62-turbo \
        libzip4 libbelcard1 libstdc++6 libc6 fonts-liberation2 fonts-dejavu-core qt6-translations-l10n; do
        echo "$names" | grep -qx "$name" || fail "Depends lacks $name: $depends"
    done
    for name in $names; do
        case $name in
        *-dev) fail "Depends names a development package: $name" ;;
        esac
        dpkg-query -W "$name" >/dev/null 2>&1 || fail "Depends names $name, which is no package of this system"
    done

    # File list, owned by root.
    dpkg-deb -c "$deb" >"$WORK/contents"
    awk '$1 !~ /^d/ { sub(/^\.\//, "", $6); print $1, $6 }' "$WORK/contents" | LC_ALL=C sort >"$WORK/actual"
    compare_files "$table" usr/ packaged
    awk '$2 != "root/root" { print }' "$WORK/contents" | grep -q . && fail "files not owned by root: $(awk '$2 != "root/root"' "$WORK/contents")"

    # Installed into a fresh root by dpkg (its dependencies are not there: forced).
    root="$WORK/root"
    mkdir -p "$root/var/lib/dpkg/info" "$root/var/lib/dpkg/updates" "$root/var/log"
    : >"$root/var/lib/dpkg/status"
    dpkg --root="$root" --force-depends --force-not-root -i "$deb" >"$WORK/dpkg.log" 2>&1 || {
        cat "$WORK/dpkg.log" >&2
        fail "dpkg --root could not install the package"
        return
    }
    dpkg --root="$root" -s wirtello | grep -qx "Status: install ok installed" || fail "dpkg does not list the package as installed"
    check_launcher "$root/usr" "$source"

    # Debian's package checker: no error and no warning.
    if ! command -v lintian >/dev/null 2>&1; then
        echo "SKIP: lintian is missing (Debian package lintian); the package was not checked by it" >&2
        return
    fi
    status=0
    lintian --fail-on error,warning "$deb" >"$WORK/lintian.log" 2>&1 || status=$?
    if [ "$status" != 0 ] || grep -qE '^(E|W): ' "$WORK/lintian.log"; then
        fail "lintian reports errors or warnings, or could not check the package: $(cat "$WORK/lintian.log")"
    fi
}

case $1 in
desktop) check_desktop "$2" ;;
launcher) check_source_launcher "$2" ;;
tree) check_tree "$2" "$3" "$4" ;;
package) check_package "$2" "$3" "$4" ;;
*)
    echo "usage: install_test.sh desktop|launcher|tree|package ..." >&2
    exit 2
    ;;
esac
[ "$failures" = 0 ] || {
    echo "$failures check(s) failed" >&2
    exit 1
}
echo "all checks passed"
