#!/usr/bin/env bash
# install-deps.sh [run|test]: installs the Debian packages KeyDeck needs, as root
# or through sudo. "run" is enough to build and start the program; "test" adds
# the sanitizers, fuzzing, the Windows cross build with Wine and the VM.
set -euo pipefail
what=${1:-test}
pkgs=(cmake ninja-build g++ pkg-config libpugixml-dev libudev-dev libevdev-dev
      qt6-base-dev libqt6opengl6-dev libxkbcommon-dev libvulkan-dev qt6-tools-dev qt6-tools-dev-tools libqt6uitools6 libqt6svg6 qt6-qpa-plugins
      fonts-noto-cjk)
if [ "$what" = test ]; then
    pkgs+=(googletest libgtest-dev libgmock-dev libbenchmark-dev clang libclang-rt-14-dev
           g++-mingw-w64-x86-64-posix wine64 qemu-system-x86 busybox-static cpio kmod
           xvfb xauth x11-apps imagemagick)
fi
missing=()
for p in "${pkgs[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0
sudo=()
[ "$(id -u)" -eq 0 ] || sudo=(sudo)
"${sudo[@]}" apt-get update
DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y --no-install-recommends "${missing[@]}"
