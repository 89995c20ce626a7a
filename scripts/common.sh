# Shared by the run and test scripts: package installation and the build.
# shellcheck shell=bash

BUILD_PACKAGES=(cmake g++ make pkg-config qt6-base-dev qt6-svg-dev qt6-translations-l10n
                libgtest-dev googletest fonts-ipafont-gothic)
# kesrow.exe, cross-built, its installer (wixl, and msibuild for its Japanese names),
# and Wine with a Japanese locale to test them.
WINDOWS_PACKAGES=(g++-mingw-w64-x86-64-posix wixl msitools wine wine64 locales)

as_root() {
    if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

# Prints the Debian packages of the list that are not installed yet.
missing_packages() {
    local pkg
    for pkg in "$@"; do
        dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q 'install ok installed' || echo "$pkg"
    done
}

# Installs the Debian packages that are missing; does nothing when all are there.
install_packages() {
    local missing
    mapfile -t missing < <(missing_packages "$@")
    [ ${#missing[@]} -eq 0 ] && return 0
    echo "Installing: ${missing[*]}"
    as_root apt-get update -qq
    DEBIAN_FRONTEND=noninteractive as_root apt-get install -y -qq "${missing[@]}"
}

# build_project <folder> [<cmake option>...]: configures and builds into the
# folder beside the sources; the output goes to <folder>/build.log and is
# shown on failure.
build_project() {
    local dir=$1
    shift
    mkdir -p "$dir"
    if ! { cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" &&
           cmake --build "$dir" -j"$(nproc)"; } >"$dir/build.log" 2>&1; then
        tail -n 40 "$dir/build.log"
        echo "Build failed; the whole output is in $dir/build.log." >&2
        return 1
    fi
}
