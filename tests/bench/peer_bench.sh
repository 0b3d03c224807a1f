#!/usr/bin/env bash
# The program against the installer a user would pick instead: NSIS 3.08 (Debian's nsis
# package; makensis runs here and makes Windows installers, the amd64-unicode target for
# the 64-bit bench). For each package, an NSIS installer of the same files (uncompressed,
# no CRC check) installs them into the same folder, makes the same two links and writes
# the same two uninstall values; its uninstaller deletes the files in the same order, the
# folder, the entry and the links of the three places.
#
# In one bench, five interleaved rounds of: the program through the wizard and its
# uninstallation (timed as install_bench.sh and uninstall_bench.sh time them: driver
# timestamps less the 300 ms start delays), the same-work baseline's install, the NSIS
# installer with its progress page (Page instfiles, closed by itself) and its uninstaller
# in silent mode, the NSIS installer in silent mode (/S), and an empty NSIS installer and
# uninstaller in the same three ways. NSIS is timed twice: by timestamps its section
# takes at its start and end (QueryPerformanceCounter through NSIS's System plugin, loaded
# in .onInit), less the empty section's, which is what the table shows; and from its
# start to its exit (baseline.exe run), less the empty installer's, which also holds
# NSIS's start, its window and its exit and is noisy on a busy machine. Medians; prints
# the ratios program / NSIS and the sizes of the files.
#
#   tests/bench/peer_bench.sh [small] [big] [many]     # all three by default
#
# small: 2,000 files of 4 KiB; big: 20 files of 8 MiB; many: 10,000 files of 1 KiB (the
# many take about as long as the other two together). PB_ROUNDS changes the number of
# rounds (odd). BL_CLASSIC=1 uses the classic look.
E2E_NAME=peer-bench
. "$(dirname "$0")/../e2e/lib.sh"
. "$(dirname "$0")/benchlib.sh"

BL_ROUNDS=${PB_ROUNDS:-5}
PB_TEMP=PeerTemp  # the uninstaller runs from here and the stamps land here
started=$SECONDS

# pb_kind NAME: "COUNT SIZE TITLE" of a package, its folder being Bench + NAME.
pb_kind() {
    case $1 in
        small) echo "2000 4096 Bench Small" ;;
        big) echo "20 $((8 * 1024 * 1024)) Bench Big" ;;
        many) echo "10000 1024 Bench Many" ;;
        *) return 1 ;;
    esac
}

# pb_what NAME: the package in words.
pb_what() {
    case $1 in
        small) echo "2,000 files of 4 KiB" ;;
        big) echo "20 files of 8 MiB" ;;
        many) echo "10,000 files of 1 KiB" ;;
    esac
}

# pb_nsis_head TITLE FOLDER TARGET [plain]: the settings every NSIS installer here shares,
# and unless plain the timestamps: PeerStart and PeerStop (the section's first and last
# lines) write "START STOP FREQUENCY" of the performance counter to C:\PeerTemp\stamps.txt;
# .onInit and un.onInit load the System plugin before, so that no section pays for that.
# shellcheck disable=SC2016  # $8 and the like are NSIS's
pb_nsis_head() {
    cat <<EOT
Unicode true
Target $3
SetCompress off
CRCCheck off
RequestExecutionLevel admin
Name "$1"
InstallDir "C:\\$2"
AutoCloseWindow true
Page instfiles
UninstPage instfiles
EOT
    [ "${4:-}" = plain ] && return
    cat <<'EOT'
!macro PeerStart
  System::Call 'kernel32::QueryPerformanceCounter(*l .r8)'
!macroend
!macro PeerStop
  System::Call 'kernel32::QueryPerformanceCounter(*l .r9)'
  System::Call 'kernel32::QueryPerformanceFrequency(*l .r7)'
  FileOpen $6 "C:\PeerTemp\stamps.txt" w
  FileWrite $6 "$8 $9 $7"
  FileClose $6
!macroend
Function .onInit
  System::Call 'kernel32::QueryPerformanceFrequency(*l .r7)'
FunctionEnd
EOT
}

# pb_nsis_un_init: un.onInit for an installer with an uninstaller.
pb_nsis_un_init() {
    printf '%s\n' 'Function un.onInit' "  System::Call 'kernel32::QueryPerformanceFrequency(*l .r7)'" \
        'FunctionEnd'
}

# pb_nsis_script PKG TITLE FOLDER: PKG/peer.nsi, the installer of the package's files as
# the program installs them (its INSTALL.EXE replaced by NSIS's uninstaller).
# shellcheck disable=SC2016  # $INSTDIR and the like are NSIS's variables
pb_nsis_script() {
    local title=$2 folder=$3 place
    local key="Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\$folder"
    {
        pb_nsis_head "$title" "$folder" amd64-unicode
        pb_nsis_un_init
        echo 'OutFile "peer.exe"'
        echo 'Section'
        echo '  !insertmacro PeerStart'
        echo '  SetOutPath "$INSTDIR"'
        # One wildcard, which makensis sorts: a File line per name would list the whole
        # folder for each (minutes for 2,000 files).
        echo '  File "b*.dat"'
        echo '  File "install.inf"'
        echo '  WriteUninstaller "$INSTDIR\uninst.exe"'
        printf '  CreateShortCut "$SMPROGRAMS\\%s.lnk" "$INSTDIR\\b00001.dat"\n' "$title"
        printf '  CreateShortCut "$DESKTOP\\%s.lnk" "$INSTDIR\\b00001.dat"\n' "$title"
        printf '  WriteRegStr HKLM "%s" "DisplayName" "%s"\n' "$key" "$title"
        printf '  WriteRegStr HKLM "%s" "UninstallString" '"'"'"$INSTDIR\\uninst.exe"'"'"'\n' "$key"
        echo '  !insertmacro PeerStop'
        echo 'SectionEnd'
        echo 'Section "Uninstall"'
        echo '  !insertmacro PeerStart'
        sed -n 's/^\(b.*\)$/  Delete "$INSTDIR\\\1"/p' "$E2E_C/$1/files.lst" | tac
        echo '  Delete "$INSTDIR\install.inf"'
        echo '  Delete "$INSTDIR\uninst.exe"'
        echo '  RMDir "$INSTDIR"'
        printf '  DeleteRegKey HKLM "%s"\n' "$key"
        for place in SMPROGRAMS DESKTOP SMSTARTUP; do
            printf '  Delete "$%s\\%s.lnk"\n' "$place" "$title"
        done
        echo '  !insertmacro PeerStop'
        echo 'SectionEnd'
    } >"$E2E_C/$1/peer.nsi"
}

# pb_makensis DIR SCRIPT: makensis in DIR (its File names are relative to it).
pb_makensis() {
    (cd "$1" && makensis -V1 "$2" >makensis.log 2>&1) ||
        { echo "peer-bench: makensis $1/$2 failed:" >&2; tail -5 "$1/makensis.log" >&2; return 1; }
}

# pb_nsis_empty DIR TARGET [plain|default]: DIR/empty.exe, an installer of the bench's
# settings whose section holds only the timestamps, and DIR/emptyun.exe, whose section
# writes its uninstaller (of the same kind). plain leaves the timestamps out; default
# also keeps NSIS's own compression and CRC check (both for the sizes only).
# shellcheck disable=SC2016  # $INSTDIR is NSIS's variable
pb_nsis_empty() {
    local head stamps='  !insertmacro PeerStart\n  !insertmacro PeerStop\n' un=
    head=$(pb_nsis_head "Bench Empty" PeerEmpty "$2" "${3:+plain}")
    if [ -n "${3:-}" ]; then
        stamps=
        [ "$3" = default ] && head=$(grep -v -e SetCompress -e CRCCheck <<<"$head")
    else
        un=$(pb_nsis_un_init)
    fi
    mkdir -p "$1" &&
        printf '%s\nOutFile "empty.exe"\nSection\n%bSectionEnd\n' "$head" "$stamps" >"$1/empty.nsi" &&
        printf '%s\n%s\nOutFile "emptyun.exe"\nSection\n  WriteUninstaller "$INSTDIR\\uninst.exe"\nSectionEnd\nSection "Uninstall"\n%bSectionEnd\n' \
            "$head" "$un" "$stamps" >"$1/emptyun.nsi" &&
        pb_makensis "$1" empty.nsi && pb_makensis "$1" emptyun.nsi
}

# pb_run COMMAND_LINE: one timed run of an NSIS program; prints "EXIT SECTION": ms from its
# start to its exit (baseline.exe run) and ms between its section's stamps.
pb_run() {
    local stamps=$E2E_C/$PB_TEMP/stamps.txt exit_ms t0 t1 frequency
    rm -f "$stamps"
    bl_settle
    exit_ms=$(bl_baseline run "$1") || return 1
    read -r t0 t1 frequency <"$stamps" 2>/dev/null
    [ -n "${frequency:-}" ] || { echo "peer-bench: no stamps from $1" >&2; return 1; }
    echo "$exit_ms $(awk -v a="$t0" -v b="$t1" -v f="$frequency" 'BEGIN { printf "%.3f", (b - a) * 1000 / f }')"
}

# pb_installed TITLE FOLDER COUNT: NSIS left the files, the entry and both links.
pb_installed() {
    local copied link
    copied=$(find "$E2E_C/$2" -maxdepth 1 -type f 2>/dev/null | wc -l)
    [ "$copied" -eq $(($3 + 2)) ] || { echo "peer-bench: NSIS installed $copied files" >&2; return 1; }
    e2e_reg_has "$BL_UNINSTALL_KEY\\$2" || { echo "peer-bench: no NSIS entry for $2" >&2; return 1; }
    while IFS= read -r link; do
        [ -f "$link" ] || { echo "peer-bench: NSIS link $link missing" >&2; return 1; }
    done < <(bl_links_of "$1")
}

# pb_removed TITLE FOLDER: nothing of the installation is left.
pb_removed() {
    local link
    [ ! -e "$E2E_C/$2" ] || { echo "peer-bench: $2 is still there" >&2; return 1; }
    ! e2e_reg_has "$BL_UNINSTALL_KEY\\$2" || { echo "peer-bench: the entry $2 stayed" >&2; return 1; }
    while IFS= read -r link; do
        [ ! -e "$link" ] || { echo "peer-bench: link $link stayed" >&2; return 1; }
    done < <(bl_links_of "$1")
}

# pb_uninstaller FROM: the uninstaller FROM copied where it runs from, as NSIS's own does
# before it starts itself again for the folder (given with _?=); prints its path.
pb_uninstaller() {
    cp "$1" "$E2E_C/$PB_TEMP/Au_.exe" && printf 'C:\\%s\\Au_.exe\n' "$PB_TEMP"
}

# pb_nsis_runs PKG TITLE FOLDER COUNT: NSIS's installer of PKG with its page, its
# uninstaller, the installer silent; prints "PAGE PAGE_SECTION UNINSTALL UNINSTALL_SECTION
# SILENT SILENT_SECTION" (pb_run's pairs).
pb_nsis_runs() {
    local page uninstall silent exe
    page=$(pb_run "C:\\$1\\peer.exe") && pb_installed "$2" "$3" "$4" || return 1
    exe=$(pb_uninstaller "$E2E_C/$3/uninst.exe") || return 1
    uninstall=$(pb_run "$exe /S _?=C:\\$3") && pb_removed "$2" "$3" || return 1
    silent=$(pb_run "C:\\$1\\peer.exe /S") && pb_installed "$2" "$3" "$4" || return 1
    echo "$page $uninstall $silent"
}

# pb_empty_runs: the same three runs of the empty installer and its uninstaller.
pb_empty_runs() {
    local page uninstall silent exe
    page=$(pb_run 'C:\PeerEmpty\empty.exe') || return 1
    exe=$(pb_uninstaller "$E2E_C/PeerEmpty/uninst.exe") || return 1
    uninstall=$(pb_run "$exe /S _?=C:\\PeerEmpty") || return 1
    silent=$(pb_run 'C:\PeerEmpty\empty.exe /S') || return 1
    echo "$page $uninstall $silent"
}

PB_KEYS=(program uninstall baseline page page_s nun nun_s silent silent_s
    epage epage_s enun enun_s esilent esilent_s)

# pb_rounds PKG: BL_ROUNDS rounds of the program's install and uninstall, the same-work
# baseline's install, NSIS's runs and the empty installer's; prints one line per measure,
# "KEY MS...", the keys of PB_KEYS (_s: between the section's stamps, else start to exit;
# nun the uninstaller, e the empty installer).
pb_rounds() {
    local pkg=$1 count size title folder i ms key
    local -a got
    local -A runs
    read -r count size title <<<"$(pb_kind "$pkg")"
    folder=Bench${pkg^}
    bl_clean "$folder" "$title"
    for i in $(seq "$BL_ROUNDS"); do
        bl_settle
        ms=$(bl_install_run "$pkg" "$title" "$folder" "$count" 10) || return 1
        runs[program]+=" $ms"
        bl_settle
        ms=$(bl_uninstall_run "$title" "$folder") || return 1
        runs[uninstall]+=" $ms"
        bl_clean "$folder" "$title"
        bl_settle
        ms=$(bl_install_baseline "$pkg" "$title" "$folder") || return 1
        runs[baseline]+=" $ms"
        bl_clean "$folder" "$title"
        ms=$(pb_nsis_runs "$pkg" "$title" "$folder" "$count") || return 1
        bl_clean "$folder" "$title"
        ms="$ms $(pb_empty_runs)" || return 1
        read -r -a got <<<"$ms"
        [ ${#got[@]} -eq 12 ] || return 1
        for key in "${!got[@]}"; do runs[${PB_KEYS[key + 3]}]+=" ${got[key]}"; done
    done
    for key in "${PB_KEYS[@]}"; do echo "$key${runs[$key]}"; done
}

# pb_minus A B: A - B with one decimal.
pb_minus() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.1f", a - b }'; }

command -v makensis >/dev/null ||
    { echo "peer-bench: makensis is missing (Debian's nsis; run scripts/bootstrap.sh)" >&2; exit 1; }
packages=("$@")
[ ${#packages[@]} -gt 0 ] || packages=(small big many)
for pkg in "${packages[@]}"; do
    pb_kind "$pkg" >/dev/null || { echo "peer-bench: no package $pkg (small, big, many)" >&2; exit 2; }
done
bl_require || exit 1
e2e_start peer-bench || exit 1
mkdir -p "$E2E_C/$PB_TEMP"
for pkg in "${packages[@]}"; do
    read -r count size title <<<"$(pb_kind "$pkg")"
    if ! bl_package "$pkg" "$title" "Bench${pkg^}" "$count" "$size" ||
        ! pb_nsis_script "$pkg" "$title" "Bench${pkg^}" ||
        ! pb_makensis "$E2E_C/$pkg" peer.nsi; then
        echo "peer-bench: the package $pkg could not be made" >&2
        exit 1
    fi
done
# The empty installer of the runs, and plain ones (without the stamps) for the sizes.
pb_nsis_empty "$E2E_C/PeerEmpty" amd64-unicode || exit 1
for kind in amd64-unicode x86-unicode; do
    for settings in plain default; do
        pb_nsis_empty "$E2E_LOGS/peer-empty-$kind-$settings" "$kind" "$settings" || exit 1
    done
done
# The empty uninstaller is written by its installer once.
bench_run 'C:\PeerEmpty\emptyun.exe' /S >/dev/null 2>&1
[ -f "$E2E_C/PeerEmpty/uninst.exe" ] || { echo "peer-bench: no empty uninstaller" >&2; exit 1; }
look=$(bl_look) || exit 1
cp "$E2E_BIN/INSTALL.exe" "$E2E_C/windows/system32/INSTALL.EXE"  # the uninstall runs' copy
bench_run "$E2E_BIN/driver.exe" NUL >/dev/null 2>&1  # warm up the driver once
pb_empty_runs >/dev/null || exit 1                   # and NSIS once

echo "== sizes (bytes)"
for kind in amd64-unicode x86-unicode; do
    printf '  %-66s %7s\n' \
        "NSIS 3.08, empty installer, $kind, uncompressed, no CRC check" \
        "$(stat -c %s "$E2E_LOGS/peer-empty-$kind-plain/empty.exe")" \
        "NSIS 3.08, empty installer, $kind, NSIS's defaults" \
        "$(stat -c %s "$E2E_LOGS/peer-empty-$kind-default/empty.exe")"
done
printf '  %-66s %7s\n' \
    "the program, x86_64 INSTALL.exe (installer and uninstaller)" "$(stat -c %s "$E2E_BUILD/x86_64/INSTALL.exe")" \
    "the program, i686 INSTALL.exe (the shipped one)" "$(stat -c %s "$E2E_BUILD/i686/INSTALL.exe")"

# Each package's rows as soon as its rounds are done (the many small files take long).
echo "== peer benchmark ($look): medians of $BL_ROUNDS rounds, interleaved; NSIS between its section's stamps"
printf '  %-22s %-24s %10s %10s %6s   %s\n' package run program NSIS ratio "NSIS start to exit"
for pkg in "${packages[@]}"; do
    output=$(pb_rounds "$pkg") || exit 1
    declare -A med=() all=()
    while read -r key values; do
        all[$key]=$values
        # shellcheck disable=SC2086
        med[$key]=$(bl_median $values)
    done <<<"$output"
    what=$(pb_what "$pkg")
    for row in "install, NSIS's page:page:program" "install, NSIS silent:silent:program" \
        "uninstall, NSIS silent:nun:uninstall"; do
        IFS=: read -r label key ours <<<"$row"
        nsis=$(pb_minus "${med[${key}_s]}" "${med[e${key}_s]}")
        exit_ms=$(pb_minus "${med[$key]}" "${med[e$key]}")
        printf '  %-22s %-24s %7s ms %7s ms %6s   %s ms, ratio %s\n' "$what" "$label" "${med[$ours]}" \
            "$nsis" "$(bl_ratio "${med[$ours]}" "$nsis")" "$exit_ms" "$(bl_ratio "${med[$ours]}" "$exit_ms")"
        what=
    done
    printf '  %-22s %s\n' "" "same-work baseline ${med[baseline]} ms: program / baseline $(bl_ratio \
        "${med[program]}" "${med[baseline]}"), NSIS silent / baseline $(bl_ratio \
        "$(pb_minus "${med[silent_s]}" "${med[esilent_s]}")" "${med[baseline]}")" \
        "" "empty NSIS, stamps: page ${med[epage_s]}, silent ${med[esilent_s]}, uninstaller ${med[enun_s]} ms;" \
        "" "start to exit: page ${med[epage]}, silent ${med[esilent]}, uninstaller ${med[enun]} ms ($(bl_load))"
    for key in "${PB_KEYS[@]}"; do printf '  %-22s %-10s%s\n' "" "$key" "${all[$key]}"; done
done
bench_stop
echo "  program: as install_bench.sh and uninstall_bench.sh time it (driver timestamps, less the"
echo "  ${BL_START_DELAY} ms start delays); NSIS: between its section's stamps, less the empty section's;"
echo "  start to exit: baseline.exe run, less the empty installer's. The script took $(( SECONDS - started )) s."
