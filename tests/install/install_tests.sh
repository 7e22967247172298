#!/usr/bin/env bash
# Install and package checks, one case a call:
#   install_tests.sh installed_files|installed_program_runs|desktop_files_validate|deb_package
# Environment: BUILD_DIR (a built tree), CMAKE and CPACK (the tools), VERSION
# (the project's version). Exits 0 when the case holds, 77 when a tool it needs
# is missing, 1 otherwise.
set -uo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

fail() {
    echo "FAIL: $*"
    exit 1
}

need() { # command, Debian package
    command -v "$1" >/dev/null || {
        echo "SKIP: $1 is not installed (Debian package $2)"
        exit 77
    }
}

install_into() { # root folder, prefix
    DESTDIR=$1 "$CMAKE" --install "$BUILD_DIR" --prefix "$2" >"$work/install.log" 2>&1 ||
        fail "cmake --install failed: $(cat "$work/install.log")"
}

# The files the install rules must put under a prefix ("usr/local"), sorted.
expected_files() {
    sed "s|^|$1/|" "$here/expected_files.txt" | LC_ALL=C sort
}

installed_files_under() {
    (cd "$1" && find . -type f -printf '%P\n' | LC_ALL=C sort)
}

png_size() { # file -> "W H", read from the IHDR chunk
    local header
    header=$(od -An -tx1 -N24 "$1" | tr -d ' \n')
    [[ ${header:0:16} == 89504e470d0a1a0a ]] || return 1
    echo "$((16#${header:32:8})) $((16#${header:40:8}))"
}

desktop_key() { # file, key
    sed -n "s/^$2=//p" "$1"
}

check_program_is_relocated() { # binary
    if readelf -d "$1" | grep -Eq '\((RPATH|RUNPATH)\)'; then
        fail "$1 still carries a library search path: $(readelf -d "$1" | grep -E 'R(UN)?PATH')"
    fi
}

case_installed_files() {
    local root=$work/root share
    install_into "$root" /usr/local
    diff <(expected_files usr/local) <(installed_files_under "$root") ||
        fail "the installed files differ from tests/install/expected_files.txt (< expected, > installed)"
    share=$root/usr/local/share
    for size in 16 32 48 128; do
        [[ $(png_size "$share/icons/hicolor/${size}x$size/apps/linomark.png") == "$size $size" ]] ||
            fail "the ${size}x$size icon is not a $size x $size PNG"
    done
    grep -q '<svg' "$share/icons/hicolor/scalable/apps/linomark.svg" || fail "the scalable icon is not SVG"
    check_program_is_relocated "$root/usr/local/bin/linomark"

    local entry=$share/applications/linomark.desktop metainfo=$share/metainfo/linomark.metainfo.xml
    [[ $(desktop_key "$entry" Exec) == linomark ]] || fail "Exec must start linomark with no arguments"
    [[ -f $share/icons/hicolor/48x48/apps/$(desktop_key "$entry" Icon).png ]] ||
        fail "the entry's Icon names no installed icon"
    grep -q '<launchable type="desktop-id">linomark.desktop</launchable>' "$metainfo" ||
        fail "the metainfo does not launch linomark.desktop"
    grep -q "<release version=\"$VERSION\"" "$metainfo" || fail "the metainfo has no release $VERSION"
    echo "PASS: $(wc -l <"$here/expected_files.txt") files installed as expected"
}

# Waits until the program has installed its SIGTERM handler (bit 15 of SigCgt).
wait_for_term_handler() { # pid
    local mask
    for _ in $(seq 100); do
        mask=$(sed -n 's/^SigCgt:\s*//p' "/proc/$1/status" 2>/dev/null) || return 1
        [[ -n $mask ]] || return 1
        (((16#$mask >> 14) & 1)) && return 0
        sleep 0.1
    done
    return 1
}

case_installed_program_runs() {
    local root=$work/root home=$work/home
    install_into "$root" /usr/local
    mkdir -p "$home/.config" "$work/runtime"
    chmod 700 "$work/runtime"
    local store="$home/.config/Linomark 1.0.ini"
    printf '[INI]\nType=1\nColumn1=Q0100\nColumn2=R0200\nColumn3=S0300\n' >"$store"
    touch -d '2000-01-01' "$store"

    # Only what a desktop session gives: no build-tree library path.
    env -i PATH=/usr/bin:/bin HOME="$home" XDG_CONFIG_HOME="$home/.config" \
        XDG_RUNTIME_DIR="$work/runtime" QT_QPA_PLATFORM=offscreen \
        "$root/usr/local/bin/linomark" >"$work/program.log" 2>&1 &
    local pid=$!
    wait_for_term_handler "$pid" || fail "the installed program did not come up: $(cat "$work/program.log")"
    kill -TERM "$pid"
    wait "$pid"
    local status=$?
    [[ $status -eq 0 ]] || fail "the installed program exited with $status: $(cat "$work/program.log")"
    [[ $(find "$store" -newermt '2001-01-01') ]] || fail "closing did not write the settings"
    for line in Type=1 Column1=Q0100 Column2=R0200 Column3=S0300; do
        grep -qx "$line" "$store" || fail "$line read at start was not written back at close: $(cat "$store")"
    done
    echo "PASS: the installed program started offscreen, kept Q0100/R0200/S0300 and closed with 0"
}

case_desktop_files_validate() {
    need desktop-file-validate desktop-file-utils
    need appstreamcli appstream
    local root=$work/root share
    install_into "$root" /usr/local
    share=$root/usr/local/share
    # Hints (more than one main category, as the entry asks for) are advice;
    # errors and warnings fail.
    desktop-file-validate "$share/applications/linomark.desktop" >"$work/desktop.log" 2>&1
    local status=$?
    cat "$work/desktop.log"
    if [[ $status -ne 0 ]] || grep -Eq ': (error|warning):' "$work/desktop.log"; then
        fail "desktop-file-validate rejects linomark.desktop"
    fi
    appstreamcli validate --no-net "$share/metainfo/linomark.metainfo.xml" ||
        fail "appstreamcli rejects linomark.metainfo.xml"
    echo "PASS: both validators accept the installed files"
}

case_deb_package() {
    need dpkg-deb dpkg
    need dpkg-shlibdeps dpkg-dev
    need file file
    (cd "$BUILD_DIR" && "$CPACK" -G DEB -B "$work/package" >"$work/cpack.log" 2>&1) ||
        fail "cpack failed: $(cat "$work/cpack.log")"
    local deb
    deb=$work/package/linomark_${VERSION}_$(dpkg --print-architecture).deb
    [[ -f $deb ]] || fail "no $(basename "$deb"): $(ls "$work/package")"
    dpkg-deb --info "$deb"

    [[ $(dpkg-deb --field "$deb" Package) == linomark ]] || fail "wrong package name"
    [[ $(dpkg-deb --field "$deb" Version) == "$VERSION" ]] || fail "wrong version"
    local depends
    depends=$(dpkg-deb --field "$deb" Depends | tr -d ' ' | tr ',' '\n' | sed 's/(.*//')
    # The libraries come from dpkg-shlibdeps reading the binary; the fonts are named by hand.
    for package in fonts-liberation libqt6widgets6 libqt6gui6 libqt6core6 \
        libcups2 libc6 libstdc++6; do
        grep -qx "$package" <<<"$depends" || fail "Depends lacks $package"
    done

    dpkg-deb --contents "$deb"
    diff <(expected_files usr) <(dpkg-deb --contents "$deb" | awk '$1 !~ /^d/ {sub(/^\.\//, "", $6); print $6}' |
        LC_ALL=C sort) || fail "the package's files differ from tests/install/expected_files.txt"

    dpkg-deb -x "$deb" "$work/unpacked"
    local program=$work/unpacked/usr/bin/linomark
    check_program_is_relocated "$program"
    if readelf -S "$program" | grep -q '\.debug_info'; then fail "the packaged program is not stripped"; fi
    echo "PASS: $(basename "$deb") holds the expected files and dependencies"
}

case "${1:-}" in
installed_files | installed_program_runs | desktop_files_validate | deb_package) "case_$1" ;;
*) fail "unknown case '${1:-}'" ;;
esac
