#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds Tessel's Debian packages into dist/, without root and without a network:
#   tessel-vst_VERSION_ARCH.deb    the VST 2 plug-in, /usr/lib/lxvst/Tessel.so
#   tessel-lv2_VERSION_ARCH.deb    the LV2 bundle, /usr/lib/lv2/Tessel.lv2/
#   tessel-tools_VERSION_ARCH.deb  tessel-render and tessel-shot with their manual pages
# and, when the Windows edition is built or can be, Tessel-VERSION-windows-x64.zip.
#
#   scripts/package.sh                      builds what it packs (plain build), then packs
#   scripts/package.sh --prebuilt DIR       packs the binaries of build folder DIR as they are
#   scripts/package.sh --dist DIR           writes into DIR instead of dist/
#   scripts/package.sh --no-lintian         skips the lintian check of the packages
# The version is the project version of CMakeLists.txt; the changelog's newest entry must
# name the same one.
set -euo pipefail
cd "$(dirname "$0")/.."
source_dir="$PWD"

prebuilt=""
dist="$source_dir/dist"
run_lintian=1
while [ $# -gt 0 ]; do
  case "$1" in
    --prebuilt) prebuilt="$(realpath "$2")"; shift 2 ;;
    --dist) dist="$(realpath -m "$2")"; shift 2 ;;
    --no-lintian) run_lintian=0; shift ;;
    *) echo "package.sh: unknown option $1" >&2; exit 2 ;;
  esac
done

fail() {
  echo "package.sh: $*" >&2
  exit 1
}

version="$(sed -n 's/^project(Tessel VERSION \([0-9][0-9.]*\).*/\1/p' CMakeLists.txt)"
[ -n "$version" ] || fail "no project version in CMakeLists.txt"
changelog="scripts/packaging/changelog"
changelog_version="$(dpkg-parsechangelog -l "$changelog" -S Version)"
[ "$changelog_version" = "$version" ] ||
  fail "$changelog starts at $changelog_version, the project is $version: add an entry"
arch="$(dpkg --print-architecture)"
# Dates inside the packages come from the changelog, so the same sources pack the same.
export SOURCE_DATE_EPOCH="$(dpkg-parsechangelog -l "$changelog" -S Timestamp)"
release_date="$(date -u -d "@$SOURCE_DATE_EPOCH" +%Y-%m-%d)"

if [ -n "$prebuilt" ]; then
  build="$prebuilt"
else
  scripts/build.sh plain Tessel Tessel.lv2 tessel-render tessel-shot
  build="$source_dir/build"
fi
for file in Tessel.so Tessel.lv2/tessel_lv2.so Tessel.lv2/manifest.ttl tessel-render tessel-shot; do
  [ -f "$build/$file" ] || fail "$build/$file is missing: build it first"
done

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
mkdir -p "$dist"

# Debian's own way of removing debugging symbols from what is installed.
strip_into() {
  install -D -m "$3" "$1" "$2"
  strip --strip-unneeded --remove-section=.comment --remove-section=.note "$2"
}

# The machine-readable copyright file every package carries.
write_copyright() {
  cat >"$1" <<'EOF'
Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/
Upstream-Name: Tessel
Upstream-Contact: Tessel developers <tessel@example.org>

Files: *
Copyright: 2026 Tessel developers
License: GPL-3+

License: GPL-3+
 This program is free software: you can redistribute it and/or modify it under
 the terms of the GNU General Public License as published by the Free Software
 Foundation, either version 3 of the License, or (at your option) any later
 version.
 .
 This program is distributed in the hope that it will be useful, but WITHOUT ANY
 WARRANTY; without even the implied warranty of MERCHANTABILITY or FITNESS FOR A
 PARTICULAR PURPOSE. See the GNU General Public License for more details.
 .
 On Debian systems, the complete text of the GNU General Public License
 version 3 can be found in "/usr/share/common-licenses/GPL-3".
EOF
}

# A manual page around the tool's own --help text, so the two never disagree.
write_manpage() {
  local tool="$1" summary="$2" synopsis="$3" page="$4"
  {
    echo ".TH ${tool^^} 1 \"$release_date\" \"Tessel $version\" \"User Commands\""
    echo ".SH NAME"
    echo "$tool \\- $summary"
    echo ".SH SYNOPSIS"
    echo ".B $tool"
    echo "$synopsis"
    echo ".SH DESCRIPTION"
    echo ".nf"
    "$build/$tool" --help | sed -e 's/\\/\\e/g' -e 's/-/\\-/g' -e "s/^\\([.']\\)/\\\\\\&\\1/"
    echo ".fi"
    echo ".SH LICENSE"
    echo "GPL\\-3.0\\-or\\-later: GNU GPL version 3 or later. There is NO WARRANTY."
    echo ".SH SEE ALSO"
    if [ "$tool" = tessel-render ]; then echo ".BR tessel-shot (1)"; else echo ".BR tessel-render (1)"; fi
  } | gzip -9n >"$page"
}

# The Depends line of the ELF files given, from the packages that provide their libraries.
# dpkg-shlibdeps reads a source package's control file, so it runs in a stand-in for one.
shlib_depends() {
  local stand_in="$work/shlibdeps"
  mkdir -p "$stand_in/debian"
  printf 'Source: tessel\n\nPackage: tessel\nArchitecture: any\n' >"$stand_in/debian/control"
  (cd "$stand_in" && dpkg-shlibdeps -O "$@" 2>/dev/null) | sed -n 's/^shlibs:Depends=//p'
}

# pack NAME SUMMARY DESCRIPTION RECOMMENDS: writes dist/NAME_VERSION_ARCH.deb from the files
# staged in $work/NAME, with its documentation, md5sums and control file.
pack() {
  local name="$1" short="$2" long="$3" recommends="$4"
  local root="$work/$name"
  local doc="$root/usr/share/doc/$name"
  install -d -m 0755 "$doc"
  write_copyright "$doc/copyright"
  gzip -9n <"$changelog" >"$doc/changelog.gz"

  local elves=()
  while IFS= read -r -d '' file; do
    if [ "$(head -c 4 "$file" | od -An -c | tr -d ' ')" = '177ELF' ]; then elves+=("$file"); fi
  done < <(find "$root" -type f -print0)
  local depends
  depends="$(shlib_depends "${elves[@]}")"
  [ -n "$depends" ] || fail "no library dependencies found for $name"

  install -d -m 0755 "$root/DEBIAN"
  {
    echo "Package: $name"
    echo "Version: $version"
    echo "Architecture: $arch"
    echo "Maintainer: Tessel developers <tessel@example.org>"
    echo "Installed-Size: $(du -sk --exclude=DEBIAN "$root" | cut -f1)"
    echo "Depends: $depends"
    [ -n "$recommends" ] && echo "Recommends: $recommends"
    echo "Section: sound"
    echo "Priority: optional"
    echo "Description: $short"
    echo "$long" | sed -e 's/^$/./' -e 's/^/ /'
  } >"$root/DEBIAN/control"
  (cd "$root" && find usr -type f -printf '%P\n' | sort | sed 's|^|usr/|' |
    xargs -d '\n' md5sum >DEBIAN/md5sums)
  chmod 0644 "$root/DEBIAN/control" "$root/DEBIAN/md5sums"
  find "$root" -type d -exec chmod 0755 {} +

  local deb="$dist/${name}_${version}_${arch}.deb"
  dpkg-deb --root-owner-group -Zxz --build "$root" "$deb" >/dev/null
  echo "Wrote $deb ($(du -k "$deb" | cut -f1) KiB)"
}

effect_text="Tessel is a stereo delay with two delay lines that run free in milliseconds or
follow the host's tempo in note values. Feedback can cross between the sides
and be inverted; an LFO and an envelope follower modulate the delay time and a
filter; a drive stage and a spring or plate reverb finish the sound. It comes
with 61 factory programs, bank and preset files, MIDI learn and its own editor
window."

# The VST 2 plug-in where hosts look without being told: /usr/lib/lxvst.
strip_into "$build/Tessel.so" "$work/tessel-vst/usr/lib/lxvst/Tessel.so" 0644
pack tessel-vst "stereo delay effect plug-in (VST 2)" "$effect_text

This package holds the VST 2.4 plug-in for Linux hosts such as Ardour,
Bitwig Studio, Carla, Qtractor, REAPER and Renoise, in /usr/lib/lxvst." "zenity | kdialog"

# The LV2 bundle: its library and description.
lv2="$work/tessel-lv2/usr/lib/lv2/Tessel.lv2"
strip_into "$build/Tessel.lv2/tessel_lv2.so" "$lv2/tessel_lv2.so" 0644
for ttl in "$build"/Tessel.lv2/*.ttl; do install -m 0644 "$ttl" "$lv2/"; done
pack tessel-lv2 "stereo delay effect plug-in (LV2)" "$effect_text

This package holds the LV2 plug-in, with the same sound, programs and editor,
for LV2 hosts such as Ardour, Carla, Qtractor, Audacity and Jalv, in
/usr/lib/lv2." "zenity | kdialog"

# The command-line tools.
tools="$work/tessel-tools"
for tool in tessel-render tessel-shot; do strip_into "$build/$tool" "$tools/usr/bin/$tool" 0755; done
man="$tools/usr/share/man/man1"
install -d -m 0755 "$man"
write_manpage tessel-render "play sound through the Tessel stereo delay without a host" \
  "[\\fIOPTIONS\\fR] [\\fIINPUT\\fR] \\fIOUTPUT\\fR" "$man/tessel-render.1.gz"
write_manpage tessel-shot "draw the Tessel editor's panel into a PNG picture" \
  "[\\fIOPTIONS\\fR] \\fIOUTPUT.png\\fR" "$man/tessel-shot.1.gz"
pack tessel-tools "Tessel stereo delay on the command line" "$effect_text

This package holds two command-line tools. tessel-render plays a sound file,
or a built-in demo phrase, through the effect with any program and settings
and writes the result to a WAV or FLAC file: hear a program without a host,
or process files in batches. tessel-shot draws the editor's panel, with any
program, into a PNG picture." ""

if [ "$run_lintian" = 1 ]; then
  if command -v lintian >/dev/null; then
    # Errors fail the packaging; warnings are shown.
    lintian --fail-on error --tag-display-limit 0 \
      "$dist/tessel-vst_${version}_${arch}.deb" "$dist/tessel-lv2_${version}_${arch}.deb" \
      "$dist/tessel-tools_${version}_${arch}.deb" || fail "lintian found errors"
  else
    echo "package.sh: lintian is not installed: the packages are not checked" >&2
  fi
fi

# The Windows edition's zip, when it is built (or the build script knows how to).
windows_dll="$source_dir/build-windows/Tessel.dll"
if [ -z "$prebuilt" ] && [ ! -f "$windows_dll" ] && grep -q '^ *windows)' scripts/build.sh; then
  scripts/build.sh windows || echo "package.sh: the Windows build failed" >&2
fi
if [ -f "$windows_dll" ]; then
  name="Tessel-$version-windows-x64"
  folder="$work/zip/$name"
  install -d "$folder"
  install -m 0644 "$windows_dll" "$folder/Tessel.dll"
  # Windows line ends, for any text editor there.
  sed -e "s/VERSION/$version/" -e 's/$/\r/' scripts/packaging/windows-readme.txt >"$folder/README.txt"
  sed -e 's/$/\r/' LICENSE >"$folder/LICENSE.txt"
  rm -f "$dist/$name.zip"
  (cd "$work/zip" && zip -X -q -r "$dist/$name.zip" "$name")
  echo "Wrote $dist/$name.zip ($(du -k "$dist/$name.zip" | cut -f1) KiB)"
else
  echo "No Windows build (build-windows/Tessel.dll): the Windows zip is skipped."
fi
