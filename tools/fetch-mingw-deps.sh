#!/usr/bin/env bash
# Unpacks Debian's pugixml source package into DEST (default build/deps/pugixml)
# for the Windows build. Uses a private apt state, so the system's sources stay
# as they are.
set -euo pipefail
dest=${1:-build/deps/pugixml}
[ -f "$dest/src/pugixml.cpp" ] && exit 0
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cat >"$work/src.sources" <<SRC
Types: deb-src
URIs: http://deb.debian.org/debian
Suites: bookworm
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
SRC
mkdir -p "$work/lists/partial" "$work/dl"
apt=(apt-get -q -o Dir::Etc::SourceList="$work/src.sources" -o Dir::Etc::SourceParts=/dev/null
     -o Dir::State::Lists="$work/lists" -o APT::Sandbox::User=root)
"${apt[@]}" update >/dev/null
(cd "$work/dl" && "${apt[@]}" source --download-only pugixml >/dev/null)
mkdir -p "$dest"
tar -xzf "$work"/dl/pugixml_*.orig.tar.gz -C "$dest" --strip-components=1
test -f "$dest/src/pugixml.cpp"
echo "pugixml sources in $dest"
