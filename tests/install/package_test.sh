#!/usr/bin/env bash
# package_test.sh: makes the Debian package of the build (cpack, into a folder of its own) and judges it
# with Debian's own tools: lintian reports no error and no warning, appstreamcli accepts the AppStream
# entry, desktop-file-validate the desktop entry. The package holds exactly the tree that
# cmake --install lays out (which installed_game_test.sh plays) under /usr, a copyright file in the
# machine-readable format whose licence text is LICENSE's, and the changelog of this version.
#
#   package_test.sh CMAKE CPACK BUILD_DIR SOURCE_DIR VERSION
set -euo pipefail
cmake_command=$1 cpack_command=$2 build_dir=$3 source_dir=$4 version=$5

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() {
    echo "FAIL: $*" >&2
    exit 1
}
for tool in lintian appstreamcli desktop-file-validate dpkg-deb; do
    command -v "$tool" >/dev/null || fail "$tool is not installed (tools/setup.sh installs it)"
done

"$cpack_command" --config "$build_dir/CPackConfig.cmake" -G DEB -B "$work/out" >"$work/cpack.log" 2>&1 ||
    { cat "$work/cpack.log"; fail "cpack failed"; }
deb=$work/out/vorpaline_${version}_amd64.deb
[ -f "$deb" ] || fail "cpack made no $(basename "$deb"): $(ls "$work/out")"
dpkg-deb -x "$deb" "$work/package"
[ "$(dpkg-deb -f "$deb" Section)" = games ] || fail "the package's section is not games"

# The same files as an installation into /usr.
"$cmake_command" --install "$build_dir" --prefix "$work/installed/usr" >/dev/null
(cd "$work/package" && find . -type f | sort) >"$work/package.files"
(cd "$work/installed" && find . -type f | sort) >"$work/installed.files"
diff -u "$work/installed.files" "$work/package.files" || fail "the package's files differ from an installation (- installed, + packaged)"
for file in usr/games/vorpaline usr/libexec/vorpaline/vorpaline usr/libexec/vorpaline/vorpaline-replay; do
    [ -x "$work/package/$file" ] || fail "the package has no executable $file"
done

# lintian: every tag it reports at its default levels (errors and warnings) fails; information is shown.
status=0
lintian --display-info --fail-on error,warning "$deb" >"$work/lintian.out" 2>&1 || status=$?
grep -v 'running with root privileges' "$work/lintian.out" || true
[ "$status" -eq 0 ] && ! grep -qE '^[EW]: ' "$work/lintian.out" || fail "lintian reports errors or warnings"

metainfo=$work/package/usr/share/metainfo/io.github.vorpaline.vorpaline.metainfo.xml
appstreamcli validate --no-net "$metainfo" || fail "appstreamcli does not accept the AppStream entry"
grep -qF '<release version="'"$version"'"' "$metainfo" || fail "the AppStream entry has no release $version"
desktop-file-validate "$work/package/usr/share/applications/vorpaline.desktop" || fail "desktop-file-validate"

# The copyright file: machine-readable, the zlib licence for every file, in LICENSE's words.
copyright=$work/package/usr/share/doc/vorpaline/copyright
[ "$(head -n 1 "$copyright")" = "Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/" ] ||
    fail "the copyright file is not in the machine-readable format"
grep -qx 'Files: \*' "$copyright" && grep -qx 'License: Zlib' "$copyright" || fail "the copyright file does not give every file the zlib licence"
# The stand-alone licence paragraph, its lines unindented and "." lines made blank, against the licence
# in LICENSE (from its first blank line up to the note on what it covers).
awk 'licence { sub(/^ /, ""); sub(/^\.$/, ""); print } previous == "" && $0 == "License: Zlib" { licence = 1 } { previous = $0 }' \
    "$copyright" >"$work/copyright.licence"
sed -n '3,/^3\./p' "$source_dir/LICENSE" >"$work/LICENSE.licence"
diff -u "$work/LICENSE.licence" "$work/copyright.licence" || fail "the copyright file's licence is not LICENSE's"

changelog=$(gzip -dc "$work/package/usr/share/doc/vorpaline/changelog.gz" | head -n 1)
[[ "$changelog" == "vorpaline ($version) "* ]] || fail "the changelog's latest entry is \"$changelog\", not version $version"
echo "package: $(basename "$deb"), accepted by lintian, appstreamcli and desktop-file-validate"
