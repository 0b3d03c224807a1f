#!/usr/bin/env bash
# The main job: a trial of the sample application (scripts/trial.sh). The sample is
# installed with the real wizard under Wine on a display of its own, with the desktop
# link; a file of the user's and a key below a [Reg] key (its document type's command) are
# made, as the application would; then it is uninstalled through "INSTALL.EXE /r", the
# file question answered Yes, and what stays behind is reported. A picture of each page and message goes to
# build/demo-LANG-screenshots/. Arguments: "ja" for a Japanese run; "--docs" also puts the
# pictures the README shows into docs/ as LANG-NAME.png.
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root" || exit 1
lang=en docs=0
for arg in "$@"; do
    case $arg in
        ja | en) lang=$arg ;;
        --docs) docs=1 ;;
        *) echo "usage: scripts/demo.sh [en|ja] [--docs]" >&2; exit 2 ;;
    esac
done
export BUILD_DIR=${BUILD_DIR:-$root/build}
bash scripts/bootstrap.sh || exit 1
scripts/build.sh >/dev/null || exit 1

shots=$BUILD_DIR/demo-$lang-screenshots
use='echo my notes> notes.txt & reg add HKCR\SampleEd.Document\shell\open\command /ve /d C:\SampleEd\sample.exe /f'
flags=(--desktop --after-install "$use" --shots "$shots")
[ "$lang" = ja ] && flags+=(--ja)
scripts/trial.sh "${flags[@]}" sample
status=$?

# The README's pictures, named by what they show.
if [ "$docs" = 1 ]; then
    for pair in 1-destination-page 2-shortcut-options-page 3-copy-page-done \
        uninstall-box-1:4-uninstall-confirmation uninstall-box-2:5-file-question \
        4-uninstall-outcome:6-uninstall-outcome; do
        cp "$shots/${pair%%:*}.png" "docs/$lang-${pair#*:}.png" || status=1
    done
    echo "== copied into docs/ as $lang-*.png"
fi
exit $status
