#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Fetches the source of the installed ICU (Debian's source package of the
# libicu-dev version this machine has) into DIR, for the charset detector
# that the page's zqlrc is built with: the same detector, of the same
# version, as the host's zqlrc links. Only its own apt lists are used (in
# DIR); the machine's apt setup is left as it is.
#   icu_source.sh DIR     then DIR/icu/source holds the source
set -euo pipefail
dir="$(mkdir -p "$1" && cd "$1" && pwd)"
[ -f "$dir/icu/source/i18n/csdetect.cpp" ] && exit 0
version="$(dpkg-query -W -f='${source:Version}' libicu-dev)"
codename="$(. /etc/os-release && echo "$VERSION_CODENAME")"
apt_dir="$dir/apt"
mkdir -p "$apt_dir/lists/partial" "$apt_dir/cache/archives/partial"
cat >"$apt_dir/sources.list" <<SOURCES
deb-src http://deb.debian.org/debian $codename main
deb-src http://deb.debian.org/debian $codename-updates main
deb-src http://deb.debian.org/debian-security $codename-security main
SOURCES
apt_options=(-o "Dir::Etc::SourceList=$apt_dir/sources.list" -o Dir::Etc::SourceParts=/dev/null
             -o "Dir::State::Lists=$apt_dir/lists" -o "Dir::Cache=$apt_dir/cache" -qq)
apt-get "${apt_options[@]}" update
(cd "$apt_dir" && apt-get "${apt_options[@]}" source --download-only "icu=$version" 2>/dev/null)
# The detector and what it needs of ICU's common part.
tar -xzf "$apt_dir"/icu_*.orig.tar.gz -C "$dir" icu/LICENSE icu/source/common icu/source/i18n
rm -rf "$apt_dir"
