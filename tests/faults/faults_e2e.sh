#!/usr/bin/env bash
# Faults end to end: the program killed at spread points of the copy page (a package of
# 500 files and the sample) and then run again, or uninstalled where its entry was
# written; the uninstallation killed at spread points and run again (the installed /r,
# or else the copy in the system directory with x); a full disk (a small tmpfs mapped
# as drive D:); a second run in the middle of an installation and of an uninstallation.
# Each fault adds its figures (runs, recovered, files and keys lost or left) to a table
# printed at the end. FAULTS_ROUNDS=N repeats every fault N times, each round with
# other kill points (FAULTS_FIRST_ROUND=K starts at round K; FAULTS_POINTS=N keeps N of a
# round's points spread over the 500 files). FAULTS_PARTS names the parts to run (default:
# all of "install uninstall sample second disk").
# shellcheck source=lib.sh
. "$(dirname "$0")/lib.sh"

# fa_install_lines [rerun]: a run of the wizard into the proposed folder with both links;
# the kill run stops on the copy page, the rerun answers Yes to every overwrite question
# and ends with Finish.
fa_install_lines() {
    # The driver looks every 10 ms: a run again answers up to 500 questions.
    local lines=("timeout 30000" "poll 10" "wait \"$FA_CAPTION\"" "click 0x3024")
    # A setup information file in a folder that no uninstall entry names (no run that
    # comes here has one): go on there.
    if [ -n "$(fa_installed_as install.inf)" ]; then
        lines+=("answer \"$FA_TITLE\" 7 \"$FA_UNINFO\"")
    fi
    lines+=("check 1006 1" "check 1005 1" "click 0x3024")
    [ "${1:-}" = rerun ] && lines+=("settle 180000" "answerall \"$FA_CONFIRM\" 6 1007 \"$FA_SUCCEEDED\""
        "click 0x3025" "answer \"$FA_TITLE\" 1 \"$FA_COMPLETED\"")
    printf '%s\n' "${lines[@]}"
}

# fa_uninstall_lines: /r confirmed, the dialog's success, Finish.
fa_uninstall_lines() {
    [ "${1:-}" = x ] || echo "answer \"$FA_TITLE\" 1 \"$FA_REMOVE\""
    printf '%s\n' "wait \"$FA_UNCAPTION\" 20000" "settle 20000" "expectenabled 2 1" \
        "expect 1008 \"$FA_REMOVED\"" "click 2" "gone \"$FA_UNCAPTION\""
}

# fa_target N: the relative destination of [Install] entry N of the package (Unix form).
fa_target() {
    local value
    value=$(sed -n '/^\[Install\]/,/^\[/p' "$FA_PKG/install.inf" | tr -d '\r' | sed -n "s/^$1=//p")
    value=${value#*,}
    printf '%s\n' "${value//\\//}"
}

# fa_installed_as NAME: the file of FA_DEST named NAME in any letter case (empty if none).
fa_installed_as() { find "$FA_DEST" -maxdepth 1 -iname "$1" 2>/dev/null | head -n1; }

# fa_half_written: the installed files that differ from their source (a copy cut short).
fa_half_written() {
    [ -d "$FA_DEST" ] || return 0
    (cd "$FA_DEST" && md5sum -c --quiet "$FA_EXPECT.md5" 2>/dev/null) | grep -v 'open or read' |
        sed -n 's|^\./\(.*\): FAILED$|\1|p'
}

# --- 1. Killed during the install -------------------------------------------------

# install_kill POINT TEST...: drives the package to its copy page (for the points end-page
# and box on to the finished page or the closing message), kills the program when TEST
# holds, then recovers: the uninstall entry written means /r, else the program runs
# again. Counts into the figures of FA_FAULT.
install_kill() {
    local point=$1 pid launcher log=$E2E_LOGS/$E2E_CASE-kill.log half left lost=0 keys=0 ok=1 route
    shift
    bench_spawn "$FA_PKGWIN\\INSTALL.EXE"
    launcher=$BENCH_PID pid=$BENCH_PID
    # The 64-bit loader hands a 32-bit program to a process of its own (its own PID goes on
    # as start.exe, which waits for it): the kill is for the program's process.
    if [ "$E2E_ARCH" = i686 ]; then
        pid=$(fa_wait_process "$FA_PKGWIN\\INSTALL.EXE" "$launcher") || pid=$launcher
    fi
    local lines
    lines=$(fa_install_lines)
    case $point in
        end-page) lines+=$'\n'"settle 180000"$'\n'"expect 1007 \"$FA_SUCCEEDED\"" ;;
        box) lines+=$'\n'"settle 180000"$'\n'"expect 1007 \"$FA_SUCCEEDED\""$'\n'"click 0x3025"$'\n'"wait \"$FA_TITLE\"" ;;
    esac
    printf '%s\n' "$lines" | e2e_scenario kill >/dev/null
    if ! bench_run "$E2E_TOOLS/driver.exe" "$(bench_winpath "$E2E_LOGS/$E2E_CASE-kill.txt")" >"$log" 2>&1; then
        sed 's/^/      | /' "$log" | tail -15
        bench_kill "$pid"
        bench_kill "$launcher"
        fail "$FA_FAULT, $point: the program reached its kill point"
        fa_clear
        return
    fi
    if ! fa_kill_when "$pid" "$@"; then
        fail "$FA_FAULT, $point: the program was killed at its point"
        bench_kill "$pid"
    fi
    [ "$launcher" = "$pid" ] || bench_wait "$launcher" 10 >/dev/null 2>&1 || bench_kill "$launcher"
    # A kill that missed the program would let it go on beside the run again.
    if pid=$(fa_process "$FA_PKGWIN\\INSTALL.EXE" "$launcher"); then
        ok=0
        echo "      | the program still ran after its kill"
        kill -9 "$pid"
    fi
    half=$(fa_half_written | tr '\n' ' ')
    if e2e_reg_has "$FA_KEY"; then
        route=/r
        fa_uninstall_lines | e2e_scenario uninstall >/dev/null
        e2e_drive "$E2E_LOGS/$E2E_CASE-uninstall.txt" "$FA_DESTWIN\\INSTALL.EXE" /r || ok=0
        left=$(fa_left)
        [ -z "$left" ] || ok=0
        keys=$(fa_keys_in "$left")
        lost=$(fa_files_in "$left")
    else
        route=again
        fa_install_lines rerun | e2e_scenario rerun >/dev/null
        e2e_drive "$E2E_LOGS/$E2E_CASE-rerun.txt" "$FA_PKGWIN\\INSTALL.EXE" || ok=0
        lost=$(fa_lost)
        [ "$lost" = 0 ] || ok=0
        [ "$(bench_reg_query "$FA_KEY" UninstallString)" = "\"$FA_DESTWIN\\INSTALL.EXE\" /r" ] || { ok=0; keys=1; }
        [ -e "$FA_GROUP" ] && [ -e "$FA_DESKLINK" ] || ok=0
        # A file the kill cut short is asked about (the installer and its setup file excepted).
        local f
        for f in $half; do
            case ${f,,} in install.exe | install.inf) continue ;; esac
            grep -qiF "${f//\//\\}$FA_ALREADY" "$E2E_LOGS/$E2E_CASE-$E2E_CASE-rerun.log" || { ok=0; echo "      | no question about $f"; }
        done
    fi
    local what="$FA_FAULT, killed at $point${half:+ (cut short: $half)}, then $route"
    if [ "$ok" = 1 ]; then pass "$what: every file right"; else fail "$what: lost ${lost:-0} files, $keys keys${left:+, left $left}"; fi
    fa_figure "$FA_FAULT" 1 "$ok" "${lost:-0}" "$keys"
    fa_clear
}

# sample_kills: the sample killed in each of its steps (the folder, the installer, the
# setup information file, each entry, the links and the entry), before the first, on the
# finished page and at the closing message.
sample_kills() {
    local n
    install_kill page true
    install_kill folder test -d "$FA_DEST"
    install_kill installer test -e "$FA_DEST/INSTALL.EXE"
    install_kill inf test -e "$FA_DEST/INSTALL.INF"
    for n in 1 2 3 4; do
        install_kill "entry $n" test -e "$FA_DEST/$(fa_target "$n")"
    done
    install_kill links test -e "$FA_GROUP"
    install_kill end-page true
    install_kill box true
}

# big_kills ROUND: 20 points spread over the 500 entries (24, 48, ... 480, the large
# files, where a kill lands inside the copy); a round takes every other one, the next
# round the others, and later rounds the entry before each (a small file). A run again
# answers one question per file already there, which makes these the long runs.
big_kills() {
    local round=$1 j n
    # shellcheck disable=SC2046  # numbers, one word each
    for j in $(fa_spread $(seq $((1 + round % 2)) 2 20)); do
        n=$((24 * j - round / 2))
        install_kill "entry $n" test -e "$FA_DEST/$(fa_target "$n")"
    done
    install_kill end-page true
}

# --- 2. Killed during the uninstall ----------------------------------------------

# snapshot_installation: installs the package once and keeps a copy of what it made.
snapshot_installation() {
    FA_SNAP=$E2E_LOGS/$E2E_CASE-snapshot
    rm -rf "$FA_SNAP" && mkdir -p "$FA_SNAP"
    fa_install_lines rerun | e2e_scenario install >/dev/null
    e2e_drive "$E2E_LOGS/$E2E_CASE-install.txt" "$FA_PKGWIN\\INSTALL.EXE" && [ "$(fa_lost)" = 0 ] || return 1
    cp -a "$FA_DEST" "$FA_SNAP/dest" && cp -a "$FA_GROUP" "$FA_SNAP/group" && cp -a "$FA_DESKLINK" "$FA_SNAP/desk.lnk"
}

# restore_installation: the installation as the snapshot has it, its entry and [Reg] key.
restore_installation() {
    rm -rf "$FA_DEST" "$FA_GROUP" "$FA_DESKLINK"
    cp -a "$FA_SNAP/dest" "$FA_DEST" && cp -a "$FA_SNAP/group" "$FA_GROUP" && cp -a "$FA_SNAP/desk.lnk" "$FA_DESKLINK"
    local reg=$E2E_LOGS/$E2E_CASE-restore.reg dest=${FA_DESTWIN//\\/\\\\}
    printf '%s\r\n' REGEDIT4 "" "[${FA_KEY/HKLM/HKEY_LOCAL_MACHINE}]" "\"DisplayName\"=\"$FA_TITLE\"" \
        "\"UninstallString\"=\"\\\"$dest\\\\INSTALL.EXE\\\" /r\"" "" \
        "[HKEY_CURRENT_USER\\Software\\FaultSoft\\$FA_FOLDER\\Sub]" "\"x\"=\"y\"" >"$reg"
    bench_reg import "$(bench_winpath "$reg")" >/dev/null 2>&1
}

# uninstall_kill POINT TEST...: /r confirmed; the copy in the system directory is killed
# when TEST holds; then the installed /r again, or else the copy with x.
uninstall_kill() {
    local point=$1 pid program
    local ok=1 left route
    shift
    restore_installation || { fail "$FA_FAULT, $point: the installation was laid out"; return; }
    rm -f "$BENCH_SYSDIR/INSTALL.EXE"
    bench_reg delete "$FA_PENDING" /v PendingFileRenameOperations /f >/dev/null 2>&1
    bench_spawn "$FA_DESTWIN\\INSTALL.EXE" /r
    program=$BENCH_PID
    local lines="answer \"$FA_TITLE\" 1 \"$FA_REMOVE\""
    [ "$point" = outcome ] && lines+=$'\n'"wait \"$FA_UNCAPTION\" 20000"$'\n'"settle 20000"$'\n'"expectenabled 2 1"
    printf '%s\n' "$lines" | e2e_scenario unkill >/dev/null
    bench_run "$E2E_TOOLS/driver.exe" "$(bench_winpath "$E2E_LOGS/$E2E_CASE-unkill.txt")" >"$E2E_LOGS/$E2E_CASE-unkill.log" 2>&1
    bench_wait "$program" 20 >/dev/null 2>&1 || bench_kill "$program"
    if ! pid=$(fa_wait_process "$FA_COPY_SEEN") || ! fa_kill_when "$pid" "$@"; then
        fail "$FA_FAULT, $point: the uninstalling copy was killed at its point"
        pid=$(fa_process "$FA_COPY_SEEN") && kill -9 "$pid"
        return
    fi
    local there
    there=$(find "$FA_DEST" -type f 2>/dev/null | wc -l)
    if [ -n "$(fa_installed_as install.exe)" ] && [ -n "$(fa_installed_as install.inf)" ]; then
        route=/r
        fa_uninstall_lines | e2e_scenario unagain >/dev/null
        e2e_drive "$E2E_LOGS/$E2E_CASE-unagain.txt" "$FA_DESTWIN\\INSTALL.EXE" /r || ok=0
    elif [ -n "$(fa_installed_as install.inf)" ]; then
        route=x
        fa_uninstall_lines x | e2e_scenario unx >/dev/null
        e2e_drive "$E2E_LOGS/$E2E_CASE-unx.txt" "$(fa_copy)" x "$FA_DESTWIN\\INSTALL.EXE" || ok=0
    else
        route=none
    fi
    left=$(fa_left)
    # Without the setup information file neither /r nor x can run: what is left goes only
    # by installing again and uninstalling.
    local unreached='' anew=0
    if [ "$route" = none ] && [ -n "$left" ]; then
        unreached=$left anew=1 route="installing again and /r"
        fa_install_lines rerun | e2e_scenario anew >/dev/null
        fa_uninstall_lines | e2e_scenario unanew >/dev/null
        e2e_drive "$E2E_LOGS/$E2E_CASE-anew.txt" "$FA_PKGWIN\\INSTALL.EXE" &&
            e2e_drive "$E2E_LOGS/$E2E_CASE-unanew.txt" "$FA_DESTWIN\\INSTALL.EXE" /r || ok=0
        left=$(fa_left)
    fi
    # The copy in the system directory deletes itself at the next start, if it got so far.
    if [ -e "$BENCH_SYSDIR/INSTALL.EXE" ] && ! bench_reg_query "$FA_PENDING" PendingFileRenameOperations 2>/dev/null |
        grep -qiF "$(basename "$BENCH_SYSDIR")\\INSTALL.EXE"; then
        left+="${left:+ }system-copy"
        [ -n "$unreached" ] && unreached+=" system-copy"
    fi
    [ -z "$left" ] || ok=0
    local what="$FA_FAULT, killed at $point ($there files there), then $route"
    if [ "$ok" = 1 ]; then
        pass "$what: nothing left${unreached:+ (the uninstall commands could not reach: $unreached)}"
    else
        fail "$what: left $left"
    fi
    [ -n "$unreached" ] || unreached=$left
    fa_figure "$FA_FAULT" 1 "$((ok && !anew))" "$(fa_files_in "$unreached")" "$(fa_keys_in "$unreached")" "$((ok && anew))"
}

# uninstall_kills ROUND: before the work, 14 points spread over the files (500, 467, ...
# 71; a round takes every other one, as big_kills does), then entry 1, the setup
# information file, the folder, the links and the shown outcome.
uninstall_kills() {
    local round=$1 m n
    uninstall_kill dialog true
    # shellcheck disable=SC2046  # numbers, one word each
    for m in $(fa_spread $(seq $((round % 2)) 2 13)); do
        n=$((500 - 33 * m - round / 2))
        uninstall_kill "entry $n" test ! -e "$FA_DEST/$(fa_target "$n")"
    done
    uninstall_kill "entry 1" test ! -e "$FA_DEST/$(fa_target 1)"
    uninstall_kill inf test ! -e "$FA_DEST/INSTALL.INF"
    uninstall_kill folder test ! -e "$FA_DEST"
    uninstall_kill links test ! -e "$FA_GROUP"
    uninstall_kill outcome true
}

# --- 3. A full disk -------------------------------------------------------------

# One mount point per build, so that the two can run at once.
FA_DISK=$E2E_BUILD/faults-disk-$E2E_ARCH

# disk_mount MB: a tmpfs of MB megabytes on FA_DISK (one left over from a killed run is
# unmounted first), mapped as drive D: of the bench; unmounted again on every way out.
disk_mount() {
    disk_unmount
    mkdir -p "$FA_DISK" && mount -t tmpfs -o "size=${1}m" faults-disk "$FA_DISK" || return 1
    trap 'disk_unmount; bench_stop' EXIT
    ln -sfn "$FA_DISK" "$WINEPREFIX/dosdevices/d:"
}

disk_unmount() {
    mountpoint -q "$FA_DISK" 2>/dev/null || return 0
    umount "$FA_DISK" 2>/dev/null || umount -l "$FA_DISK"
}

# disk_package NAME: seven files, three of them too large for what is left of a 3 MB disk
# after the first three; small files after a failed large one still fit.
disk_package() {
    local dir=$E2E_C/$1 n sizes=(900 900 900 900 64 900 32)
    rm -rf "$dir" && mkdir -p "$dir" && cp "$E2E_BIN/INSTALL.exe" "$dir/INSTALL.EXE"
    printf '[Install]\r\nTitle=Disk App\r\nFolder=DiskApp\r\nTSR=0\r\n' >"$dir/install.inf"
    for n in $(seq 1 7); do
        printf '%s=d%s.dat\r\n' "$n" "$n" >>"$dir/install.inf"
        head -c $((sizes[n - 1] * 1024)) /dev/urandom >"$dir/d$n.dat"
    done
}

# disk_lines: the wizard into D:\DiskApp, Yes to the free-space question, OK to every error.
disk_lines() {
    printf '%s\n' "timeout 30000" "poll 10" "wait \"$FA_CAPTION\"" "settext 1001 \"D:\\\\DiskApp\"" \
        "click 0x3024" "answer \"$FA_TITLE\" 6" "check 1006 0" "click 0x3024" "settle 60000" \
        "answerall \"$FA_ERROR\" 1 1007 \"$FA_SUCCEEDED\"" "click 0x3025" "answer \"$FA_TITLE\" 1 \"$FA_COMPLETED\""
}

# disk_reported LOG: the entries whose copy failure a box reported.
disk_reported() {
    grep -o 'd[0-9]\.dat' <<<"$(grep 'answerall: box' "$1")" | sort -u | tr '\n' ' '
}

full_disk() {
    local lang=$1 log reported cut ok=1
    if [ "$(id -u)" != 0 ]; then
        skip "$lang: a full disk" "mounting the small disk needs root"
        return
    fi
    if ! disk_mount 3; then
        skip "$lang: a full disk" "this machine refuses to mount a tmpfs"
        return
    fi
    # On the emulated route every Wine command runs in a mount namespace of its own, a copy
    # made when it starts; the wineserver opens the files, so it must start after the mount.
    [ ${#BENCH_LAUNCH[@]} = 0 ] || bench_reboot || return
    disk_package disk
    fa_use disk "Disk App" DiskApp
    FA_DEST=$FA_DISK/DiskApp FA_DESTWIN='D:\DiskApp'
    fa_expected && fa_links
    disk_lines | e2e_scenario disk >/dev/null
    check "$lang: the install onto a full disk runs to its end" e2e_drive "$E2E_LOGS/$E2E_CASE-disk.txt" "$FA_PKGWIN\\INSTALL.EXE"
    log=$E2E_LOGS/$E2E_CASE-$E2E_CASE-disk.log
    reported=$(disk_reported "$log")
    cut=$(fa_half_written | tr '\n' ' ')
    echo "      | reported: $reported; cut short on the disk: ${cut:-none}"
    check "$lang: some copies failed and were reported" test -n "$reported"
    local f missing=
    for f in $(cd "$FA_EXPECT" && ls); do
        cmp -s "$FA_EXPECT/$f" "$FA_DEST/$f" 2>/dev/null || [[ " $reported " == *" $f "* ]] || missing+=" $f"
    done
    check "$lang: every file not in place was reported${missing:+ (not reported:$missing)}" test -z "$missing"
    check "$lang: no file is left cut short by a failed copy" test -z "$cut"
    [ -z "$missing$cut" ] || ok=0
    # Room again: a second run answers No to every question (the user keeps what looks the
    # same) and must still end with every file whole.
    mount -o remount,size=12m "$FA_DISK"
    printf '%s\n' "timeout 30000" "poll 10" "wait \"$FA_CAPTION\"" "click 0x3024" "answer \"$FA_TITLE\" 6" \
        "click 0x3024" "settle 60000" "answerall \"$FA_CONFIRM\" 7 1007 \"$FA_SUCCEEDED\"" "click 0x3025" \
        "answer \"$FA_TITLE\" 1 \"$FA_COMPLETED\"" | e2e_scenario disk2 >/dev/null
    check "$lang: with room again, a second run keeping the existing files" \
        e2e_drive "$E2E_LOGS/$E2E_CASE-disk2.txt" "$FA_PKGWIN\\INSTALL.EXE"
    local lost
    lost=$(fa_lost)
    check "$lang: ends with every file whole ($lost not)" test "$lost" = 0
    [ "$lost" = 0 ] || ok=0
    fa_uninstall_lines | e2e_scenario disk3 >/dev/null
    check "$lang: the uninstallation removes everything from the disk" \
        e2e_drive "$E2E_LOGS/$E2E_CASE-disk3.txt" "$FA_DESTWIN\\INSTALL.EXE" /r
    local left
    left=$(fa_left)
    check "$lang: nothing is left of the installation${left:+ (left: $left)}" test -z "$left"
    [ -z "$left" ] || ok=0
    fa_figure "full disk" 1 "$ok" "$((lost + $(fa_files_in "$left")))" "$(fa_keys_in "$left")"
    rm -f "$WINEPREFIX/dosdevices/d:"
    disk_unmount
    check "$lang: the small disk is unmounted" eval "! mountpoint -q '$FA_DISK'"
    trap 'bench_stop' EXIT
}

# --- 4. A second run in the middle -----------------------------------------------

# second_install: the first installation stops at an error box (its source of entry 2 held
# open); a second INSTALL.EXE of the same package from another folder runs to its end;
# then the first goes on. Every file must be whole, with one entry and its links.
second_install() {
    local lang=$1 first holder ok=1 lines
    fa_sample first && fa_sample second
    fa_use first "Sample Editor" SampleEd
    fa_expected && fa_links
    bench_spawn "$E2E_TOOLS/hold_file.exe" 'C:\first\readme.txt'
    holder=$BENCH_PID
    local _
    for _ in $(seq 100); do [ -e "$E2E_C/first/readme.txt.held" ] && break; sleep 0.1; done
    bench_spawn 'C:\first\INSTALL.EXE'
    first=$BENCH_PID
    local inuse
    inuse=$(e2e_text "C:\\SampleEd\\readme.txt is in use so that overwriting cannot be executed." \
        "C:\\SampleEd\\readme.txt は他で使用中のため上書きできません。")
    lines=$(fa_install_lines)
    printf '%s\n' "$lines" "settle 30000" "waitclass \"#32770\" \"$FA_ERROR\"" | e2e_scenario first >/dev/null
    bench_run "$E2E_TOOLS/driver.exe" "$(bench_winpath "$E2E_LOGS/$E2E_CASE-first.txt")" >"$E2E_LOGS/$E2E_CASE-first.log" 2>&1 ||
        { ok=0; tail -5 "$E2E_LOGS/$E2E_CASE-first.log"; }
    rm -f "$E2E_C/first/readme.txt.held"
    bench_wait "$holder" 10 >/dev/null 2>&1 || bench_kill "$holder"
    # The second: a destination holding a setup information file that no entry names yet.
    printf '%s\n' "timeout 30000" "poll 10" "waitenabled \"$FA_CAPTION\"" "click 0x3024" \
        "answer \"$FA_TITLE\" 7 \"$FA_UNINFO\"" "check 1006 1" "check 1005 1" "click 0x3024" "settle 30000" \
        "answerall \"$FA_CONFIRM\" 6 1007 \"$FA_SUCCEEDED\"" "click 0x3025" "answer \"$FA_TITLE\" 1 \"$FA_COMPLETED\"" |
        e2e_scenario second >/dev/null
    check "$lang: a second installation runs while the first waits on its copy page" \
        e2e_drive "$E2E_LOGS/$E2E_CASE-second.txt" 'C:\second\INSTALL.EXE' || ok=0
    printf '%s\n' "timeout 30000" "poll 10" "answer \"$FA_ERROR\" 1 \"$inuse\"" "wait \"$FA_CAPTION\"" "settle 30000" \
        "answerall \"$FA_CONFIRM\" 6 1007 \"$FA_SUCCEEDED\"" "click 0x3025" "answer \"$FA_TITLE\" 1 \"$FA_COMPLETED\"" |
        e2e_scenario firstend >/dev/null
    bench_run "$E2E_TOOLS/driver.exe" "$(bench_winpath "$E2E_LOGS/$E2E_CASE-firstend.txt")" >"$E2E_LOGS/$E2E_CASE-firstend.log" 2>&1 ||
        { ok=0; sed 's/^/      | /' "$E2E_LOGS/$E2E_CASE-firstend.log" | tail -8; }
    bench_wait "$first" 20 >/dev/null 2>&1
    [ $? != 124 ] || { bench_kill "$first"; ok=0; }
    check "$lang: then the first one runs to its end" test "$ok" = 1
    local lost
    lost=$(fa_lost)
    check "$lang: after both, every file is whole ($lost not)" test "$lost" = 0
    check "$lang: after both, one entry for the installation and its links" \
        eval "[ \"\$(bench_reg_query '$FA_KEY' UninstallString)\" = '\"C:\\SampleEd\\INSTALL.EXE\" /r' ] && [ -e '$FA_GROUP' ] && [ -e '$FA_DESKLINK' ]"
    [ "$lost" = 0 ] || ok=0
    fa_figure "second install during the copy" 1 "$ok" "$lost" 0
}

# second_uninstall: the first uninstallation stops at an error box (entry 2 held open);
# a second /r runs to its end; then the first goes on. Nothing may be left.
second_uninstall() {
    local lang=$1 holder ok=1
    bench_spawn "$E2E_TOOLS/hold_file.exe" 'C:\SampleEd\readme.txt'
    holder=$BENCH_PID
    local _
    for _ in $(seq 100); do [ -e "$FA_DEST/readme.txt.held" ] && break; sleep 0.1; done
    local failed
    failed=$(e2e_text "Failed in uninstalling C:\\SampleEd\\readme.txt.  Continue the process without uninstalling the file." \
        "C:\\SampleEd\\readme.txtの削除に失敗しました。このファイルをスキップして処理を続行します。")
    bench_spawn "$FA_DESTWIN\\INSTALL.EXE" /r
    printf '%s\n' "answer \"$FA_TITLE\" 1 \"$FA_REMOVE\"" "wait \"$FA_UNCAPTION\" 20000" \
        "waitclass \"#32770\" \"$FA_ERROR\" 20000" | e2e_scenario unfirst >/dev/null
    bench_run "$E2E_TOOLS/driver.exe" "$(bench_winpath "$E2E_LOGS/$E2E_CASE-unfirst.txt")" >"$E2E_LOGS/$E2E_CASE-unfirst.log" 2>&1 || ok=0
    rm -f "$FA_DEST/readme.txt.held"
    bench_wait "$holder" 10 >/dev/null 2>&1 || bench_kill "$holder"
    local pid
    pid=$(fa_process "$FA_COPY_SEEN")
    printf '%s\n' "answer \"$FA_TITLE\" 1 \"$FA_REMOVE\"" "waitenabled \"$FA_UNCAPTION\" 20000" "settle 20000" \
        "expectenabled 2 1" "texts" "click 2" | e2e_scenario unsecond >/dev/null
    check "$lang: a second uninstallation runs while the first waits" \
        e2e_drive "$E2E_LOGS/$E2E_CASE-unsecond.txt" "$FA_DESTWIN\\INSTALL.EXE" /r || ok=0
    printf '%s\n' "answer \"$FA_ERROR\" 1 \"$failed\"" "waitenabled \"$FA_UNCAPTION\" 20000" "settle 20000" \
        "expectenabled 2 1" "texts" "click 2" | e2e_scenario unfirstend >/dev/null
    bench_run "$E2E_TOOLS/driver.exe" "$(bench_winpath "$E2E_LOGS/$E2E_CASE-unfirstend.txt")" >"$E2E_LOGS/$E2E_CASE-unfirstend.log" 2>&1 || ok=0
    [ -n "$pid" ] && { bench_wait "$pid" 20 >/dev/null 2>&1 || true; }
    check "$lang: then the first one runs to its end" test "$ok" = 1
    echo "      | second: $(grep -o 'id=1008.*' "$E2E_LOGS/$E2E_CASE-$E2E_CASE-unsecond.log" | head -n1)"
    echo "      | first:  $(grep -o 'id=1008.*' "$E2E_LOGS/$E2E_CASE-unfirstend.log" | head -n1)"
    local left
    left=$(fa_left)
    check "$lang: after both, nothing is left${left:+ (left: $left)}" test -z "$left"
    [ -z "$left" ] || ok=0
    fa_figure "second uninstall during the uninstall" 1 "$ok" "$(fa_files_in "$left")" "$(fa_keys_in "$left")"
}

# --- the run ----------------------------------------------------------------------

# part NAME: NAME is among the parts to run.
part() { [[ " ${FAULTS_PARTS:-install uninstall sample second disk} " == *" $1 "* ]]; }

faults_case() {
    local lang=$1 round rounds started=$SECONDS
    # Under emulation a 32-bit process takes seconds to start and answers slowly: the
    # moments the kills aim at (a step of a few milliseconds) cannot be hit there.
    if [ "$E2E_ARCH" = i686 ] && [ "$BENCH_ROUTE32" = emulated ]; then
        skip "$FAULTS_BENCH-$lang" "the emulated route for 32-bit programs is too slow to kill the program at chosen moments"
        return
    fi
    e2e_start "$FAULTS_BENCH-$lang" "$([ "$lang" = ja ] && echo ja)" || return
    rm -f "$FAULTS_FIGURES"
    rounds=$(seq "$FAULTS_FIRST_ROUND" $((FAULTS_FIRST_ROUND + FAULTS_ROUNDS - 1)))
    if part install || part uninstall; then
        fa_use big "Big App" BigApp
        fa_big_package big "Big App" BigApp
        fa_expected && fa_links
    fi
    for round in $rounds; do
        part install && FA_FAULT="install of 500 files killed" big_kills "$round"
    done
    echo "  (install kills: $((SECONDS - started)) s)"
    part uninstall && check "$lang: the package is installed for the uninstall kills" snapshot_installation
    for round in $rounds; do
        part uninstall && FA_FAULT="uninstall of 500 files killed" uninstall_kills "$round"
    done
    part install || part uninstall && fa_clear
    echo "  (uninstall kills: $((SECONDS - started)) s)"
    fa_sample sample
    fa_use sample "Sample Editor" SampleEd
    fa_expected && fa_links
    for round in $rounds; do
        part sample && FA_FAULT="install of the sample killed" sample_kills
    done
    echo "  (sample kills: $((SECONDS - started)) s)"
    for round in $rounds; do
        part second && second_install "$lang" && second_uninstall "$lang"
        fa_clear
        part disk && full_disk "$lang"
    done
    echo "  (second runs and full disk: $((SECONDS - started)) s)"
    bench_stop
    fa_table
}

for lang in $E2E_LANGS; do faults_case "$lang"; done
e2e_summary
