#!/usr/bin/env bash
# Uninstallation end to end, in English and Japanese: the sample is installed through the
# wizard, [Reg] keys and shortcuts are laid out, then the installed program is run with /r.
# Checked: Cancel on the confirmation changes nothing; a complete uninstallation leaves no
# file, folder, key, uninstall entry or shortcut and records the system-directory copy for
# deletion at the next start; a user file kept with No gives the folder message and the
# "Some file in" outcome; a locked entry 1 stops with two messages and a second run after
# unlocking completes.  With E2E_SHORT=1 only the complete uninstallation runs.
# shellcheck source=lib.sh
. "$(dirname "$0")/lib.sh"

UN_SCENARIOS=$E2E_ROOT/tests/e2e/scenarios
UN_HOLD=$E2E_TOOLS/hold_file.exe
UN_KEY='HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall\SampleEd'
UN_SHELL='HKCU\Software\Microsoft\Windows\CurrentVersion\Explorer\Shell Folders'
UN_PENDING='HKLM\System\CurrentControlSet\Control\Session Manager'

# scenario FILE: a copy of a scenario file in the logs, named after the case.
scenario() {
    local out=$E2E_LOGS/$E2E_CASE-$1
    cp "$UN_SCENARIOS/$1" "$out" && echo "$out"
}

# The unix form of a shell folder of the bench's user (or all users with HKLM).
shell_folder() {
    local key=$UN_SHELL
    [ "$1" = "Common Programs" ] && key='HKLM\Software\Microsoft\Windows\CurrentVersion\Explorer\Shell Folders'
    bench_unixpath "$(bench_reg_query "$key" "$1")"
}

# Installs the sample into C:\SampleEd through the wizard of the build under test, with
# both shortcuts; the program may be given (INSTALL-SEAM.exe).
install_sample() {
    local program=${1:-INSTALL.exe}
    e2e_package pkg "$E2E_BIN/$program"
    # No file is opened after the installation: an editor window would only get in the way.
    sed -i '/^Open=/d' "$E2E_C/pkg/install.inf"
    e2e_drive "$(scenario "uninstall_install_$E2E_LANG.txt")" 'C:\pkg\INSTALL.EXE' &&
        [ -e "$E2E_C/SampleEd/sample.exe" ] && e2e_reg_has "$UN_KEY"
}

# The [Reg] keys of the sample, each with a sub-key and a value, and the extra shortcuts
# (Startup link and all-users group) that the removal deletes whether it made them or not.
lay_out_extras() {
    local key
    for key in 'HKCU\Software\SampleSoft\SampleEd\Sub' 'HKLM\SOFTWARE\SampleSoft\SampleEd\Sub' \
        'HKCR\SampleEd.Document\shell\open\command'; do
        bench_reg add "$key" /v x /d y /f >/dev/null 2>&1
    done
    bench_reg add 'HKCU\Software\SampleSoft\Other' /v x /d y /f >/dev/null 2>&1
    mkdir -p "$UN_STARTUP" "$UN_COMMON/Sample Editor"
    echo L >"$UN_STARTUP/Sample Editor.lnk"
    echo L >"$UN_COMMON/Sample Editor/Sample Editor.lnk"
}

# Waits (up to 10 s, stretched as the bench's waits) for the uninstalling copy in the
# system directory to have ended.
wait_copy_ended() {
    local _
    for _ in $(seq $((100 * BENCH_TIME_FACTOR))); do
        bench_run tasklist 2>/dev/null | grep -qi '^install.exe' || return 0
        sleep 0.1
    done
    return 1
}

# in_folder NAME: the installation folder holds NAME in any letter case.
in_folder() {
    [ -n "$(find "$E2E_C/SampleEd" -maxdepth 1 -iname "$1" 2>/dev/null)" ]
}

# pending_has_copy: a delayed deletion of the copy in the build's system directory.
pending_has_copy() {
    bench_reg_query "$UN_PENDING" PendingFileRenameOperations 2>/dev/null |
        grep -qi "windows\\\\$(basename "$BENCH_SYSDIR")\\\\INSTALL.EXE"
}

# links_made: the group's Read Me link and the desktop link exist; else what is there.
links_made() {
    [ -e "$UN_PROGRAMS/Sample Editor/Read Me.lnk" ] && [ -e "$UN_DESKTOP/Sample Editor.lnk" ] && return 0
    echo "      | programs: $UN_PROGRAMS: $(ls "$UN_PROGRAMS" "$UN_PROGRAMS/Sample Editor" 2>&1 | tr '\n' ' ')"
    echo "      | desktop: $UN_DESKTOP: $(ls "$UN_DESKTOP" 2>&1 | tr '\n' ' ')"
    return 1
}

keys_gone() {
    ! e2e_reg_has 'HKCU\Software\SampleSoft\SampleEd' &&
        ! e2e_reg_has 'HKLM\SOFTWARE\SampleSoft\SampleEd' &&
        ! e2e_reg_has 'HKCR\SampleEd.Document' &&
        e2e_reg_has 'HKCU\Software\SampleSoft\Other'
}

shortcuts_gone() {
    [ ! -e "$UN_PROGRAMS/Sample Editor" ] && [ ! -e "$UN_DESKTOP/Sample Editor.lnk" ] &&
        [ ! -e "$UN_STARTUP/Sample Editor.lnk" ] && [ ! -e "$UN_COMMON/Sample Editor" ]
}

uninstall_case() {
    local lang=$1 started
    started=$(date +%s)
    e2e_start "uninstall-$lang" "$([ "$lang" = ja ] && echo ja)" || return
    UN_PROGRAMS=$(shell_folder Programs)
    UN_DESKTOP=$(shell_folder Desktop)
    UN_STARTUP=$(shell_folder Startup)
    UN_COMMON=$(shell_folder "Common Programs")
    local sys=$BENCH_SYSDIR

    # 1. A complete uninstallation.
    check "$lang: the wizard installs the sample" install_sample
    check "$lang: the program group and desktop link were made" links_made
    lay_out_extras
    local before
    before=$(cd "$E2E_C/SampleEd" && ls -lR | md5sum)
    check "$lang: Cancel on the confirmation" \
        e2e_drive "$(scenario "uninstall_cancel_$lang.txt")" 'C:\SampleEd\INSTALL.EXE' /r
    check "$lang: Cancel changed nothing" test "$(cd "$E2E_C/SampleEd" && ls -lR | md5sum)" = "$before"
    check "$lang: Cancel left the keys and the entry" e2e_reg_has "$UN_KEY"
    check "$lang: Cancel started no copy" test ! -e "$sys/INSTALL.EXE"

    check "$lang: the uninstallation runs to its success sentence" \
        e2e_drive "$(scenario "uninstall_full_$lang.txt")" 'C:\SampleEd\INSTALL.EXE' /r
    check "$lang: the uninstalling copy ended" wait_copy_ended
    check "$lang: no installed file or folder is left" test ! -e "$E2E_C/SampleEd"
    check "$lang: the uninstall entry is gone" eval "! e2e_reg_has '$UN_KEY'"
    check "$lang: the [Reg] keys are gone, a sibling stays" keys_gone
    check "$lang: group, desktop, Startup and all-users links are gone" shortcuts_gone
    check "$lang: the system-directory copy awaits deletion at the next start" pending_has_copy
    bench_reboot
    check "$lang: the next start deletes the copy" test ! -e "$sys/INSTALL.EXE"
    if [ "$E2E_SHORT" = 1 ]; then
        skip "$lang: the other uninstallations" "$E2E_SHORT_WHY"
    else
        more_uninstall_cases "$lang"
    fi
    cp "$BENCH_SHOTS"/*.png "$E2E_LOGS"/ 2>/dev/null
    bench_stop
    echo "  ($lang took $(( $(date +%s) - started )) s)"
}

# more_uninstall_cases LANG: the uninstallations after the complete one, in its bench.
more_uninstall_cases() {
    local lang=$1 sys=$BENCH_SYSDIR
    # 2. A user file kept with No; the delayed move refused (test variant of the program),
    # so the copy is recorded in the [Rename] section of WININIT.INI instead.
    local wininit=$E2E_C/windows/WININIT.INI
    check "$lang: the sample is installed again (test variant)" install_sample INSTALL-SEAM.exe
    lay_out_extras
    echo mine >"$E2E_C/SampleEd/user.txt"
    printf '[boot]\r\nshell=x\r\n[Rename]\r\nNUL=C:\\OLD.TMP\r\n[other]\r\nk=v\r\n' >"$wininit"
    export INSTALL_SEAM_MOVEFILEEX_FAIL=1
    check "$lang: No for a user file gives the folder message and the remainder outcome" \
        e2e_drive "$(scenario "uninstall_keep_$lang.txt")" 'C:\SampleEd\INSTALL.EXE' /r
    unset INSTALL_SEAM_MOVEFILEEX_FAIL
    wait_copy_ended
    check "$lang: the user file stays, the installed files went" \
        eval "in_folder user.txt && ! in_folder sample.exe && ! in_folder install.exe && ! in_folder install.inf"
    check "$lang: the entry and shortcuts went all the same" eval "! e2e_reg_has '$UN_KEY' && shortcuts_gone"
    check "$lang: WININIT.INI ends with the old and the new [Rename] line" \
        test "$(tail -n 3 "$wininit" | tr '[:upper:]' '[:lower:]')" = "$(printf '[rename]\r\nnul=c:\\old.tmp\r\nnul=c:\\windows\\%s\\install.exe\r' "$(basename "$sys")")"
    check "$lang: WININIT.INI kept its other sections" grep -q '^k=v' "$wininit"
    check "$lang: no delayed move was recorded instead" eval "! pending_has_copy"
    bench_reboot
    check "$lang: the next start deletes the copy through WININIT.INI" test ! -e "$sys/INSTALL.EXE"
    rm -rf "$E2E_C/SampleEd"

    # 3. Entry 1 locked, then a second run after unlocking.
    check "$lang: the sample is installed a third time" install_sample
    lay_out_extras
    local flag=$E2E_C/held.flag
    rm -f "$flag"
    bench_spawn "$UN_HOLD" 'C:\SampleEd\sample.exe' 'C:\held.flag'
    local holder=$BENCH_PID _
    for _ in $(seq 100); do [ -e "$flag" ] && break; sleep 0.1; done
    check "$lang: the helper holds sample.exe" test -e "$flag"
    check "$lang: a locked entry 1 stops with two messages" \
        e2e_drive "$(scenario "uninstall_locked_$lang.txt")" 'C:\SampleEd\INSTALL.EXE' /r
    wait_copy_ended
    check "$lang: the locked run left entry 1, the inf, the installer and the entry" \
        eval "in_folder sample.exe && in_folder install.inf && in_folder install.exe && e2e_reg_has '$UN_KEY'"
    check "$lang: the locked run already removed the later entries" test ! -e "$E2E_C/SampleEd/readme.txt"
    check "$lang: the locked run kept the shortcuts" test -e "$UN_DESKTOP/Sample Editor.lnk"
    rm -f "$flag"
    bench_wait "$holder" 10 >/dev/null 2>&1 || bench_kill "$holder"
    check "$lang: the second run after unlocking completes" \
        e2e_drive "$(scenario "uninstall_full_$lang.txt")" 'C:\SampleEd\INSTALL.EXE' /r
    wait_copy_ended
    check "$lang: after the second run nothing is left" \
        eval "[ ! -e '$E2E_C/SampleEd' ] && ! e2e_reg_has '$UN_KEY' && shortcuts_gone && keys_gone"

    # An installation so deep that the relaunch command (system directory, the program's
    # name, " x " and the installed program's path of 232 characters) is longer than a
    # path: laid out as the wizard lays out the package, with this build's program, and
    # uninstalled through /r.
    local top long dir
    top=Long$(printf '%0116d' 0)
    long=$(printf '%096d' 0)
    dir=$E2E_C/$top/$long
    mkdir -p "$dir/plugins"
    cp "$E2E_C/pkg/"{sample.exe,readme.txt,sample.cfg,install.inf} "$dir/"
    cp "$E2E_C/pkg/plug.dll" "$dir/plugins/"
    cp "$E2E_BIN/INSTALL.exe" "$dir/INSTALL.EXE"
    check "$lang: an installation path of 232 characters is uninstalled through /r" \
        e2e_drive "$(scenario "uninstall_full_$lang.txt")" "C:\\$top\\$long\\INSTALL.EXE" /r
    wait_copy_ended
    check "$lang: nothing is left of the deep installation" test ! -e "$dir"
}

for lang in $E2E_LANGS; do uninstall_case "$lang"; done
e2e_summary
