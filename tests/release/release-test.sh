#!/usr/bin/env bash
# The release as an administrator receives it: two builds of one commit give the same bytes,
# the programs fit their size, the signed build verifies (and a changed byte does not), and
# under Wine each package installs, answers, upgrades to a newer version and leaves nothing
# of its own behind when removed.
#   release-test.sh                     everything
#   release-test.sh --builds-into DIR   the builds and their checks, kept in DIR (no Wine: this
#                                       part may run beside tests that use it)
#   release-test.sh --packages-from DIR then the packages under Wine, from DIR's builds
set -uo pipefail
cd "$(dirname "$0")/../.."
root="$PWD"
mode=all
work=""
case "${1:-}" in
  --builds-into) mode=builds work="$2" ;;
  --packages-from) mode=packages work="$2" ;;
esac
[ -n "$work" ] || work="$(mktemp -d /tmp/kestrave-release-test.XXXXXX)"
mkdir -p "$work"
passed=0
failed=0
check() { # check WHAT COMMAND...
  local what="$1"
  shift
  if "$@"; then
    echo "  ok    $what"
    passed=$((passed + 1))
  else
    echo "  FAIL  $what"
    failed=$((failed + 1))
  fi
}
property() { # property MSI NAME: a value of the package's Property table
  msiinfo export "$1" Property | tr -d '\r' | awk -F'\t' -v n="$2" '$1 == n { print $2 }'
}
elapsed() { echo "  ($(($(date +%s) - $1)) s)"; }

version="$(sed -n 's/^project(Kestrave VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)"
newer="${version%.*}.$((${version##*.} + 1))"

if [ "$mode" != packages ]; then

echo "release: two builds of $(git rev-parse --short HEAD), in two folders, at two times"
t0=$(date +%s)
KESTRAVE_DIST="$work/a" KESTRAVE_RELEASE_TREE="$work/tree" bash scripts/release.sh >/dev/null || exit 1
git clone -q "$root" "$work/clone"
(cd "$work/clone" && git checkout -q "$(git -C "$root" rev-parse HEAD)" &&
   KESTRAVE_DIST="$work/b" bash scripts/release.sh >/dev/null) || exit 1
elapsed "$t0"
mapfile -t languages < <(bash scripts/policy-languages.sh)
files=$((6 + 1 + ${#languages[@]}))
check "both builds made the same $files files, byte for byte" cmp -s "$work/a/SHA256SUMS" "$work/b/SHA256SUMS"
check "SHA256SUMS names exactly the six programs and packages, the ADMX and an ADML for each of the ${#languages[@]} languages" \
  test "$(wc -l <"$work/a/SHA256SUMS")" = "$files"
check "the policy templates name what the program reads, in every language it speaks" \
  python3 tests/release/check-policy-templates.py "$work/a/PolicyDefinitions" "${languages[@]}"
check "every file matches SHA256SUMS" bash -c "cd '$work/b' && sha256sum --quiet -c SHA256SUMS"
for f in "$work"/a/Kestrave-*; do
  printf '  %-28s %9d bytes  %s\n' "${f##*/}" "$(stat -c %s "$f")" "$(sha256sum <"$f" | cut -c1-16)"
done
x64="$work/a/Kestrave-$version-x64.exe"
# Code and data apart from the resources: what a library pulled in by accident swells (a
# to_wstring once brought 22 KB of printf). The resources, texts in three languages with the
# pictures and the event messages, grow with what the program says, and are bounded apart.
rsrc=$((16#$(x86_64-w64-mingw32-objdump -h "$x64" | awk '$2 == ".rsrc" {print $3}')))
echo "  x64 program: $(( $(stat -c %s "$x64") - rsrc )) bytes of code and data, $rsrc of resources"
check "the x64 program's code and data are at most 640 KiB" \
  test "$(( $(stat -c %s "$x64") - rsrc ))" -le 655360
check "the x64 program's resources are at most 192 KiB" test "$rsrc" -le 196608
for twin in "$work"/a/Kestrave-*.com; do
  check "${twin##*/} is a console program importing no window library" \
    bash scripts/check-imports.sh "$twin"
done
check "the program carries no build path" bash -c "! grep -qa -e '$root' -e '$work' '$x64'"

echo "release: a newer version ($newer), signed with a throwaway certificate"
t0=$(date +%s)
sign="$work/sign"
mkdir -p "$sign"
openssl req -x509 -newkey rsa:2048 -sha256 -days 2 -nodes -subj "/CN=Kestrave test signing" \
  -addext "extendedKeyUsage=codeSigning" -keyout "$sign/key.pem" -out "$sign/cert.pem" 2>/dev/null
openssl pkcs12 -export -inkey "$sign/key.pem" -in "$sign/cert.pem" -out "$sign/sign.pfx" \
  -passout pass:kestrave-test
# In the first build's tree: only what the version changes is built again.
KESTRAVE_VERSION="$newer" KESTRAVE_SIGN_PFX="$sign/sign.pfx" KESTRAVE_SIGN_PASSWORD=kestrave-test \
  KESTRAVE_DIST="$work/c" KESTRAVE_RELEASE_TREE="$work/tree" bash scripts/release.sh >/dev/null ||
  exit 1
elapsed "$t0"
for f in "$work"/c/Kestrave-*.exe "$work"/c/Kestrave-*.com "$work"/c/Kestrave-*.msi; do
  check "${f##*/} is signed and verifies" \
    bash -c "osslsigncode verify -CAfile '$sign/cert.pem' -in '$f' 2>&1 | grep -q '^Succeeded'"
done
cp "$work/c/Kestrave-$newer-x64.exe" "$sign/changed.exe"
printf '\x90' | dd of="$sign/changed.exe" bs=1 seek=4096 conv=notrunc 2>/dev/null
check "a changed byte inside the signed program fails verification" \
  bash -c "! osslsigncode verify -CAfile '$sign/cert.pem' -in '$sign/changed.exe' 2>&1 | grep -q '^Succeeded'"

fi # the builds
if [ "$mode" = builds ]; then
  echo "$passed $failed" >"$work/counts"
  echo "release builds: $passed passed, $failed failed"
  [ "$failed" -eq 0 ]
  exit
fi
[ "$mode" != packages ] || read -r passed failed <"$work/counts"

echo "release: the packages under Wine"
t0=$(date +%s)
# shellcheck source=../../scripts/wine-env.sh
source scripts/wine-env.sh
kestrave_wine_up --xvfb
trap 'kestrave_wine_down; rm -rf "$work"' EXIT
# In the 64-bit view: with Wine's 32-bit half installed, "wine reg" may be the 32-bit one,
# which sees HKLM\Software through Wow6432Node.
has_key() { wine reg query "$1" /reg:64 >/dev/null 2>&1; }
msi() { wine msiexec "$@" /qn; local rc=$?; wineserver -w; return $rc; }
shortcut() { find "$WINEPREFIX/drive_c" -iname 'Kestrave.lnk' | head -1; }
for arch in x64 x86; do
  old="$work/a/Kestrave-$version-$arch.msi"
  new="$work/c/Kestrave-$newer-$arch.msi"
  oldCode="$(property "$old" ProductCode)"
  newCode="$(property "$new" ProductCode)"
  # The 32-bit package's files and entry are where Windows puts a 32-bit program's.
  folder="$WINEPREFIX/drive_c/Program Files/Kestrave"
  software='HKLM\Software'
  if [ "$arch" = x86 ]; then
    folder="$WINEPREFIX/drive_c/Program Files (x86)/Kestrave"
    software='HKLM\Software\Wow6432Node'
  fi
  uninstall="$software\\Microsoft\\Windows\\CurrentVersion\\Uninstall"
  key="$uninstall\\$oldCode"
  newKey="$uninstall\\$newCode"
  check "$arch: the product code is the same in both builds and differs for $newer" \
    test "$oldCode" = "$(property "$work/b/Kestrave-$version-$arch.msi" ProductCode)" -a "$oldCode" != "$newCode"
  check "$arch: both versions share one upgrade code" \
    test "$(property "$old" UpgradeCode)" = "$(property "$new" UpgradeCode)"
  check "$arch: msiexec /i /qn installs $version" msi /i "$(winepath -w "$old")"
  check "$arch: the program is in Program Files\\Kestrave, as built" \
    cmp -s "$folder/Kestrave.exe" "$work/a/Kestrave-$version-$arch.exe"
  check "$arch: the console twin is beside it, as built" \
    cmp -s "$folder/Kestrave.com" "$work/a/Kestrave-$version-$arch.com"
  check "$arch: a Start-menu shortcut is made" test -n "$(shortcut)"
  echo "        (Wine puts it in $(shortcut | sed "s|$WINEPREFIX/drive_c|C:|"))"
  check "$arch: the uninstall entry is there" has_key "$key"
  source_key='HKLM\SYSTEM\CurrentControlSet\Services\EventLog\Application\Kestrave'
  installed="$(winepath -w "$folder/Kestrave.exe")"
  check "$arch: the event source names the installed program as its message file" \
    bash -c "wine reg query '$source_key' /v EventMessageFile /reg:64 2>/dev/null | tr -d '\r' | grep -qiF '$installed'"
  if [ "$arch" = x64 ] || dpkg -s wine32:i386 >/dev/null 2>&1; then
    said="$(wine "$(winepath -w "$folder/Kestrave.exe")" /status 2>/dev/null | tr -d '\r')"
    check "$arch: the installed program answers /status ($said)" \
      bash -c "echo '$said' | grep -q '打印机后台服务'"
    # By the folder and the bare name, as the README tells: the twin answers, and cmd waits
    # for it and passes on its exit code.
    said="$(wine cmd /c "cd /d $(winepath -w "$folder") && Kestrave /status" 2>/dev/null | tr -d '\r')"
    code=$?
    check "$arch: \"Kestrave /status\" in its folder runs the twin ($said, exit $code)" \
      bash -c "echo '$said' | grep -q '打印机后台服务' && [[ '$code' =~ ^[013]$ ]]"
    said="$(wine cmd /c "cd /d $(winepath -w "$folder") && Kestrave" 2>&1 | tr -d '\r' | head -1)"
    check "$arch: with no switch the twin prints its usage ($said)" \
      bash -c "echo '$said' | grep -q '^用法：Kestrave.com'"
  fi
  check "$arch: the $newer package installs over it" msi /i "$(winepath -w "$new")"
  check "$arch: the program is now $newer's" cmp -s "$folder/Kestrave.exe" "$work/c/Kestrave-$newer-$arch.exe"
  check "$arch: and so is its twin" cmp -s "$folder/Kestrave.com" "$work/c/Kestrave-$newer-$arch.com"
  check "$arch: $version's uninstall entry went with it" bash -c "! wine reg query '$key' /reg:64 >/dev/null 2>&1"
  check "$arch: $newer's uninstall entry is there" has_key "$newKey"
  check "$arch: msiexec /x by product code removes it" msi /x "$newCode"
  check "$arch: no program folder is left" test ! -e "$folder"
  check "$arch: no shortcut is left" test -z "$(shortcut)"
  check "$arch: no uninstall entry is left" bash -c "! wine reg query '$newKey' /reg:64 >/dev/null 2>&1"
  check "$arch: the event source's key is gone, not just emptied" \
    bash -c "! wine reg query '$source_key' /reg:64 >/dev/null 2>&1"
  check "$arch: no installer key names a Kestrave file" \
    bash -c "! grep -qi 'Kestrave\\\\\\\\Kestrave.exe' '$WINEPREFIX/system.reg'"
done
elapsed "$t0"
echo "release tests: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
