# Debian packages the program and its tests need; sourced by scripts/run and scripts/test.
RUN_PACKAGES="cmake make g++ pkg-config qt6-base-dev qt6-translations-l10n libjpeg62-turbo-dev libbelcard-dev libzip-dev libidn2-dev libical-dev fonts-liberation2 fonts-dejavu-core"
TEST_PACKAGES="libgtest-dev dbus poppler-utils python3-vobject python3-icalendar cups printer-driver-cups-pdf desktop-file-utils dpkg-dev file lintian radicale apache2-utils openssl curl"

# Installs whatever of the given packages is missing: apt-get update once, then one install.
ensure_packages() {
    missing=""
    for package in "$@"; do
        dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" || missing="$missing $package"
    done
    if [ -n "$missing" ]; then
        echo "Installing:$missing"
        export DEBIAN_FRONTEND=noninteractive
        apt-get update
        # shellcheck disable=SC2086
        apt-get install -y $missing
    fi
}
