#!/usr/bin/env bash
# The main job: installs the sample application with the real wizard under Wine on a
# display of its own, then uninstalls it again through "INSTALL.EXE /r". A driver program
# clicks through the pages and answers the messages; every page's texts are printed and a
# screenshot of each window is saved. Arguments: "ja" for a Japanese run; "--docs" also
# puts the screenshots into docs/ as LANG-NAME.png, the pictures the README shows.
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

E2E_NAME=demo
# shellcheck source=../tests/e2e/lib.sh
. tests/e2e/lib.sh
export BENCH_KEEP=1
e2e_start "demo-$lang" "$([ "$lang" = ja ] && echo ja)" || exit 1
e2e_package package
shots=$BUILD_DIR/demo-$lang-screenshots
rm -rf "$shots"

title="Sample Editor"
caption=$(e2e_text "Installation of $title" "${title}のインストール")
s=$(e2e_scenario install <<EOT
wait "$caption"
log "--- destination page"
texts
shot 1-destination-page
click 0x3024
log "--- shortcut options page"
expectvisible 1006 1
texts
check 1005 1
shot 2-shortcut-options-page
click 0x3024
log "--- copy page"
settle 30000
expectenabled 0x3025 1
settle 3000
texts
shot 3-copy-page-done
click 0x3025
answer "$title" 1
EOT
)
# show_log NAME: what the driver saw, without the controls of hidden pages.
show_log() {
    grep -v -e '\[hidden\]' -e '^driver:' "$E2E_LOGS/$E2E_CASE-$E2E_CASE-$1.log"
}

echo "== installing $title from C:\\package"
e2e_drive "$s" 'C:\package\INSTALL.EXE'
status=$?
show_log install
echo "== installed files:"
(cd "$E2E_C/SampleEd" && find . -type f | sort)
echo "== uninstall entry:"
bench_run reg query 'HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall\SampleEd' 2>/dev/null | tr -d '\r' | grep -v '^$'
echo "== shortcuts:"
(cd "$E2E_C/users" && find . -name '*.lnk' | sort)

# Uninstall: a file of the user's in the folder is asked about; the registry keys of the
# [Reg] section are made first, as the application would have.
printf 'my notes\r\n' >"$E2E_C/SampleEd/notes.txt"
for key in 'HKCU\Software\SampleSoft\SampleEd\Settings' 'HKLM\SOFTWARE\SampleSoft\SampleEd' 'HKCR\SampleEd.Document\shell'; do
    bench_run reg add "$key" /v Demo /d 1 /f >/dev/null 2>&1
done
ucaption=$(e2e_text "Uninstallation of $title" "${title}の削除")
s=$(e2e_scenario uninstall <<EOT
wait "$title"
texts
shot 4-uninstall-confirmation
answer "$title" 1
wait "$title"
texts
shot 5-file-question
answer "$title" 6
wait "$ucaption" 20000
expectenabled 2 1
texts
shot 6-uninstall-outcome
click 2
gone "$ucaption"
EOT
)
echo "== uninstalling through C:\\SampleEd\\INSTALL.EXE /r"
e2e_drive "$s" 'C:\SampleEd\INSTALL.EXE' /r || status=1
show_log uninstall
echo "== left behind: $( [ -e "$E2E_C/SampleEd" ] && echo 'C:\SampleEd' || echo nothing in C:\\SampleEd)"
mkdir -p "$shots"
cp "$BENCH_SHOTS"/*.png "$shots"/ 2>/dev/null
bench_stop
echo "== screenshots: $shots"
ls "$shots"
if [ "$docs" = 1 ]; then
    for png in "$shots"/*.png; do
        cp "$png" "docs/$lang-$(basename "$png")" || status=1
    done
    echo "== copied into docs/ as $lang-*.png"
fi
exit $status
