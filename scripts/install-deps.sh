#!/usr/bin/env bash
# Installs the Debian packages that are missing for the given purpose:
#   install-deps.sh run    what building and running the program needs
#   install-deps.sh test   that, plus what the tests need (CUPS, readers, Xvfb,
#                          the desktop-file validators, the .deb tools and
#                          lintian, a Wayland compositor, GNU barcode for a
#                          benchmark to compare with)
#   install-deps.sh clean-install   what scripts/check-clean-install.sh needs
# apt-get runs as root, or through sudo otherwise; installed packages are
# skipped. Without root and without sudo it names what is missing and stops.
set -euo pipefail

run_packages=(
    cmake g++ make pkg-config
    qt6-base-dev qt6-qpa-plugins libcups2-dev libfontconfig-dev libxcb1-dev
    fonts-liberation fonts-dejavu-core xdg-utils qt6-wayland
)
test_packages=(
    libgtest-dev libgmock-dev libbenchmark-dev libzxing-dev
    cups cups-client cups-bsd cups-filters poppler-utils zbar-tools ghostscript locales
    xvfb xauth x11-utils libx11-dev python3 valgrind
    desktop-file-utils appstream dpkg-dev file lintian weston
    barcode
)

clean_install_packages=(dpkg-dev file debootstrap xvfb x11-utils)

packages=("${run_packages[@]}")
case "${1:-run}" in
run) ;;
test) packages+=("${test_packages[@]}") ;;
clean-install) packages+=("${clean_install_packages[@]}") ;;
*)
    echo "install-deps.sh: unknown purpose '$1' (run, test or clean-install)" >&2
    exit 2
    ;;
esac

missing=()
for package in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$package")
    fi
done
[[ ${#missing[@]} -eq 0 ]] && exit 0

apt_get=(apt-get)
if [[ $(id -u) -ne 0 ]]; then
    if ! command -v sudo >/dev/null; then
        echo "install-deps.sh: missing Debian packages; as root, run: apt-get install ${missing[*]}" >&2
        exit 1
    fi
    apt_get=(sudo apt-get)
fi
echo "Installing missing packages: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
"${apt_get[@]}" update -qq
"${apt_get[@]}" install -y -qq --no-install-recommends "${missing[@]}"
