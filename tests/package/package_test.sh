#!/usr/bin/env bash
# The Debian package that scripts/package built from this build folder: its control fields, its
# files, lintian on the package, the reference validators on the desktop entry, the AppStream
# metadata and the man page, and the binary run from the unpacked contents. Nothing is
# installed: the contents go to a temporary root. Exit code 77: no package was built here.
#   package_test.sh <package folder> <version> <marrowick binary of the build>
set -uo pipefail
dir="$1" version="$2" binary="$3"

fail() {
  echo "FAIL (package): $*" >&2
  exit 1
}

deb="$dir/marrowick_${version}_$(dpkg --print-architecture).deb"
[ -f "$deb" ] || { echo "SKIP (package): no $deb; scripts/package builds it" >&2; exit 77; }
[ "$deb" -nt "$binary" ] || fail "$deb is older than $binary; scripts/package builds it anew"

root="$(mktemp -d "${TMPDIR:-/tmp}/marrowick-package.XXXXXX")"
trap 'rm -rf "$root"' EXIT

field() { dpkg-deb -f "$deb" "$1"; }
[ "$(field Package)" = marrowick ] || fail "Package is '$(field Package)'"
[ "$(field Version)" = "$version" ] || fail "Version is '$(field Version)', not $version"
[ "$(field Section)" = x11 ] || fail "Section is '$(field Section)'"
[ -n "$(field Maintainer)" ] || fail "no Maintainer"
# Computed from the binary by dpkg-shlibdeps: the Qt and xcb libraries it links are there.
for lib in libqt6widgets6 libxcb-xinput0 libc6; do
  field Depends | grep -q "\b$lib\b" || fail "Depends lacks $lib: $(field Depends)"
done

lintian_args=(--fail-on error)
[ "$(id -u)" -eq 0 ] && lintian_args+=(--allow-root)
lintian_out="$(lintian "${lintian_args[@]}" "$deb" 2>&1)"
lintian_status=$?
[ -n "$lintian_out" ] && echo "lintian says:" && echo "$lintian_out"
[ "$lintian_status" -eq 0 ] || fail "lintian found errors"

dpkg-deb -x "$deb" "$root" || fail "dpkg-deb -x failed"
id="$(sed -n 's:.*<id>\(.*\)</id>.*:\1:p' "$root"/usr/share/metainfo/*.metainfo.xml | head -n1)"
[ -n "$id" ] || fail "no AppStream metadata with an id"
for f in usr/bin/marrowick \
  "usr/share/applications/$id.desktop" \
  "usr/share/metainfo/$id.metainfo.xml" \
  "usr/share/icons/hicolor/scalable/apps/$id.svg" \
  "usr/share/icons/hicolor/symbolic/apps/$id-symbolic.svg" \
  usr/share/man/man1/marrowick.1.gz \
  usr/share/doc/marrowick/copyright usr/share/doc/marrowick/changelog.gz usr/share/doc/marrowick/README.md; do
  [ -s "$root/$f" ] || fail "the package has no /$f"
done

# The README as installed shows every picture it links: each is beside it, as in the sources.
doc="$root/usr/share/doc/marrowick"
mapfile -t pictures < <(grep -o '](docs/[^)]*)' "$doc/README.md" | sed 's/^](//; s/)$//' | sort -u)
[ ${#pictures[@]} -gt 0 ] || fail "the installed README links no pictures"
for p in "${pictures[@]}"; do
  [ -s "$doc/$p" ] || fail "the README links $p, which the package does not hold beside it"
done

# The licence: GPL-3.0-or-later, in Debian's words and in the AppStream metadata.
grep -q '^License: GPL-3+$' "$doc/copyright" || fail "the copyright file does not say GPL-3+"
grep -q '/usr/share/common-licenses/GPL-3' "$doc/copyright" || fail "the copyright file does not point at the GPL's text"
grep -q '<project_license>GPL-3.0-or-later</project_license>' "$root/usr/share/metainfo/$id.metainfo.xml" ||
  fail "the metadata does not name GPL-3.0-or-later"

out="$(desktop-file-validate "$root/usr/share/applications/$id.desktop" 2>&1)" && [ -z "$out" ] ||
  fail "desktop-file-validate: $out"
grep -qx "Icon=$id" "$root/usr/share/applications/$id.desktop" || fail "the desktop entry names another icon"
out="$(appstreamcli validate --no-net "$root/usr/share/metainfo/$id.metainfo.xml" 2>&1)" ||
  fail "appstreamcli validate: $out"
grep -q "<release version=\"$version\"" "$root/usr/share/metainfo/$id.metainfo.xml" ||
  fail "the metadata has no release $version"
warnings="$(man --warnings -l "$root/usr/share/man/man1/marrowick.1.gz" 2>&1 >/dev/null)"
[ -z "$warnings" ] || fail "man --warnings: $warnings"

out="$("$root/usr/bin/marrowick" --version 2>&1)" || fail "the unpacked marrowick --version failed: $out"
[ "$out" = "Marrowick $version" ] || fail "the unpacked marrowick --version printed '$out'"

# What apt would do with it on this machine, without doing it.
out="$(apt-get install --simulate "$deb" 2>&1)" || fail "apt-get install --simulate: $out"
grep -q "^Inst marrowick " <<<"$out" || fail "apt-get would not install it: $out"

echo "PASS (package): $deb"
