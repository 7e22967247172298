#!/usr/bin/env bash
# Checks the Debian package on a clean Debian 12 system: builds the .deb, makes
# a minimal Debian 12 folder tree with debootstrap, installs the package into it
# with apt-get (which fetches every dependency), then
# starts the program the way the menu entry does, under Xvfb, from the
# installed path, and closes it.
#
# Needs root (chroot and mount) and a Debian mirror (DEBIAN_MIRROR, by default
# deb.debian.org); takes two to three minutes. For both reasons it is not part
# of scripts/test.sh, which checks the package's contents and dependencies.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
[[ $(id -u) -eq 0 ]] || {
    echo "check-clean-install.sh: run it as root; it uses chroot and mount" >&2
    exit 1
}
mirror=${DEBIAN_MIRROR:-http://deb.debian.org/debian}

scripts/install-deps.sh clean-install
# The package is made from a release build without tests, as for users.
cmake -S . -B build-package -DCMAKE_BUILD_TYPE=Release -DLINOMARK_TESTS=OFF -DLINOMARK_BENCH=OFF >/dev/null
cmake --build build-package -j"$(nproc)"

work=$(mktemp -d /var/tmp/linomark-clean-install.XXXXXX)
tree=$work/bookworm
xvfb_pid=
cleanup() {
    [[ -n $xvfb_pid ]] && kill "$xvfb_pid" 2>/dev/null
    for mount in "$tree/tmp/.X11-unix" "$tree/proc"; do
        mountpoint -q "$mount" && umount "$mount"
    done
    rm -rf "$work"
}
trap cleanup EXIT

step() { echo "== $*"; }

step "Package"
(cd build-package && cpack -G DEB -B "$work/package" >/dev/null)
deb=$(ls "$work"/package/linomark_*.deb)
echo "$deb"

step "A minimal Debian 12 tree"
debootstrap --variant=minbase bookworm "$tree" "$mirror" >"$work/debootstrap.log" 2>&1 ||
    { tail -20 "$work/debootstrap.log"; exit 1; }
# Nothing the package pulls in may start a service on this machine.
printf '#!/bin/sh\nexit 101\n' >"$tree/usr/sbin/policy-rc.d"
chmod +x "$tree/usr/sbin/policy-rc.d"
mount -t proc proc "$tree/proc"
mkdir -p "$tree/tmp/.X11-unix"
mount --bind /tmp/.X11-unix "$tree/tmp/.X11-unix"
cp "$deb" "$tree/tmp/"

# Without the recommended packages, so that the declared dependencies alone
# must be enough to run it.
step "apt-get install --no-install-recommends ./$(basename "$deb")"
in_tree() { chroot "$tree" env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin HOME=/root "$@"; }
in_tree apt-get update -qq
in_tree sh -c "cd /tmp && DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends ./$(basename "$deb")" \
    >"$work/apt.log" 2>&1 || { tail -30 "$work/apt.log"; exit 1; }
grep -c '^Setting up' "$work/apt.log" | sed 's/$/ packages set up/'
in_tree dpkg-query -W -f='${Package} ${Version} ${Status}\n' linomark

step "Start it as the menu entry does, under Xvfb"
display=
for number in $(seq 90 120); do
    [[ -e /tmp/.X11-unix/X$number ]] || { display=:$number && break; }
done
Xvfb "$display" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
xvfb_pid=$!
for _ in $(seq 50); do
    [[ -S /tmp/.X11-unix/X${display#:} ]] && break
    sleep 0.1
done
command_line=$(sed -n 's/^Exec=//p' "$tree/usr/share/applications/linomark.desktop")
echo "Exec=$command_line"
chroot "$tree" env -i PATH=/usr/local/bin:/usr/bin:/bin HOME=/root DISPLAY="$display" \
    sh -c "exec $command_line" >"$work/program.log" 2>&1 &
program_pid=$!
mapped=
for _ in $(seq 100); do
    if xwininfo -display "$display" -root -tree 2>/dev/null | grep -q '"Linomark 1.0"'; then
        mapped=yes
        break
    fi
    sleep 0.1
done
[[ -n $mapped ]] || {
    echo "the window never appeared: $(cat "$work/program.log")"
    exit 1
}
window=$(xwininfo -display "$display" -name "Linomark 1.0")
grep -E 'Window id|Width|Height|Map State' <<<"$window"
# The desktop matches the window to linomark.desktop by its class, and shows
# the icon the window carries.
properties=$(xprop -display "$display" -id "$(awk '/Window id/ {print $4}' <<<"$window")" WM_CLASS _NET_WM_ICON)
grep -E 'WM_CLASS|Icon \(' <<<"$properties"
grep -q 'WM_CLASS(STRING) = "linomark"' <<<"$properties" || { echo "unexpected window class"; exit 1; }
[[ $(grep -c 'Icon (' <<<"$properties") -eq 4 ]] || { echo "the window does not carry the four icon sizes"; exit 1; }
sleep 0.5
kill -TERM "$program_pid"
status=0
wait "$program_pid" || status=$?
[[ $status -eq 0 ]] || {
    echo "the installed program exited with $status: $(cat "$work/program.log")"
    exit 1
}
[[ -f "$tree/root/.config/Linomark 1.0.ini" ]] || {
    echo "closing wrote no settings"
    exit 1
}
step "The installed program started from its menu entry and closed with 0"
