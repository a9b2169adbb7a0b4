# Sourced by the benchmark scripts: `need PACKAGE...` installs the Debian packages that are missing
# (with sudo when not root).
need() {
    local missing="" sudo=""
    [ "$(id -u)" -eq 0 ] || sudo=sudo
    for package in "$@"; do
        dpkg-query -W -f='${Status}\n' "$package" 2>/dev/null | grep -q 'install ok installed' ||
            missing="$missing $package"
    done
    if [ -n "$missing" ]; then
        echo "Installing:$missing"
        $sudo apt-get update -qq
        # shellcheck disable=SC2086 # one word per package
        DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq $missing
    fi
}
