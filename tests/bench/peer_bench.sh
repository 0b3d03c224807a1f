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
# timestamps less the 300 ms start delays), the NSIS installer with its progress page
# (Page instfiles, closed by itself) and its silent uninstaller, the NSIS installer in
# silent mode (/S), and an empty NSIS installer and uninstaller of the same settings in
# the same three ways. NSIS can only be timed from outside: from its start to its exit
# (baseline.exe run), less the median of the empty one's. Prints the medians, the ratios
# program / NSIS and the sizes of the files.
#
#   tests/bench/peer_bench.sh [small] [big] [many]     # all three by default
#
# small: 2,000 files of 4 KiB; big: 20 files of 8 MiB; many: 10,000 files of 1 KiB.
# PB_ROUNDS changes the number of rounds (odd). BL_CLASSIC=1 uses the classic look.
E2E_NAME=peer-bench
. "$(dirname "$0")/../e2e/lib.sh"
. "$(dirname "$0")/benchlib.sh"

BL_ROUNDS=${PB_ROUNDS:-5}
PB_TEMP=PeerTemp  # where the uninstaller runs from, as NSIS's own copies itself to a temp folder
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

# pb_nsis_head TITLE FOLDER TARGET: the settings every NSIS installer here shares.
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
}

# pb_nsis_script PKG TITLE FOLDER COUNT: PKG/peer.nsi, the installer of the package's
# files as the program installs them (its INSTALL.EXE replaced by NSIS's uninstaller).
# shellcheck disable=SC2016  # $INSTDIR and the like are NSIS's variables
pb_nsis_script() {
    local title=$2 folder=$3 count=$4 i place
    local key="Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\$folder"
    {
        pb_nsis_head "$title" "$folder" amd64-unicode
        echo 'OutFile "peer.exe"'
        echo 'Section'
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
        echo 'SectionEnd'
        echo 'Section "Uninstall"'
        for i in $(seq "$count" -1 1); do printf '  Delete "$INSTDIR\\b%05d.dat"\n' "$i"; done
        echo '  Delete "$INSTDIR\install.inf"'
        echo '  Delete "$INSTDIR\uninst.exe"'
        echo '  RMDir "$INSTDIR"'
        printf '  DeleteRegKey HKLM "%s"\n' "$key"
        for place in SMPROGRAMS DESKTOP SMSTARTUP; do
            printf '  Delete "$%s\\%s.lnk"\n' "$place" "$title"
        done
        echo 'SectionEnd'
    } >"$E2E_C/$1/peer.nsi"
}

# pb_makensis DIR SCRIPT: makensis in DIR (its File names are relative to it).
pb_makensis() {
    (cd "$1" && makensis -V1 "$2" >makensis.log 2>&1) ||
        { echo "peer-bench: makensis $1/$2 failed:" >&2; tail -5 "$1/makensis.log" >&2; return 1; }
}

# pb_nsis_empty DIR TARGET COMPRESSION: DIR/empty.exe, an installer of the bench's
# settings with an empty section, and DIR/emptyun.exe, whose section writes only its
# uninstaller (empty too). COMPRESSION "default" keeps NSIS's own compression and CRC check.
# shellcheck disable=SC2016  # $INSTDIR is NSIS's variable
pb_nsis_empty() {
    local head
    head=$(pb_nsis_head "Bench Empty" PeerEmpty "$2")
    [ "$3" = default ] && head=$(grep -v -e SetCompress -e CRCCheck <<<"$head")
    mkdir -p "$1" &&
        printf '%s\nOutFile "empty.exe"\nSection\nSectionEnd\n' "$head" >"$1/empty.nsi" &&
        printf '%s\nOutFile "emptyun.exe"\nSection\n  WriteUninstaller "$INSTDIR\\uninst.exe"\nSectionEnd\nSection "Uninstall"\nSectionEnd\n' \
            "$head" >"$1/emptyun.nsi" &&
        pb_makensis "$1" empty.nsi && pb_makensis "$1" emptyun.nsi
}

# pb_time COMMAND_LINE: the command's time from start to exit in ms (baseline.exe run).
pb_time() { bl_baseline run "$1"; }

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

# pb_nsis_install PKG TITLE FOLDER COUNT [/S]: one run of PKG's NSIS installer, with its
# progress page or silent; prints ms from start to exit.
pb_nsis_install() {
    local ms
    bl_settle
    ms=$(pb_time "C:\\$1\\peer.exe${5:+ $5}") && pb_installed "$2" "$3" "$4" && echo "$ms"
}

# pb_uninstaller FROM: the uninstaller FROM copied where it runs from, as NSIS's own does
# before it starts itself again for the folder (given with _?=); prints its path.
pb_uninstaller() {
    mkdir -p "$E2E_C/$PB_TEMP" && cp "$1" "$E2E_C/$PB_TEMP/Au_.exe" && printf 'C:\\%s\\Au_.exe\n' "$PB_TEMP"
}

# pb_nsis_uninstall TITLE FOLDER: NSIS's uninstaller in silent mode on the installation in
# FOLDER; prints ms from start to exit.
pb_nsis_uninstall() {
    local exe ms
    exe=$(pb_uninstaller "$E2E_C/$2/uninst.exe") || return 1
    bl_settle
    ms=$(pb_time "$exe /S _?=C:\\$2") && pb_removed "$1" "$2" && echo "$ms"
}

# pb_empty_round: the empty installer with its page and silent, and its uninstaller;
# prints the three times in ms.
pb_empty_round() {
    local page silent uninstall exe
    bl_settle
    page=$(pb_time "C:\\PeerEmpty\\empty.exe") || return 1
    bl_settle
    silent=$(pb_time "C:\\PeerEmpty\\empty.exe /S") || return 1
    exe=$(pb_uninstaller "$E2E_C/PeerEmpty/uninst.exe") || return 1
    bl_settle
    uninstall=$(pb_time "$exe /S _?=C:\\PeerEmpty") || return 1
    echo "$page $silent $uninstall"
}

# pb_minus A B: A - B with one decimal.
pb_minus() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.1f", a - b }'; }

# pb_rounds PKG: BL_ROUNDS rounds of the program's runs, NSIS's and the empty installer's;
# prints one line of medians in ms: program install and uninstall; NSIS with its page,
# silent and its uninstaller; the empty installer the same three ways (NSIS's from start
# to exit); then the single runs.
pb_rounds() {
    local pkg=$1 count size title folder i ms e1 e2 e3
    local prog=() uninst=() page=() silent=() nuninst=() epage=() esilent=() euninst=()
    read -r count size title <<<"$(pb_kind "$pkg")"
    folder=Bench${pkg^}
    bl_clean "$folder" "$title"
    for i in $(seq "$BL_ROUNDS"); do
        bl_settle
        ms=$(bl_install_run "$pkg" "$title" "$folder" "$count" 10) || return 1
        prog+=("$ms")
        bl_settle
        ms=$(bl_uninstall_run "$title" "$folder") || return 1
        uninst+=("$ms")
        bl_clean "$folder" "$title"
        ms=$(pb_nsis_install "$pkg" "$title" "$folder" "$count") || return 1
        page+=("$ms")
        ms=$(pb_nsis_uninstall "$title" "$folder") || return 1
        nuninst+=("$ms")
        bl_clean "$folder" "$title"
        ms=$(pb_nsis_install "$pkg" "$title" "$folder" "$count" /S) || return 1
        silent+=("$ms")
        bl_clean "$folder" "$title"
        read -r e1 e2 e3 <<<"$(pb_empty_round)"
        [ -n "$e3" ] || return 1
        epage+=("$e1") esilent+=("$e2") euninst+=("$e3")
    done
    echo "$(bl_median "${prog[@]}") $(bl_median "${uninst[@]}") $(bl_median "${page[@]}")" \
        "$(bl_median "${silent[@]}") $(bl_median "${nuninst[@]}") $(bl_median "${epage[@]}")" \
        "$(bl_median "${esilent[@]}") $(bl_median "${euninst[@]}")" \
        "program ${prog[*]}; its uninstall ${uninst[*]}; NSIS page ${page[*]}; silent" \
        "${silent[*]}; uninstaller ${nuninst[*]}; empty ${epage[*]}; ${esilent[*]}; ${euninst[*]}"
}

command -v makensis >/dev/null ||
    { echo "peer-bench: makensis is missing (Debian's nsis; run scripts/bootstrap.sh)" >&2; exit 1; }
packages=("$@")
[ ${#packages[@]} -gt 0 ] || packages=(small big many)
for pkg in "${packages[@]}"; do
    pb_kind "$pkg" >/dev/null || { echo "peer-bench: no package $pkg (small, big, many)" >&2; exit 2; }
done
bl_require || exit 1
e2e_start peer-bench || exit 1
for pkg in "${packages[@]}"; do
    read -r count size title <<<"$(pb_kind "$pkg")"
    if ! bl_package "$pkg" "$title" "Bench${pkg^}" "$count" "$size" ||
        ! pb_nsis_script "$pkg" "$title" "Bench${pkg^}" "$count" ||
        ! pb_makensis "$E2E_C/$pkg" peer.nsi; then
        echo "peer-bench: the package $pkg could not be made" >&2
        exit 1
    fi
done
# The empty installers: amd64 for the runs; x86 and NSIS's own defaults for the sizes only.
pb_nsis_empty "$E2E_C/PeerEmpty" amd64-unicode bench || exit 1
pb_nsis_empty "$E2E_LOGS/peer-empty-x86" x86-unicode bench || exit 1
pb_nsis_empty "$E2E_LOGS/peer-empty-defaults" amd64-unicode default || exit 1
pb_nsis_empty "$E2E_LOGS/peer-empty-x86-defaults" x86-unicode default || exit 1
# The empty uninstaller is written by its installer once.
bench_run 'C:\PeerEmpty\emptyun.exe' /S >/dev/null 2>&1
[ -f "$E2E_C/PeerEmpty/uninst.exe" ] || { echo "peer-bench: no empty uninstaller" >&2; exit 1; }
look=$(bl_look) || exit 1
cp "$E2E_BIN/INSTALL.exe" "$E2E_C/windows/system32/INSTALL.EXE"  # the uninstall runs' copy
bench_run "$E2E_BIN/driver.exe" NUL >/dev/null 2>&1  # warm up the driver once
bench_run 'C:\PeerEmpty\empty.exe' /S >/dev/null 2>&1  # and NSIS's start once
sizes=("$E2E_C/PeerEmpty/empty.exe" "$E2E_LOGS/peer-empty-defaults/empty.exe"
    "$E2E_LOGS/peer-empty-x86/empty.exe" "$E2E_LOGS/peer-empty-x86-defaults/empty.exe"
    "$E2E_C/PeerEmpty/uninst.exe" "$E2E_BUILD/x86_64/INSTALL.exe" "$E2E_BUILD/i686/INSTALL.exe")
mapfile -t sizes < <(stat -c %s "${sizes[@]}")
echo "== sizes (bytes)"
printf '  %-62s %7s\n' \
    "NSIS 3.08, empty installer, amd64-unicode (uncompressed, no CRC)" "${sizes[0]}" \
    "NSIS 3.08, empty installer, amd64-unicode (NSIS's defaults)" "${sizes[1]}" \
    "NSIS 3.08, empty installer, x86-unicode (uncompressed, no CRC)" "${sizes[2]}" \
    "NSIS 3.08, empty installer, x86-unicode (NSIS's defaults)" "${sizes[3]}" \
    "NSIS 3.08, the uninstaller it writes (empty, amd64-unicode)" "${sizes[4]}" \
    "the program, x86_64 INSTALL.exe (installer and uninstaller)" "${sizes[5]}" \
    "the program, i686 INSTALL.exe (the shipped one)" "${sizes[6]}"

# Each package's rows as soon as its rounds are done (the many small files take long).
echo "== peer benchmark ($look): medians of $BL_ROUNDS rounds, interleaved"
printf '  %-22s %-26s %10s %10s %8s\n' package run program NSIS "program/NSIS"
for pkg in "${packages[@]}"; do
    line=$(pb_rounds "$pkg") || exit 1
    read -r prog uninst page silent nuninst epage esilent euninst runs <<<"$line"
    page=$(pb_minus "$page" "$epage")
    silent=$(pb_minus "$silent" "$esilent")
    nuninst=$(pb_minus "$nuninst" "$euninst")
    printf '  %-22s %-26s %7s ms %7s ms %8s\n' "$(pb_what "$pkg")" "install, NSIS's page" "$prog" \
        "$page" "$(bl_ratio "$prog" "$page")"
    printf '  %-22s %-26s %7s ms %7s ms %8s\n' "" "install, NSIS silent" "$prog" "$silent" \
        "$(bl_ratio "$prog" "$silent")"
    printf '  %-22s %-26s %7s ms %7s ms %8s\n' "" "uninstall, NSIS silent" "$uninst" "$nuninst" \
        "$(bl_ratio "$uninst" "$nuninst")"
    printf '  %-22s %s\n' "" "($(bl_load); empty NSIS installer, start to exit: page $epage ms," \
        "" "silent $esilent ms, uninstaller $euninst ms)" "" "runs (ms): $runs"
done
bench_stop
echo "  program: as install_bench.sh and uninstall_bench.sh time it (driver timestamps, less the"
echo "  ${BL_START_DELAY} ms start delays); NSIS: start to exit (baseline.exe run), less the median of the"
echo "  empty installer's. The script took $(( SECONDS - started )) s."
