#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Brings the translation files up to date with the texts the sources pass
# through tr(): new texts arrive unfinished, texts gone from the sources are
# dropped. Then translate the unfinished ones (Qt Linguist, or by hand) and
# commit; the i18n test fails while any text lacks a finished translation.
# Usage: translations/update.sh
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
root=$(cd "$here/.." && pwd)

# As the build finds it: Qt's tool folder first, then the PATH.
lupdate=$(qtpaths6 --query QT_HOST_BINS 2>/dev/null)/lupdate
[ -x "$lupdate" ] || lupdate=$(command -v lupdate || true)
[ -x "$lupdate" ] || { echo "lupdate not found: install qt6-l10n-tools" >&2; exit 1; }

cd "$root"
for ts in "$here"/ardesia_*.ts; do
    "$lupdate" -silent -locations none -no-obsolete client common protocol server -ts "$ts"
done
