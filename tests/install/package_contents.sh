#!/bin/sh
# Builds the Debian package from the build tree, unpacks it into a scratch
# root (dpkg-deb -x) and checks its name, control fields and file list, the
# launcher and metainfo against the desktop validators, and that the unpacked
# velmora-cli runs. Exit 77: a tool is missing (ctest shows it skipped).
# Arguments: CPACK BUILD_DIR VERSION
set -eu
cpack=$1 build=$2 version=$3

for tool in dpkg dpkg-deb dpkg-shlibdeps desktop-file-validate appstreamcli; do
    if ! command -v "$tool" >/dev/null; then
        echo "skipped: $tool is missing (scripts/install-deps.sh installs it)"
        exit 77
    fi
done

fail() {
    echo "package_contents: $*" >&2
    exit 1
}

work=$build/package-test
rm -rf "$work"
mkdir -p "$work"
if ! "$cpack" --config "$build/CPackConfig.cmake" -G DEB -B "$work" >"$work/cpack.log" 2>&1; then
    cat "$work/cpack.log"
    fail "cpack failed"
fi

arch=$(dpkg --print-architecture)
deb=$work/velmora_${version}_${arch}.deb
[ -f "$deb" ] || fail "no $deb; made: $(ls "$work")"

field() { dpkg-deb -f "$deb" "$1"; }
[ "$(field Package)" = velmora ] || fail "Package: $(field Package)"
[ "$(field Version)" = "$version" ] || fail "Version: $(field Version)"
# Library dependencies come from the binaries, the platform plugins by hand.
for dependency in libc6 libqt6core6 libqt6widgets6 libstdc++6 qt6-qpa-plugins; do
    field Depends | tr ',' '\n' | grep -q "^ *$dependency\( \|$\)" ||
        fail "Depends lacks $dependency: $(field Depends)"
done

dpkg-deb -c "$deb" | awk '/^-/ { print $6 }' | sort >"$work/files"
sort >"$work/expected" <<'LIST'
./usr/bin/velmora
./usr/bin/velmora-cli
./usr/lib/velmora/media/velmora-media.so
./usr/lib/velmora/unicode/velmora-unicode.so
./usr/share/applications/org.velmora.Velmora.desktop
./usr/share/bash-completion/completions/velmora-cli
./usr/share/doc/velmora/changelog.gz
./usr/share/fish/vendor_completions.d/velmora-cli.fish
./usr/share/doc/velmora/copyright
./usr/share/icons/hicolor/128x128/apps/velmora.png
./usr/share/icons/hicolor/16x16/apps/velmora.png
./usr/share/icons/hicolor/22x22/apps/velmora.png
./usr/share/icons/hicolor/24x24/apps/velmora.png
./usr/share/icons/hicolor/256x256/apps/velmora.png
./usr/share/icons/hicolor/32x32/apps/velmora.png
./usr/share/icons/hicolor/48x48/apps/velmora.png
./usr/share/icons/hicolor/512x512/apps/velmora.png
./usr/share/icons/hicolor/64x64/apps/velmora.png
./usr/share/icons/hicolor/scalable/apps/velmora.svg
./usr/share/lintian/overrides/velmora
./usr/share/man/man1/velmora-cli.1.gz
./usr/share/man/man1/velmora.1.gz
./usr/share/metainfo/org.velmora.Velmora.metainfo.xml
./usr/share/velmora/Help.txt
./usr/share/velmora/Hilfe.txt
./usr/share/velmora/translations/velmora_en.qm
./usr/share/zsh/vendor-completions/_velmora-cli
LIST
diff -u "$work/expected" "$work/files" || fail "file list differs"

root=$work/root
dpkg-deb -x "$deb" "$root"
launcher=$root/usr/share/applications/org.velmora.Velmora.desktop
metainfo=$root/usr/share/metainfo/org.velmora.Velmora.metainfo.xml
grep -qx 'Exec=velmora %f' "$launcher" || fail "launcher: $(grep ^Exec "$launcher")"
! grep -q '^MimeType' "$launcher" || fail "launcher offers itself for a type"
desktop-file-validate "$launcher" || fail "desktop-file-validate failed"
appstreamcli validate --no-net "$metainfo" >"$work/appstream.log" 2>&1 ||
    { cat "$work/appstream.log"; fail "appstreamcli validate failed"; }
grep -q '<id>org.velmora.Velmora</id>' "$metainfo" || fail "metainfo id"
grep -q '<launchable type="desktop-id">org.velmora.Velmora.desktop</launchable>' "$metainfo" ||
    fail "metainfo launchable"
grep -q '<project_license>GPL-3.0-or-later</project_license>' "$metainfo" || fail "licence"
grep -q '^License: GPL-3.0-or-later' "$root/usr/share/doc/velmora/copyright" || fail "copyright"

"$root/usr/bin/velmora-cli" --help >"$work/help" || fail "installed velmora-cli --help failed"
grep -q 'read-tag' "$work/help" || fail "installed velmora-cli --help: $(cat "$work/help")"
# An ID3v2 header sends read-tag to TagLib, in the library beside the program.
printf 'ID3\004\000\000\000\000\000\000' >"$work/a.mp3"
head -c 128 /dev/zero >>"$work/a.mp3"
"$root/usr/bin/velmora-cli" read-tag --json "$work/a.mp3" >"$work/tag" 2>&1 || true
! grep -q 'could not be loaded' "$work/tag" || fail "installed velmora-cli: $(cat "$work/tag")"

# A letter outside ASCII sends the letter case to ICU, in the library
# beside the program.
mkdir "$work/names" && touch "$work/names/ärger.txt"
LC_ALL=C.UTF-8 "$root/usr/bin/velmora-cli" rename --slot1 upper --dry-run "$work/names" \
    >"$work/case" 2>&1 || true
grep -q 'ÄRGER.TXT' "$work/case" || fail "installed velmora-cli upper case: $(cat "$work/case")"
# Without that library the program must not quietly keep the case.
mkdir "$work/alone" && cp "$root/usr/bin/velmora-cli" "$work/alone/"
status=0
LC_ALL=C.UTF-8 "$work/alone/velmora-cli" rename --slot1 upper --dry-run "$work/names" \
    >"$work/case" 2>&1 || status=$?
[ "$status" = 127 ] && grep -q 'velmora-unicode.so' "$work/case" ||
    fail "velmora-cli without its Unicode library: status $status, $(cat "$work/case")"

rm -rf "$work"
echo "package_contents: velmora_${version}_${arch}.deb as expected"
