# The Debian package as a user gets it: built by CPack from this build, installed with apt-get,
# the installed program started from the menu's command line and showing its window, then
# removed again. Needs root, and a machine where orvane is not installed already.

if [ "$(id -u)" -ne 0 ]; then
  echo "skipped: installing the package needs root"
  exit 77
fi
if [ "${ORVANE_E2E_SANITIZE:-0}" = 1 ]; then
  echo "skipped: the package is made from the Release build, not the sanitizer build"
  exit 77
fi
if dpkg-query -W -f='${Status}' orvane 2>/dev/null | grep -q "install ok installed"; then
  echo "skipped: orvane is installed on this machine already, and this case would replace it"
  exit 77
fi
for tool in cpack dpkg-deb dpkg-shlibdeps apt-get; do
  command -v "$tool" >/dev/null || { echo "skipped: $tool is not installed (./dev setup installs it)"; exit 77; }
done

BUILD=${ORVANE_E2E_BUILD_DIR:?the build folder}
cpack --config "$BUILD/CPackConfig.cmake" -G DEB -B "$E2E_TMP/pkg" >"$E2E_TMP/cpack.log" 2>&1 ||
  fail "cpack: $(tail -5 "$E2E_TMP/cpack.log")"
VERSION=$("$BUILD/src/app/orvane" --version | awk '{print $2}')
DEB=$E2E_TMP/pkg/orvane_${VERSION}_amd64.deb
[ -f "$DEB" ] || fail "no $DEB: $(ls "$E2E_TMP/pkg")"

# What the package holds and asks for.
CONTENTS=$(dpkg-deb -c "$DEB" | awk '{print $6}')
for f in usr/bin/orvane usr/bin/orvane-text usr/share/applications/orvane.desktop \
         usr/share/icons/hicolor/scalable/apps/orvane.svg usr/share/orvane/help/index.html \
         usr/share/man/man1/orvane.1.gz usr/share/man/man1/orvane-text.1.gz \
         usr/share/metainfo/org.orvane.Orvane.metainfo.xml; do
  grep -qx "\./$f" <<<"$CONTENTS" || fail "the package lacks /$f"
done
# The AppStream description fits the files beside it (its launchable names the desktop file).
if command -v appstreamcli >/dev/null; then
  dpkg-deb -x "$DEB" "$E2E_TMP/tree"
  appstreamcli validate-tree --no-net "$E2E_TMP/tree" >"$E2E_TMP/appstream.log" 2>&1 ||
    fail "appstreamcli validate-tree: $(cat "$E2E_TMP/appstream.log")"
fi
DEPENDS=$(dpkg-deb -f "$DEB" Depends)
for lib in libqt6widgets6 libqt6gui6 libqt6core6 libstdc++6; do
  grep -q "\b$lib\b" <<<"$DEPENDS" || fail "Depends lacks $lib: $DEPENDS"
done

at_exit 'DEBIAN_FRONTEND=noninteractive apt-get purge -y -qq -o DPkg::Lock::Timeout=120 orvane >/dev/null 2>&1'
DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends -o DPkg::Lock::Timeout=120 \
  "$DEB" >"$E2E_TMP/apt.log" 2>&1 || fail "apt-get install: $(tail -5 "$E2E_TMP/apt.log")"
expect_eq "installed version" "$(dpkg-query -W -f='${Version}' orvane)" "$VERSION"
expect_eq "orvane --version" "$(/usr/bin/orvane --version)" "orvane $VERSION"
/usr/bin/orvane-text detect "$DEB" >/dev/null 2>&1 || fail "the installed orvane-text does not run"

# The desktop file's command, as a launcher starts it.
EXEC=$(sed -n 's/^Exec=\([^ ]*\).*/\1/p' /usr/share/applications/orvane.desktop)
[ -x "/usr/bin/$EXEC" ] || fail "the desktop file starts $EXEC, which the package does not hold in /usr/bin"

# It opens a Shift_JIS file in its window; the text reaches the clipboard as other programs read it.
printf '\x93\xfa\x96\x7b\x8c\xea\r\n' >"$E2E_TMP/sjis.txt"  # 日本語 CR LF
ORVANE=/usr/bin/orvane
start_app "$E2E_TMP/sjis.txt"
xdotool getwindowname "$WINDOW" | grep -q '^sjis.txt - ' || fail "title: $(xdotool getwindowname "$WINDOW")"
grab_window "$ARTIFACTS/debian_package.png"
key ctrl+a ctrl+c
expect_eq "the file's text" "$(clipboard)" 日本語
key alt+f
key x
wait_exit

DEBIAN_FRONTEND=noninteractive apt-get purge -y -qq -o DPkg::Lock::Timeout=120 orvane >"$E2E_TMP/apt.log" 2>&1 ||
  fail "apt-get purge: $(tail -5 "$E2E_TMP/apt.log")"
[ ! -e /usr/bin/orvane ] && [ ! -e /usr/share/orvane ] || fail "files are left after removing the package"
