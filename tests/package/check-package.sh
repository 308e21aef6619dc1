#!/bin/sh
# Builds the Debian package from a build folder, unpacks it into a scratch
# root and checks what a user would get: the programs, the menu entry, the
# icons, the metadata, the dependencies, and a report tool that runs.
set -eu
build=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

(cd "$build" && cpack -G DEB -B "$work/out" >"$work/cpack.log" 2>&1) || { cat "$work/cpack.log"; exit 1; }
deb=$(ls "$work"/out/*.deb)
dpkg-deb -x "$deb" "$work/root"

for f in usr/bin/tamber98 usr/bin/tamber98-report \
         usr/share/applications/tamber98.desktop \
         usr/share/metainfo/tamber98.metainfo.xml \
         usr/share/icons/hicolor/scalable/apps/tamber98.svg \
         usr/share/icons/hicolor/16x16/apps/tamber98.png \
         usr/share/icons/hicolor/48x48/apps/tamber98.png \
         usr/share/icons/hicolor/256x256/apps/tamber98.png; do
  [ -f "$work/root/$f" ] || { echo "package lacks $f"; exit 1; }
done

"$work/root/usr/bin/tamber98-report" --help | grep -q "tamber98-report" || { echo "report tool does not run"; exit 1; }

desktop="$work/root/usr/share/applications/tamber98.desktop"
grep -qx "Name=Tamber 98" "$desktop" && grep -qx "Categories=Office;Finance;" "$desktop" \
  && grep -qx "Exec=tamber98" "$desktop" || { echo "menu entry is wrong"; cat "$desktop"; exit 1; }
if command -v desktop-file-validate >/dev/null; then desktop-file-validate "$desktop"; fi

depends=$(dpkg-deb -f "$deb" Depends)
for d in libqt6widgets6 libqt6printsupport6 libqcustomplot2.1-qt6 libical3 qt6-qpa-plugins qt6-translations-l10n fonts-arphic-uming; do
  echo "$depends" | grep -q "$d" || { echo "Depends lacks $d: $depends"; exit 1; }
done
echo "package ok: $(basename "$deb")"
