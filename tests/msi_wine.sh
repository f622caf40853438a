#!/usr/bin/env bash
# The installer under Wine, in a prefix of its own (a copy of the tests' one,
# Windows 10). ICON must hold the images of the table below, each of the size
# its entry says; msiexec /i MSI /qn must install the files of FILES alone into
# %LOCALAPPDATA%\Programs\Tavrik, a Start-menu shortcut Tavrik to that
# tavrik.exe with the icon ICON, and one Installed apps entry (Tavrik, the
# package's version, ICON, MsiExec /X); the shortcut's program must pass the
# smoke test; LATER must replace it, leaving its own entry alone; msiexec /x,
# as Installed apps runs it, must leave C: as before the first install, but for
# Windows Installer's own cache folders, and no HKCU\Software\Tavrik.
# Usage: msi_wine.sh MSI LATER.msi FILES ICON.ico SCREENSHOT.png
set -euo pipefail
msi=$1 later=$2 files=$3 icon=$4 shot=$5
here=$(dirname "$(realpath "$0")")
fail() { echo "FAIL: $*"; exit 1; }

shared=${WINEPREFIX:-${XDG_CACHE_HOME:-$HOME/.cache}/tavrik/wine}
export WINEPREFIX=$shared-msi
rm -rf "$WINEPREFIX"
[ ! -f "$shared/system.reg" ] || cp -a "$shared" "$WINEPREFIX"
drive=$WINEPREFIX/drive_c state=$WINEPREFIX.state
wine() { "$here/wine.sh" "$@" | tr -d '\r'; }
# C:\A\B as this machine's path, and this machine's path as Z:\...
unix() { local path=${1#[Cc]:}; echo "$drive${path//\\//}"; }
windows() { local path; path=$(realpath "$1"); echo "Z:${path//\//\\}"; }
property() { msiinfo export "$1" Property | tr -d '\r' | awk -F '\t' -v name="$2" '$1 == name {print $2}'; }
snapshot() { (cd "$drive" && find . | LC_ALL=C sort); }

# What Windows shows: Installed apps (Wine keeps even a per-user product's
# entry under HKLM), the icon Windows Installer keeps for it, HKCU\Software\Tavrik.
read_state() {
  wine cmd /c "echo LOCALAPPDATA=%LOCALAPPDATA%& echo APPDATA=%APPDATA%& uninstaller --list&\
    reg query HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall /s&\
    reg query HKCU\\Software\\Microsoft\\Installer\\Products /s /v ProductIcon& reg query HKCU\\Software\\Tavrik" \
    >"$state" || true # the last query fails once Tavrik is gone
  local_data=$(sed -n 's/^LOCALAPPDATA=//p' "$state") app_data=$(sed -n 's/^APPDATA=//p' "$state")
}
# value KEY NAME: the data of the value NAME of the registry key KEY.
value() { key=$1 name=$2 awk -F '    ' '/^HKEY_/ {here = $0 == ENVIRON["key"]}
  here && $2 == ENVIRON["name"] {print $4}' "$state"; }

installed() {
  local package=$1 code version key entry folder shortcut start shortcut_icon
  code=$(property "$package" ProductCode) version=$(property "$package" ProductVersion)
  read_state
  [ "$(grep '|||' "$state")" = "$code|||Tavrik" ] ||
    fail "after $package, Installed apps lists '$(grep '|||' "$state" | paste -sd' ')', not $code alone"
  key="HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\$code"
  entry="$(value "$key" DisplayName), $(value "$key" DisplayVersion), $(value "$key" UninstallString)"
  [ "$entry" = "Tavrik, $version, MsiExec.exe /X$code" ] || fail "Installed apps entry: $entry"
  cmp "$(unix "$(awk -F '    ' '$2 == "ProductIcon" {print $4}' "$state")")" "$icon" ||
    fail "the icon of the Installed apps entry is not $icon"
  [ "$(ls "$(unix "$local_data\\Programs")")" = Tavrik ] || fail "not one folder Tavrik in $local_data\\Programs"
  folder=$local_data\\Programs\\Tavrik
  [ "$(ls "$(unix "$folder")")" = "$(ls "$files")" ] || fail "$folder holds $(ls "$(unix "$folder")")"
  for f in "$files"/*; do cmp "$f" "$(unix "$folder")/${f##*/}" || fail "$folder\\${f##*/} is not $f"; done
  # The shortcut: its target (LinkInfo's local path), its folder to start in, its icon.
  shortcut=$(unix "$app_data\\Microsoft\\Windows\\Start Menu\\Programs")
  [ "$(ls "$shortcut" | grep -i tavrik)" = Tavrik.lnk ] || fail "no shortcut Tavrik alone in the Start menu"
  { read -r target && read -r start && read -r shortcut_icon; } < <(python3 - "$shortcut/Tavrik.lnk" <<'PY'
import struct, sys
data = open(sys.argv[1], "rb").read()
flags, pos = struct.unpack_from("<I", data, 20)[0], 76
if flags & 1:  # an item list first
    pos += 2 + struct.unpack_from("<H", data, pos)[0]
size, path = struct.unpack_from("<I12xI", data, pos)  # LinkInfo, and its local path
texts = [data[pos + path:data.index(b"\0", pos + path)].decode("latin-1")]
pos += size
for bit in (4, 8, 16, 32, 64):  # name, relative path, folder, arguments, icon
    length = struct.unpack_from("<H", data, pos)[0] if flags & bit else 0
    texts.append(data[pos + 2:pos + 2 + 2 * length].decode("utf-16-le"))
    pos += 2 + 2 * length if flags & bit else 0
print(texts[0], texts[3], texts[5], sep="\n")
PY
  )
  [ "$target" = "$folder\\tavrik.exe" ] || fail "the shortcut's target is '$target', not $folder\\tavrik.exe"
  [ "$start" = "$folder\\" ] || fail "the shortcut starts in '$start', not $folder\\"
  cmp "$(unix "$shortcut_icon")" "$icon" || fail "the shortcut's icon is not $icon"
  echo "installed $package: $code, $entry, shortcut to $target"
}

python3 - "$icon" <<'PY' || fail "$icon does not hold the installer's images"
import struct, sys
WANTED = [  # every size Windows draws the shortcut and Installed apps at
    (16, "32-bit BMP"), (20, "32-bit BMP"), (24, "32-bit BMP"), (32, "32-bit BMP"),
    (40, "32-bit BMP"), (48, "32-bit BMP"), (64, "32-bit BMP"), (256, "PNG"),
]
data = open(sys.argv[1], "rb").read()
found = []
for entry in range(struct.unpack_from("<4xH", data)[0]):
    width, height, _, _, _, _, size, offset = struct.unpack_from("<4B2H2I", data, 6 + 16 * entry)
    assert offset + size <= len(data), f"image {entry} runs past the end"
    image = data[offset:offset + size]
    if image.startswith(b"\x89PNG\r\n\x1a\n"):
        own, kind = struct.unpack_from(">II", image, 16), "PNG"  # IHDR's width, height
    else:  # BITMAPINFOHEADER, twice the height for the mask
        _, own_width, own_height, _, bits = struct.unpack_from("<IiiHH", image)
        own, kind = (own_width, own_height // 2), f"{bits}-bit BMP"
    found.append(((width or 256, height or 256), own, kind))
wanted = [((size, size), (size, size), kind) for size, kind in WANTED]
if sorted(found) != wanted:
    sys.exit(f"(entry's size, image's size, format): {found}, expected {wanted}")
PY

before=$(snapshot)
wine msiexec /i "$(windows "$msi")" /qn || fail "msiexec /i $msi: status $?"
installed "$msi"
TAVRIK_RUNNER=$here/wine.sh "$here/smoke_xvfb.sh" "$target" "$shot"
wine msiexec /i "$(windows "$later")" /qn || fail "msiexec /i $later: status $?"
installed "$later"
code=$(property "$later" ProductCode)
wine msiexec /x "$code" /qn || fail "msiexec /x $code: status $?"
read_state
! grep '|||' "$state" || fail "Installed apps still lists the above after msiexec /x"
! grep -x 'HKEY_CURRENT_USER\\Software\\Tavrik' "$state" || fail "HKCU\\Software\\Tavrik is still there"
cache=$(unix "$app_data\\Microsoft\\Installer")
left=$(diff <(echo "$before") <(snapshot | grep -vx -e ./windows/Installer -e ".${cache#"$drive"}") || true)
[ -z "$left" ] || fail "after msiexec /x, C: differs from before the install:"$'\n'"$left"
echo "PASS: installed, the shortcut's program smoke-tested, upgraded in place, uninstalled leaving nothing"
