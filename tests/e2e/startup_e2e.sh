#!/usr/bin/env bash
# Start-up end to end, in English and Japanese: the refusals before any wizard (no setup
# information file, a Title named like the Startup folder, an old host) and the uninstall
# request (Cancel changes nothing; OK copies the program into the system directory and
# starts the copy, which opens the uninstall dialog; a failing start is reported), and
# "//r" and "//x <path>", which are install mode and leave the installation alone.  With
# E2E_SHORT=1 nothing runs: the uninstall script's short form covers the uninstall request.
# shellcheck source=lib.sh
. "$(dirname "$0")/lib.sh"

startup_case() {
    local lang=$1
    e2e_start "startup-$lang" "$([ "$lang" = ja ] && echo ja)" || return
    local error damaged startup old
    error=$(e2e_text "Error" "エラー")
    damaged=$(e2e_text "Damaged file, or NO Information file." "設定ファイルが壊れているか、または見つかりません。")
    startup=$(e2e_text "Unable to install in the StartUp." "スタートアップにはインストールできません。")
    old=$(e2e_text 'Unable to execute the program on Windows 3.X.\nNeeds Windows 95/NT(4.0) or later for the execution.' \
                   'Windows 3.X では実行できません。\n実行には Windows 95/NT(4.0) 以降が必要です。')

    # No setup information file beside the program.
    mkdir -p "$E2E_C/bare"
    cp "$E2E_BIN/INSTALL.exe" "$E2E_C/bare/INSTALL.EXE"
    local s
    s=$(e2e_scenario damaged <<EOT
answer "$error" 1 "$damaged"
EOT
)
    check "$lang: no setup information file is reported" e2e_drive "$s" 'C:\bare\INSTALL.EXE'

    # A title equal to the Startup folder's name.
    e2e_package startup
    sed -i 's/^Title=.*/Title=StartUp/' "$E2E_C/startup/install.inf"
    s=$(e2e_scenario startup <<EOT
answer "$error" 1 "$startup"
EOT
)
    check "$lang: a title named like the Startup folder is refused" e2e_drive "$s" 'C:\startup\INSTALL.EXE'

    # A host below major version 4 is refused before the setup information file is looked for.
    cp "$E2E_BIN/INSTALL-SEAM.exe" "$E2E_C/bare/INSTALL.EXE"
    s=$(e2e_scenario oldhost <<EOT
answer "$error" 1 "$old"
EOT
)
    export INSTALL_SEAM_MAJOR=3
    check "$lang: an old host is refused first" e2e_drive "$s" 'C:\bare\INSTALL.EXE'
    unset INSTALL_SEAM_MAJOR

    request_case "$lang"
    bench_stop
}

# other_sysdir: the system directory of the other build (system32 or syswow64).
other_sysdir() {
    if [ "$(basename "$BENCH_SYSDIR")" = system32 ]; then echo "$E2E_C/windows/syswow64"
    else echo "$E2E_C/windows/system32"; fi
}

# An installation laid out by hand, as the wizard leaves it, then the uninstall request.
request_case() {
    local lang=$1 title="Sample Editor" sys=$BENCH_SYSDIR
    e2e_package SampleEd
    mkdir -p "$E2E_C/SampleEd/plugins" && mv "$E2E_C/SampleEd/plug.dll" "$E2E_C/SampleEd/plugins/"
    bench_reg add 'HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall\SampleEd' \
        /v UninstallString /d '"C:\SampleEd\INSTALL.EXE" /r' /f >/dev/null 2>&1
    local confirm
    confirm=$(e2e_text "$title will be uninstalled." "${title}を削除します。")
    local before
    before=$(ls -l "$E2E_C/SampleEd" | md5sum)

    # Only one leading "/" is stepped over: "//x <path>" and "//r" open the install wizard
    # of the program's own package; the installation named after "x" is not touched.
    local s wizard interrupted tail
    wizard=$(e2e_text "Installation of $title" "${title}のインストール")
    interrupted=$(e2e_text "Installation was interrupted." "インストールは中断されました。")
    e2e_package other
    for tail in '//x C:\SampleEd\INSTALL.EXE' '//r'; do
        s=$(e2e_scenario doubleslash <<EOT
wait "$wizard"
expect 1001 "C:\\\\SampleEd\\\\"
click 2
answer "$title" 1 "$interrupted"
EOT
)
        # shellcheck disable=SC2086  # the tail is split into its arguments on purpose
        check "$lang: '$tail' opens the install wizard" e2e_drive "$s" 'C:\other\INSTALL.EXE' $tail
        check "$lang: '$tail' left the installation as it was" test "$(ls -l "$E2E_C/SampleEd" | md5sum)" = "$before"
        check "$lang: '$tail' started no copy in the system directory" test ! -e "$sys/INSTALL.EXE"
    done

    s=$(e2e_scenario cancel <<EOT
answer "$title" 2 "$confirm"
EOT
)
    check "$lang: Cancel on the uninstall question" e2e_drive "$s" 'C:\SampleEd\INSTALL.EXE' /r
    check "$lang: Cancel left no copy in the system directory" test ! -e "$sys/INSTALL.EXE"
    check "$lang: Cancel left the installation as it was" test "$(ls -l "$E2E_C/SampleEd" | md5sum)" = "$before"
    check "$lang: Cancel left the uninstall entry" e2e_reg_has 'HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall\SampleEd'

    # The copy cannot be started: reported, and the installation stays.
    local error relaunch
    error=$(e2e_text "Error" "エラー")
    relaunch=$(e2e_text "Failed in executing the uninstallation program.  Uninstall unnecessary files manually." \
                        "アンインストール用プログラムの起動に失敗しました。手動で削除してください。")
    cp "$E2E_BIN/INSTALL-SEAM.exe" "$E2E_C/SampleEd/INSTALL.EXE"
    s=$(e2e_scenario relaunch <<EOT
answer "$title" 1 "$confirm"
answer "$error" 1 "$relaunch"
EOT
)
    export INSTALL_SEAM_WINEXEC_FAIL=1
    check "$lang: a copy that cannot be started is reported" e2e_drive "$s" 'C:\SampleEd\INSTALL.EXE' /r
    unset INSTALL_SEAM_WINEXEC_FAIL
    check "$lang: after the failed start the installation stays" test -e "$E2E_C/SampleEd/sample.exe"
    cp "$E2E_BIN/INSTALL.exe" "$E2E_C/SampleEd/INSTALL.EXE"
    rm -f "$sys/INSTALL.EXE"

    local caption outcome
    caption=$(e2e_text "Uninstallation of $title" "${title}の削除")
    outcome="expect 1008 \"$(e2e_text "$title has been successfully uninstalled." "${title}は正常に削除されました。")\""
    s=$(e2e_scenario request <<EOT
answer "$title" 1 "$confirm"
wait "$caption" 20000
shot request-$lang-dialog
settle 20000
$outcome
click 2
gone "$caption"
EOT
)
    check "$lang: OK starts the copy in uninstall-run mode" e2e_drive "$s" 'C:\SampleEd\INSTALL.EXE' /r
    check "$lang: the program was copied into the system directory" cmp -s "$E2E_BIN/INSTALL.exe" "$sys/INSTALL.EXE"
    check "$lang: and into no other" test ! -e "$(other_sysdir)/INSTALL.EXE"
    check "$lang: the copy removed the installed folder it was given" test ! -e "$E2E_C/SampleEd"
}

if [ "$E2E_SHORT" = 1 ]; then
    skip "start-up cases" "$E2E_SHORT_WHY"
else
    for lang in $E2E_LANGS; do startup_case "$lang"; done
fi
e2e_summary
