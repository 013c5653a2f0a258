#!/usr/bin/env bash
# Checks the Debian package `make package` built in BUILD_DIR (default build) the way Debian does:
# lintian, desktop-file-validate on the desktop entry, appstreamcli on the AppStream metadata (without
# network: the screenshot and homepage addresses are not fetched) and man's own warnings on the
# manual page. Any error or warning fails the check (exit 1); informational tags are only shown.
set -euo pipefail
shopt -s nullglob
build=${1:-build}
config="$build/CPackConfig.cmake"
[ -f "$config" ] || { echo "check-package: $config missing; run make package first" >&2; exit 2; }
version=$(sed -n 's/^set(CPACK_PACKAGE_VERSION "\(.*\)")$/\1/p' "$config")
deb="$build/korvan_${version}_$(dpkg --print-architecture).deb"
[ -f "$deb" ] || { echo "check-package: $deb missing; run make package first" >&2; exit 2; }

for tool in lintian desktop-file-validate appstreamcli man dpkg-deb; do
    command -v "$tool" > /dev/null || { echo "check-package: $tool missing (make package-check installs it as root)" >&2; exit 2; }
done

failed=0
fail() { echo "check-package: $1" >&2; failed=1; }

echo "== lintian $deb"
lintian --fail-on error,warning --display-info "$deb" || fail "lintian reports errors or warnings"

tree=$(mktemp -d)
trap 'rm -rf "$tree"' EXIT
dpkg-deb -x "$deb" "$tree"

echo "== desktop-file-validate"
entries=("$tree"/usr/share/applications/*.desktop)
[ ${#entries[@]} -gt 0 ] || fail "no desktop entry in usr/share/applications"
for entry in "${entries[@]}"; do
    # Warnings are printed, but only errors change the exit status.
    report=$(desktop-file-validate "$entry" 2>&1) || fail "desktop-file-validate: errors in ${entry#"$tree"}"
    [ -z "$report" ] || { echo "$report"; fail "desktop-file-validate: warnings in ${entry#"$tree"}"; }
done

echo "== appstreamcli validate --no-net"
metainfo=("$tree"/usr/share/metainfo/*.metainfo.xml)
if [ ${#metainfo[@]} -gt 0 ]; then
    appstreamcli validate --no-net --strict "${metainfo[@]}" || fail "appstreamcli validate"
    appstreamcli validate-tree --no-net --strict "$tree" || fail "appstreamcli validate-tree"
else
    fail "no AppStream metainfo in usr/share/metainfo"
fi

echo "== man --warnings"
pages=("$tree"/usr/share/man/man*/*.gz)
[ ${#pages[@]} -gt 0 ] || fail "no manual page in usr/share/man"
for page in "${pages[@]}"; do
    report=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l "$page" 2>&1 > /dev/null) || fail "man cannot show ${page#"$tree"}"
    [ -z "$report" ] || { echo "$report"; fail "man warns about ${page#"$tree"}"; }
done

if [ "$failed" = 0 ]; then
    echo "check-package: $deb passes"
fi
exit "$failed"
