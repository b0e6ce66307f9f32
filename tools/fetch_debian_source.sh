#!/usr/bin/env bash
# Fetches the upstream source of a Debian source package and unpacks it into
# DEST, for programs the build compiles from source (the MinGW build cannot
# use Debian's Linux libraries). apt verifies the archive's signed index, and
# the file against the checksum that index gives; the machine's own apt
# configuration is not touched. Nothing is fetched when DEST exists.
#   tools/fetch_debian_source.sh PACKAGE DEST
set -euo pipefail
package=$1
dest=$2
[ -d "$dest" ] && exit 0
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/lists/partial" "$work/cache/archives/partial"
codename=$(. /etc/os-release && echo "$VERSION_CODENAME")
echo "deb-src http://deb.debian.org/debian $codename main" >"$work/sources.list"
apt=(apt-get -qq -o Dir::Etc::SourceList="$work/sources.list" -o Dir::Etc::SourceParts=/dev/null
     -o Dir::State::Lists="$work/lists" -o Dir::Cache="$work/cache"
     -o Dir::State::status=/var/lib/dpkg/status -o Debug::NoLocking=1
     -o APT::Sandbox::User="$(id -un)")
"${apt[@]}" update
# The upstream tarball: Debian's own packaging is not needed.
read -r uri file _ checksum < <("${apt[@]}" --print-uris source "$package" | grep "\.orig\.tar\.")
/usr/lib/apt/apt-helper -qq -o APT::Sandbox::User="$(id -un)" download-file "${uri//\'/}" "$work/$file" "$checksum"
mkdir -p "$work/unpacked"
tar -xf "$work/$file" -C "$work/unpacked" --strip-components=1
mkdir -p "$(dirname "$dest")"
mv "$work/unpacked" "$dest"
echo "fetched $file ($checksum) into $dest"
