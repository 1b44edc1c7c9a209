#!/bin/sh
# Lintian's verdict on the package: no error or warning, and none of the
# hardening and stripping notes. Overrides, each with its reason, are in
# data/lintian-overrides. Exit 77: lintian is missing.
# Arguments: DEB
set -eu
deb=$1
command -v lintian >/dev/null || { echo "skipped: lintian is missing"; exit 77; }
report=$(lintian -I --pedantic --tag-display-limit 0 "$deb" 2>&1 || true)
echo "$report"
bad=$(echo "$report" | grep -E '^(E|W): |hardening-no-fortify-functions|hardening-no-bindnow|binary-has-unneeded-section' || true)
[ -z "$bad" ] || { echo "lintian_check: refused"; exit 1; }
echo "lintian_check: $(basename "$deb") clean"
