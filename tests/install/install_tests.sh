#!/usr/bin/env bash
# Install and package checks, one case a call:
#   install_tests.sh installed_files|installed_program_runs|wayland_window|desktop_files_validate|deb_package
# Environment: BUILD_DIR (a built tree), CMAKE and CPACK (the tools), VERSION
# (the project's version). Exits 0 when the case holds, 77 when a tool it needs
# is missing, 1 otherwise.
set -uo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
work=$(mktemp -d)
compositor=
trap '[[ -z $compositor ]] || kill "$compositor"; rm -rf "$work"' EXIT

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

desktop_key() { # file, key: of the main entry, not of its actions
    sed -n "/^\[Desktop Entry\]/,/^\[/ s/^$2=//p" "$1"
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

    local manual=$share/man/man1/linomark.1.gz completion=$share/bash-completion/completions/linomark
    local complaints
    complaints=$(MANWIDTH=80 man --warnings -l "$manual" 2>&1 >/dev/null)
    [[ -z $complaints ]] || fail "man finds faults in the manual page: $complaints"
    zgrep -q "\"Linomark $VERSION\"" "$manual" || fail "the manual page is not of version $VERSION"
    bash -n "$completion" || fail "the bash completion does not parse"
    [[ $(bash -c 'source "$1"; COMP_WORDS=(linomark --sheet ""); COMP_CWORD=2; _linomark; echo "${COMPREPLY[*]}"' \
        _ "$completion") == "a4-2x15 a4-3x17 letter-2x15 roll-79x17" ]] || fail "the completion does not offer the sheet ids"
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

# A Wayland session without X: a headless compositor of the test's own, and
# the installed program with nothing but WAYLAND_DISPLAY to find it by.
case_wayland_window() {
    need weston weston
    local root=$work/root runtime=$work/runtime socket=linomark-test
    install_into "$root" /usr/local
    mkdir -p "$work/home" "$runtime"
    chmod 700 "$runtime"
    XDG_RUNTIME_DIR=$runtime weston --backend=headless-backend.so --socket=$socket --idle-time=0 \
        >"$work/weston.log" 2>&1 &
    compositor=$!
    for _ in $(seq 100); do
        [[ -S $runtime/$socket ]] && break
        sleep 0.1
    done
    [[ -S $runtime/$socket ]] || fail "weston did not start: $(cat "$work/weston.log")"

    env -i PATH=/usr/bin:/bin HOME="$work/home" XDG_RUNTIME_DIR="$runtime" WAYLAND_DISPLAY=$socket \
        "$root/usr/local/bin/linomark" >"$work/program.log" 2>&1 &
    local pid=$!
    wait_for_term_handler "$pid" || fail "the window did not come up on Wayland: $(cat "$work/program.log")"
    sleep 2
    kill -0 "$pid" 2>/dev/null || fail "the window did not stay up 2 s: $(cat "$work/program.log")"
    kill -TERM "$pid"
    wait "$pid"
    local status=$?
    [[ $status -eq 0 ]] || fail "the window on Wayland exited with $status: $(cat "$work/program.log")"
    echo "PASS: the installed program ran 2 s on a Wayland compositor alone and closed with 0"
}

case_desktop_files_validate() {
    need desktop-file-validate desktop-file-utils
    need appstreamcli appstream
    local root=$work/root share
    install_into "$root" /usr/local
    share=$root/usr/local/share
    # Even a hint fails: a second main category lists the program twice.
    desktop-file-validate "$share/applications/linomark.desktop" >"$work/desktop.log" 2>&1
    local status=$?
    cat "$work/desktop.log"
    if [[ $status -ne 0 || -s $work/desktop.log ]]; then
        fail "desktop-file-validate has remarks on linomark.desktop"
    fi
    appstreamcli validate --no-net "$share/metainfo/linomark.metainfo.xml" ||
        fail "appstreamcli rejects linomark.metainfo.xml"
    echo "PASS: both validators accept the installed files"
}

case_deb_package() {
    need dpkg-deb dpkg
    need dpkg-shlibdeps dpkg-dev
    need file file
    need lintian lintian
    (cd "$BUILD_DIR" && "$CPACK" -G DEB -B "$work/package" >"$work/cpack.log" 2>&1) ||
        fail "cpack failed: $(cat "$work/cpack.log")"
    local deb
    deb=$work/package/linomark_${VERSION}-1_$(dpkg --print-architecture).deb
    [[ -f $deb ]] || fail "no $(basename "$deb"): $(ls "$work/package")"
    dpkg-deb --info "$deb"

    [[ $(dpkg-deb --field "$deb" Package) == linomark ]] || fail "wrong package name"
    [[ $(dpkg-deb --field "$deb" Version) == "$VERSION-1" ]] || fail "wrong version"
    local depends
    depends=$(dpkg-deb --field "$deb" Depends | tr -d ' ' | tr ',' '\n' | sed 's/(.*//')
    # The libraries come from dpkg-shlibdeps reading the binary; the fonts and the
    # Wayland platform plugin are named by hand.
    for package in fonts-liberation qt6-wayland libqt6widgets6 libqt6gui6 libqt6core6 \
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
    # Warnings are listed, with their reasons, in README.md; an error fails.
    lintian --fail-on error "$deb" || fail "lintian reports errors"
    echo "PASS: $(basename "$deb") holds the expected files and dependencies"
}

case "${1:-}" in
installed_files | installed_program_runs | wayland_window | desktop_files_validate | deb_package) "case_$1" ;;
*) fail "unknown case '${1:-}'" ;;
esac
