#!/bin/sh
# The Debian package built from a build folder and unpacked into a scratch root, as a user would get it; the
# menu entry and the metadata pass their validators without a warning.
set -eu
build=$1
id=org.tamber98.tamber98
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

(cd "$build" && cpack -G DEB -B "$work/out" >"$work/cpack.log" 2>&1) || { cat "$work/cpack.log"; exit 1; }
deb=$(ls "$work"/out/*.deb)
dpkg-deb -x "$deb" "$work/root"

icons=usr/share/icons/hicolor
for f in usr/bin/tamber98 usr/bin/tamber98-report usr/share/applications/$id.desktop usr/share/metainfo/$id.metainfo.xml \
         usr/share/mime/packages/$id.xml $icons/scalable/apps/$id.svg $icons/16x16/apps/$id.png $icons/48x48/apps/$id.png \
         $icons/256x256/apps/$id.png; do
  [ -f "$work/root/$f" ] || { echo "package lacks $f"; exit 1; }
done

"$work/root/usr/bin/tamber98-report" --help | grep -q "tamber98-report" || { echo "report tool does not run"; exit 1; }
# The program answers these on the terminal, without a display.
DISPLAY= "$work/root/usr/bin/tamber98" --version | grep -qx "Tamber 98 [0-9.]*" \
  && DISPLAY= "$work/root/usr/bin/tamber98" --help | grep -q "^用法: tamber98" || { echo "tamber98 --help or --version fails"; exit 1; }

desktop="$work/root/usr/share/applications/$id.desktop"
grep -qx "Name=Tamber 98" "$desktop" && grep -qx "Categories=Office;Finance;" "$desktop" \
  && grep -qx "Exec=tamber98 %f" "$desktop" && grep -qx "Icon=$id" "$desktop" \
  && grep -qx "MimeType=application/x-tamber98-plan;" "$desktop" \
  || { echo "menu entry is wrong"; cat "$desktop"; exit 1; }
# desktop-file-validate reports warnings with status 0: any output fails.
out=$(desktop-file-validate "$desktop" 2>&1) && [ -z "$out" ] || { echo "$out"; exit 1; }
# appstreamcli fails on warnings; its pedantic notes ("P:" lines) fail here too.
out=$(appstreamcli validate --pedantic --no-net "$work/root/usr/share/metainfo/$id.metainfo.xml" 2>&1) \
  && ! echo "$out" | grep -q '^[EWIP]:' || { echo "$out"; exit 1; }

# The plan file type, compiled as the desktop does: *.tbr files are plan
# files, shown with the program's icon and described in Chinese and English.
mime="$work/root/usr/share/mime"
out=$(XDG_DATA_DIRS="$work/root/usr/share" update-mime-database "$mime" 2>&1) && [ -z "$out" ] \
  || { echo "update-mime-database: $out"; exit 1; }
type="$mime/application/x-tamber98-plan.xml"
grep -qx "application/x-tamber98-plan:\*\.tbr" "$mime/globs" \
  && grep -qx "application/x-tamber98-plan:$id" "$mime/icons" \
  && grep -q "<comment>Tamber 98 plan file</comment>" "$type" \
  && grep -q "<comment xml:lang=\"zh_TW\">Tamber 98 計劃檔</comment>" "$type" \
  || { echo "plan file type is wrong"; cat "$mime/globs" "$mime/icons" "$type"; exit 1; }

depends=$(dpkg-deb -f "$deb" Depends)
for d in libqt6widgets6 libqt6printsupport6 libqcustomplot2.1-qt6 libical3 qt6-qpa-plugins qt6-translations-l10n fonts-arphic-uming; do
  echo "$depends" | grep -q "$d" || { echo "Depends lacks $d: $depends"; exit 1; }
done
echo "package ok: $(basename "$deb")"
