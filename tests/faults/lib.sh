# shellcheck shell=bash disable=SC2034  # its variables serve the scripts that source it
# lib.sh - shared steps of the fault scripts, on top of the end-to-end library: the
# packages (the sample, 500 files), the installation's traces, a kill the moment a trace
# appears or goes, the process of this bench that runs a command, and the figures of a
# fault (runs, recovered, files and keys lost) counted into FAULTS_FIGURES.
#
# FAULTS_ROUNDS (default 1) repeats each fault; every round moves the kill points.
# FAULTS_FIRST_ROUND (default 0) starts elsewhere in that sequence, and FAULTS_POINTS=N
# keeps N of a round's points spread over the files, as the test command does.
# shellcheck source=../e2e/lib.sh
. "$(dirname "${BASH_SOURCE[0]}")/../e2e/lib.sh"
FAULTS_ROUNDS=${FAULTS_ROUNDS:-1}
FAULTS_FIRST_ROUND=${FAULTS_FIRST_ROUND:-0}
# FAULTS_BENCH names the bench and the logs (default faults), so that a long run by hand
# and the test command can share a build.
FAULTS_BENCH=${FAULTS_BENCH:-faults}
FAULTS_FIGURES=$E2E_LOGS/$FAULTS_BENCH-$E2E_ARCH-figures.txt
FA_UNINSTALL='HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall'
FA_SHELL='HKCU\Software\Microsoft\Windows\CurrentVersion\Explorer\Shell Folders'
FA_PENDING='HKLM\System\CurrentControlSet\Control\Session Manager'
# The copy that /r starts, as the program names it: its own system directory, which a
# 32-bit program calls system32 too (Wine shows it so in the process's arguments).
FA_COPY_SEEN='C:\windows\system32\INSTALL.EXE'

# fa_texts: the program's texts of the bench's language (FA_TITLE names the package).
fa_texts() {
    FA_CAPTION=$(e2e_text "Installation of $FA_TITLE" "${FA_TITLE}のインストール")
    FA_SUCCEEDED=$(e2e_text "Installation succeeded.  Press <Finish> for completion." \
        "インストールが完了しました。「完了」を押すと終了します。")
    FA_COMPLETED=$(e2e_text "Installation has been completed." "インストールが完了しました。")
    FA_UNINFO=$(e2e_text 'Uninstall information will be destroyed except upgrade.\nDo you assign an other folder?' \
        'バージョンアップ以外では既にあるアンインストール情報が壊されます。\n別のフォルダーを指定しますか？')
    FA_CONFIRM=$(e2e_text Confirmation 上書き確認)
    FA_ALREADY=$(e2e_text " is already exists." " は既に存在します。")
    FA_ERROR=$(e2e_text Error エラー)
    FA_REMOVE=$(e2e_text "$FA_TITLE will be uninstalled." "${FA_TITLE}を削除します。")
    FA_UNCAPTION=$(e2e_text "Uninstallation of $FA_TITLE" "${FA_TITLE}の削除")
    FA_REMOVED=$(e2e_text "$FA_TITLE has been successfully uninstalled." "${FA_TITLE}は正常に削除されました。")
}

# fa_use NAME TITLE FOLDER: the package C:\NAME of title TITLE, installed into C:\FOLDER.
fa_use() {
    FA_PKG=$E2E_C/$1 FA_PKGWIN="C:\\$1" FA_TITLE=$2 FA_FOLDER=$3
    FA_DEST=$E2E_C/$3 FA_DESTWIN="C:\\$3" FA_KEY="$FA_UNINSTALL\\$3"
    fa_texts
}

# fa_sample NAME: the sample as package NAME (no file opened at the end), read-only as
# on a CD-ROM.
fa_sample() {
    e2e_package "$1"
    sed -i '/^Open=/d' "$E2E_C/$1/install.inf"
    chmod a-w "$E2E_C/$1"/*
}

# fa_big_package NAME TITLE FOLDER: 500 entries, one of them into a sub-folder; the
# entries that are multiples of 24 are 512 KiB so that a kill lands inside their
# copy, the others 4 KiB. A [Group] with the uninstall item and one [Reg] key. Every
# file is read-only, as on a CD-ROM.
fa_big_package() {
    local dir=$E2E_C/$1 n size
    rm -rf "$dir" && mkdir -p "$dir" && cp "$E2E_BIN/INSTALL.exe" "$dir/INSTALL.EXE"
    {
        printf '[Install]\r\nTitle=%s\r\nFolder=%s\r\nTSR=0\r\n' "$2" "$3"
        for n in $(seq 1 500); do
            if [ "$n" = 250 ]; then printf '%s=e%03d.dat,data\\e%03d.dat\r\n' "$n" "$n" "$n"
            else printf '%s=e%03d.dat\r\n' "$n" "$n"; fi
        done
        printf '[Group]\r\n1=%s,e001.dat\r\n2=Uninstall %s,install.exe,/r\r\n' "$2" "$2"
        printf '[Reg]\r\n1=HKEY_CURRENT_USER\\Software\\FaultSoft\\%s\r\n' "$3"
    } >"$dir/install.inf"
    for n in $(seq 1 500); do
        size=4; [ $((n % 24)) = 0 ] && size=512
        head -c $((size * 1024)) /dev/urandom >"$dir/$(printf 'e%03d.dat' "$n")"
    done
    chmod a-w "$dir"/*
}

# fa_expected: FA_EXPECT, the tree the package must leave in FA_DEST (made once per package).
fa_expected() {
    FA_EXPECT=$E2E_LOGS/$E2E_CASE-expect-${FA_FOLDER}
    rm -rf "$FA_EXPECT" && mkdir -p "$FA_EXPECT"
    # The program names the copy of its setup information file after itself.
    cp "$FA_PKG/INSTALL.EXE" "$FA_EXPECT/" && cp "$FA_PKG/install.inf" "$FA_EXPECT/INSTALL.INF"
    local line n value target plain=()
    while IFS= read -r line; do
        line=${line%$'\r'}
        case $line in \[Install\]) n=1; continue ;; \[*) n=; continue ;; esac
        [ -n "${n:-}" ] || continue
        case ${line%%=*} in *[!0-9]* | '') continue ;; esac
        value=${line#*=}
        target=${value#*,}
        target=${target//\\//}
        # Files kept under their own name in the folder itself go in one copy (a copy per
        # file costs seconds for 500 on a loaded machine).
        if [ "$target" = "${value%%,*}" ]; then
            plain+=("$target")
        else
            [ "${target%/*}" = "$target" ] || mkdir -p "$FA_EXPECT/${target%/*}"
            cp "$FA_PKG/${value%%,*}" "$FA_EXPECT/$target"
        fi
    done <"$FA_PKG/install.inf"
    [ ${#plain[@]} = 0 ] || (cd "$FA_PKG" && cp -t "$FA_EXPECT" -- "${plain[@]}")
    (cd "$FA_EXPECT" && find . -type f -exec md5sum {} +) >"$FA_EXPECT.md5"
}

# fa_lost: the number of files of FA_EXPECT that are missing or differ in FA_DEST.
fa_lost() {
    if [ -d "$FA_DEST" ]; then
        (cd "$FA_DEST" && md5sum -c --quiet "$FA_EXPECT.md5" 2>/dev/null) | grep -c 'FAILED'
    else
        wc -l <"$FA_EXPECT.md5"
    fi
}

# fa_links: the link files of the package's group and the desktop link.
fa_links() {
    FA_GROUP=$(bench_unixpath "$(bench_reg_query "$FA_SHELL" Programs)")/$FA_TITLE
    FA_DESKLINK=$(bench_unixpath "$(bench_reg_query "$FA_SHELL" Desktop)")/$FA_TITLE.lnk
}

# fa_left: what an uninstallation left behind, one word each (empty when nothing).
fa_left() {
    local left=
    [ -e "$FA_DEST" ] && left+=" files($(find "$FA_DEST" -type f | wc -l))"
    e2e_reg_has "$FA_KEY" && left+=" entry"
    e2e_reg_has "HKCU\\Software\\FaultSoft\\$FA_FOLDER" && left+=" reg-key"
    [ -e "$FA_GROUP" ] && left+=" group"
    [ -e "$FA_DESKLINK" ] && left+=" desktop-link"
    printf '%s' "${left# }"
}

# fa_files_in LEFT / fa_keys_in LEFT: the files and the other traces that fa_left names.
fa_files_in() { local n; n=$(grep -o 'files([0-9]*)' <<<"$1" | tr -dc 0-9); echo "${n:-0}"; }
fa_keys_in() { tr ' ' '\n' <<<"$1" | grep -vc -e '^files(' -e '^$'; }

# fa_clear: removes every trace of the package's installation (between two runs).
# Each registry call starts a Wine program, so a missing key is not looked for first.
fa_clear() {
    rm -rf "$FA_DEST" "$FA_GROUP" "$FA_DESKLINK"
    bench_reg delete "$FA_KEY" /f >/dev/null 2>&1
    return 0
}

# fa_kill_when PID TEST...: kills PID the moment TEST holds (looked at without a pause, so
# that the kill lands within a step) and waits until it is gone; 1 when PID ended or 60 s
# passed first.
fa_kill_when() {
    local pid=$1 n=0 deadline=$((SECONDS + 60))
    shift
    until "$@"; do
        n=$((n + 1))
        [ $((n % 500)) = 0 ] || continue
        kill -0 "$pid" 2>/dev/null && [ $SECONDS -lt $deadline ] || return 1
    done
    kill -9 "$pid" 2>/dev/null
    wait "$pid" 2>/dev/null
    # A process not started by this shell (a 32-bit program) is gone once its command line
    # is empty (a zombie) or its entry has left /proc.
    for n in $(seq 100); do [ -s "/proc/$pid/cmdline" ] || break; sleep 0.05; done
    return 0
}

# fa_process COMMAND [EXCEPT]: the PID of this bench's Wine process whose program is
# COMMAND (a Windows path, any letter case), other than PID EXCEPT: Wine shows it as the
# first argument, or after the emulator and the loader where 32-bit programs are emulated.
# 1 when there is none.
fa_process() {
    local dir args arg
    for dir in /proc/[0-9]*; do
        [ "${dir#/proc/}" != "${2:-}" ] || continue
        mapfile -t -d '' -n 3 args 2>/dev/null <"$dir/cmdline" || continue
        for arg in "${args[@]}"; do
            [ "${arg,,}" = "${1,,}" ] || continue
            grep -qzx "WINEPREFIX=$WINEPREFIX" "$dir/environ" 2>/dev/null || continue
            echo "${dir#/proc/}"
            return 0
        done
    done
    return 1
}

# fa_copy: the Windows path that starts the copy in the build's system directory from the
# bench (syswow64 for the 32-bit build).
fa_copy() { printf 'C:\\windows\\%s\\INSTALL.EXE\n' "$(basename "$BENCH_SYSDIR")"; }

# fa_spread ITEM...: the items, or FAULTS_POINTS of them spread evenly over the list (a
# short run, such as the test command's).
fa_spread() {
    local items=("$@") count=${FAULTS_POINTS:-$#} i
    [ "$count" -gt 0 ] && [ "$count" -lt $# ] || count=$#
    for ((i = 0; i < count; i++)); do
        echo "${items[i * $# / count + $# / count / 2]}"
    done
}

# fa_wait_process COMMAND [EXCEPT]: waits (up to 20 s) for fa_process and prints its PID.
fa_wait_process() {
    local _
    for _ in $(seq 400); do
        fa_process "$@" && return 0
        sleep 0.05
    done
    return 1
}

# fa_figure FAULT RUNS RECOVERED FILES KEYS [ANEW]: adds one fault's figures to the table:
# runs, recovered through the program's own commands, files and keys lost or left behind,
# and recovered only by installing again.
fa_figure() {
    printf '%s|%s|%s|%s|%s|%s\n' "$1" "$2" "$3" "$4" "$5" "${6:-0}" >>"$FAULTS_FIGURES"
}

# fa_table: the figures as a Markdown table, runs of the same fault added up.
fa_table() {
    [ -f "$FAULTS_FIGURES" ] || return 0
    echo "| fault | runs | recovered | files lost or left | keys and links lost or left | recovered only by installing again |"
    echo "|---|---|---|---|---|---|"
    awk -F'|' '{ if (!($1 in r)) o[++n] = $1; r[$1] += $2; ok[$1] += $3; f[$1] += $4; k[$1] += $5; a[$1] += $6 }
        END { for (i = 1; i <= n; i++)
            printf "| %s | %d | %d | %d | %d | %d |\n", o[i], r[o[i]], ok[o[i]], f[o[i]], k[o[i]], a[o[i]] }' \
        "$FAULTS_FIGURES"
}
