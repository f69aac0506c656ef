# Shared by scripts/run and scripts/test: installs what the build needs when it is missing, then configures and builds.
set -euo pipefail

ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
BUILD_DIR="${BUILD_DIR:-$ROOT/build}"

PACKAGES=(cmake g++ make ninja-build qt6-base-dev libqt6sql6-sqlite libqt6sql6-psql postgresql qt6-qpa-plugins libgl-dev poppler-utils qt6-translations-l10n libsodium-dev libpq-dev pkg-config
    qt6-httpserver-dev qt6-websockets-dev openssl libqrencode-dev
    zbar-tools)
# The browser test of the page served to a phone (tests/web): a headless Chromium driven by Selenium.
BROWSER_TEST_PACKAGES=(chromium chromium-driver python3-selenium)
# scripts/package: the library scan of the Debian package, the validators of its desktop entry and metainfo, and the
# drivers the package depends on (so the check can name them), the icon renderer for scripts/render-icons, and
# lintian, which the check runs on the package.
PACKAGE_TOOLS=(dpkg-dev desktop-file-utils appstream libqt6sql6-psql libsodium23 libqrencode4 librsvg2-bin lintian)

# Starts the throwaway PostgreSQL cluster that the tests on a server use (scripts/pg-cluster: a temporary folder, a
# Unix socket only) and stops and removes it however the script ends, a failed test included.
start_test_server() {
    local vars
    vars="$("$ROOT/scripts/pg-cluster" start)"
    eval "$vars"
    trap '"$ROOT/scripts/pg-cluster" stop "$T35_TEST_SERVER_DIR"' EXIT
    trap 'exit 130' INT TERM
}

install_missing() {
    local missing=()
    for p in "$@"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    echo "Installing: ${missing[*]}"
    local sudo=""
    [ "$(id -u)" -ne 0 ] && sudo="sudo"
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

configure_and_build() {
    # A compiler cache, when the machine has one, makes rebuilds after small changes quick. Paths are hashed relative
    # to the checkout, and the test programs' own folder names (Qt's QT_TESTCASE_* definitions, unused here) not at
    # all, so another clone of the same sources finds the cache too.
    local launcher=()
    if command -v ccache >/dev/null 2>&1; then
        launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
        export CCACHE_BASEDIR="$ROOT" CCACHE_NOHASHDIR=true
        export CCACHE_IGNOREOPTIONS="-DQT_TESTCASE_BUILDDIR=* -DQT_TESTCASE_SOURCEDIR=*"
        # The precompiled headers come in through -include, which the cache takes with these allowances.
        export CCACHE_SLOPPINESS="pch_defines,time_macros,include_file_mtime,include_file_ctime"
    fi
    # Ninja when the machine has it (the scripts install it), unless the folder was set up by another generator.
    local generator=()
    if command -v ninja >/dev/null 2>&1 && ! grep -qs '^CMAKE_GENERATOR:INTERNAL=Unix Makefiles' "$BUILD_DIR/CMakeCache.txt"; then
        generator=(-G Ninja)
    fi
    # The gold linker (part of binutils, which comes with g++) links the many test programs in about half the time.
    cmake -S "$ROOT" -B "$BUILD_DIR" "${generator[@]}" -DCMAKE_BUILD_TYPE=RelWithDebInfo "${launcher[@]}" \
        -DCMAKE_EXE_LINKER_FLAGS=-fuse-ld=gold "$@"
    cmake --build "$BUILD_DIR" -j"$(nproc)"
}
