#!/usr/bin/env bash
# The release, from the committed tree only (a fresh export: nothing uncommitted reaches it),
# into dist/: the window program and its console twin for each architecture, both Windows Installer packages, the Group Policy templates
# (PolicyDefinitions: the ADMX and an ADML for each language in the program's language table) and
# SHA256SUMS. The same commit
# gives the same bytes, wherever and whenever it is built.
#   KESTRAVE_SIGN_PFX, KESTRAVE_SIGN_PASSWORD: sign the programs and the packages (SHA-256);
#   KESTRAVE_SIGN_TIMESTAMP: a time-stamp server's address, optional.
#   KESTRAVE_DIST: another output folder; KESTRAVE_REVISION: another commit than HEAD;
#   KESTRAVE_VERSION: another version than the project's (to test upgrades).
#   KESTRAVE_RELEASE_TREE: build in this folder and keep it; a later release of the same commit
#     into it rebuilds only what changed (the version, for the upgrade's package). A build to
#     compare for reproducibility never names one: it starts from nothing.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh >/dev/null

out="${KESTRAVE_DIST:-$PWD/dist}"
rev="${KESTRAVE_REVISION:-HEAD}"
if [ -n "${KESTRAVE_RELEASE_TREE:-}" ]; then
  work="$KESTRAVE_RELEASE_TREE"
  mkdir -p "$work"
  rm -rf "$work"/stage-* "$work"/*.msi
else
  work="$(mktemp -d /tmp/kestrave-release.XXXXXX)"
  trap 'rm -rf "$work"' EXIT
fi
# Files keep the commit's time, so a kept tree sees as changed only what this run changes.
git archive --prefix=src/ "$rev" | tar -x -C "$work"
epoch="$(git log -1 --format=%ct "$rev")"
export SOURCE_DATE_EPOCH="$epoch"
stamp="$(date -u -d "@$epoch" '+%Y-%m-%d %H:%M:%S')"
if [ -n "${KESTRAVE_VERSION:-}" ]; then
  sed -i "s/^project(Kestrave VERSION [0-9.]*/project(Kestrave VERSION $KESTRAVE_VERSION/" \
    "$work/src/CMakeLists.txt"
fi
version="$(sed -n 's/^project(Kestrave VERSION \([0-9]*\.[0-9]*\.[0-9]*\).*/\1/p' "$work/src/CMakeLists.txt")"
[ -n "$version" ] || { echo "release: no MAJOR.MINOR.PATCH version in CMakeLists.txt" >&2; exit 1; }

# A name-based (version 5 style) UUID: the same name always gives the same one.
name_uuid() {
  local h
  h="$(printf '%s' "$1" | sha1sum | cut -c1-32)"
  printf '%s-%s-5%s-%x%s-%s\n' "${h:0:8}" "${h:8:4}" "${h:13:3}" \
    $(((0x${h:16:1} & 0x3) | 0x8)) "${h:17:3}" "${h:20:12}" | tr a-f A-F
}

sign() {
  [ -n "${KESTRAVE_SIGN_PFX:-}" ] || return 0
  local args=(sign -pkcs12 "$KESTRAVE_SIGN_PFX" -pass "${KESTRAVE_SIGN_PASSWORD:-}" -h sha256
              -n Kestrave -in "$1" -out "$1.signed")
  [ -z "${KESTRAVE_SIGN_TIMESTAMP:-}" ] || args+=(-ts "$KESTRAVE_SIGN_TIMESTAMP")
  osslsigncode "${args[@]}" >/dev/null
  mv "$1.signed" "$1"
}

mkdir -p "$out"
rm -f "$out"/Kestrave-*.exe "$out"/Kestrave-*.com "$out"/Kestrave-*.msi "$out/SHA256SUMS"
rm -rf "$out/PolicyDefinitions"
# The policy templates as Group Policy's store holds them: the ADMX, a folder per language the
# program speaks (a language without its texts stops the release).
mkdir -p "$out/PolicyDefinitions"
cp "$work/src/packaging/policy/Kestrave.admx" "$out/PolicyDefinitions/"
templates=(PolicyDefinitions/Kestrave.admx)
for language in $(bash "$work/src/scripts/policy-languages.sh" "$work/src"); do
  [ -f "$work/src/packaging/policy/$language/Kestrave.adml" ] ||
    { echo "release: no packaging/policy/$language/Kestrave.adml for the language $language" >&2; exit 1; }
  mkdir -p "$out/PolicyDefinitions/$language"
  cp "$work/src/packaging/policy/$language/Kestrave.adml" "$out/PolicyDefinitions/$language/"
  templates+=("PolicyDefinitions/$language/Kestrave.adml")
done
find "$out/PolicyDefinitions" -exec touch -d "@$epoch" {} +
for arch in x64 x86; do
  preset=windows
  [ "$arch" = x64 ] || preset=windows-x86
  (cd "$work/src" && cmake --preset "$preset" >/dev/null &&
     cmake --build --preset "$preset" --target Kestrave KestraveConsole >/dev/null)
  stage="$work/stage-$arch"
  mkdir -p "$stage"
  cp "$work/src/build/$preset/Kestrave.exe" "$work/src/build/$preset/Kestrave.com" \
    "$work/src/resources/kestrave.ico" "$stage/"
  sign "$stage/Kestrave.exe"
  sign "$stage/Kestrave.com"
  touch -d "@$epoch" "$stage"/*
  product="$(name_uuid "Kestrave product $version $arch")"
  package="$(name_uuid "Kestrave package $version $arch $(cat "$stage/Kestrave.exe" "$stage/Kestrave.com" | sha256sum)")"
  template="x64;1033"
  [ "$arch" = x64 ] || template="Intel;1033"
  # wixl stamps the time and a random package code: both are fixed here.
  (cd "$stage" && faketime -f "$stamp" wixl -a "$arch" -D Arch="$arch" -D Version="$version" \
     -D ProductCode="$product" -D Program=Kestrave.exe -D Console=Kestrave.com -D Icon=kestrave.ico \
     -o "$work/Kestrave-$arch.msi" "$work/src/packaging/Kestrave.wxs" 2>/dev/null)
  faketime -f "$stamp" msibuild "$work/Kestrave-$arch.msi" \
    -s "Installation Database" "Kestrave" "$template" "{$package}"
  sign "$work/Kestrave-$arch.msi"
  cp "$stage/Kestrave.exe" "$out/Kestrave-$version-$arch.exe"
  cp "$stage/Kestrave.com" "$out/Kestrave-$version-$arch.com"
  cp "$work/Kestrave-$arch.msi" "$out/Kestrave-$version-$arch.msi"
done
(cd "$out" && sha256sum "Kestrave-$version-x64.exe" "Kestrave-$version-x86.exe" \
   "Kestrave-$version-x64.com" "Kestrave-$version-x86.com" \
   "Kestrave-$version-x64.msi" "Kestrave-$version-x86.msi" "${templates[@]}" >SHA256SUMS &&
   cat SHA256SUMS)
