#!/usr/bin/env bash
# trial.sh - tries a package before it ships: checks it with infcheck, installs it with
# the real wizard in a throwaway Wine prefix, reports what was installed, runs an optional
# command standing for the application's own use, uninstalls it through its uninstall
# entry as the control panel would, restarts the wineserver as a restart of the system
# would, and reports everything the run left behind against a record taken before it.
# --i686 tries the shipped 32-bit program on the bench's route for 32-bit programs
# (tests/lib/winebench.sh); its records cover the 32-bit registry view and syswow64.
# Exit status: 0 clean, 1 leftovers, error boxes or a step that failed, 2 usage error (or
# --i686 where the bench has no route for 32-bit programs).
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)

usage() {
    echo "usage: scripts/trial.sh [--ja] [--i686] [--desktop] [--keep-user-files]" \
        "[--after-install CMD] [--shots DIR] [--json FILE] [--force] PACKAGE_DIR" >&2
    exit 2
}

lang=en arch=x86_64 desktop=0 keep=0 after='' shots='' json='' force=0 package=''
while [ $# -gt 0 ]; do
    case $1 in
        --ja) lang=ja ;;
        --i686) arch=i686 ;;
        --desktop) desktop=1 ;;
        --keep-user-files) keep=1 ;;
        --force) force=1 ;;
        --after-install | --shots | --json)
            [ $# -ge 2 ] || usage
            case $1 in
                --after-install) after=$2 ;;
                --shots) shots=$2 ;;
                --json) json=$2 ;;
            esac
            shift ;;
        -*) usage ;;
        *) [ -z "$package" ] || usage; package=$1 ;;
    esac
    shift
done
if [ -z "$package" ] || [ ! -d "$package" ]; then usage; fi
package=$(realpath "$package")
[ -z "$json" ] || json=$(realpath -m "$json")
[ -z "$shots" ] || shots=$(realpath -m "$shots")
name=$(basename "$package")
cd "$root" || exit 2

export BUILD_DIR=${BUILD_DIR:-$root/build}
for need in native/infcheck "$arch/INSTALL.exe" x86_64/driver.exe; do
    [ -x "$BUILD_DIR/$need" ] && continue
    echo "trial: building (no $BUILD_DIR/$need)"
    scripts/build.sh >"$BUILD_DIR/trial-build.log" 2>&1 ||
        { echo "trial: the build failed, see $BUILD_DIR/trial-build.log" >&2; exit 1; }
    break
done

TEST_ARCH=$arch E2E_NAME=trial
# shellcheck source=../tests/e2e/lib.sh
. tests/e2e/lib.sh
E2E_LANG=$lang
if [ "$arch" = i686 ] && [ "$BENCH_ROUTE32" = none ]; then
    echo "trial: no route for 32-bit programs here: $BENCH_ROUTE32_WHY" >&2
    exit 2
fi
suffix=$([ "$arch" = i686 ] && echo -i686)
work=$E2E_BUILD/trial-work/$name-$lang$suffix
default_shots=$E2E_BUILD/trial-$name-$lang$suffix
shots=${shots:-$default_shots}
rm -rf "$work" && mkdir -p "$work" || exit 1
error_boxes=0 failures=0   # error boxes answered; steps that did not get through
: >"$work/boxes.jsonl"

# The language's texts of the program that the trial waits for.
error_caption=$(e2e_text "Error" "エラー")

# Wine's own changes between two records, never the package's: keys below these (in
# either registry view) are left out. A Japanese run registers the Japanese fonts; the
# graphics driver records the display adapter as it starts; the console host saves its
# default settings when it first picks a font for a console window (now and then, for
# one of the console programs the trial runs: the driver, reg or cmd).
CHURN_KEYS=(
    'HKCU\Console'
    'HKCU\Software\Wine'
    'HKLM\System\CurrentControlSet\Control\Class'
    'HKLM\Software\Microsoft\Windows NT\CurrentVersion\Fonts'
    'HKLM\Software\Microsoft\Windows\CurrentVersion\Fonts'
    'HKLM\System\CurrentControlSet\Control\FontAssoc'
)

# An uninstall entry in either registry view.
UNINSTALL_ENTRY='^HKLM\\Software\\(Wow6432Node\\)?Microsoft\\Windows\\CurrentVersion\\Uninstall\\[^\\]+$'

# say TEXT...: a line of the report.
say() { printf '%s\n' "$*"; }

# count N ONE MANY: "N ONE" or "N MANY".
count() { if [ "$1" -eq 1 ]; then echo "1 $2"; else echo "$1 $3"; fi; }

# The system's ANSI code page of the run: the program reads install.inf in it.
codepage=$([ "$lang" = ja ] && echo CP932 || echo CP1252)

# from_system FILE: a file of the system's code page in UTF-8 (as it is where it is none).
from_system() {
    local text
    if text=$(iconv -f "$codepage" -t UTF-8 "$1" 2>/dev/null); then
        printf '%s\n' "$text"
    else
        cat "$1"
    fi
}

# quoted TEXT: TEXT as a quoted argument of a driver scenario.
quoted() {
    local t=${1//\\/\\\\}
    printf '"%s"' "${t//\"/\\\"}"
}

# winpath RELATIVE: the Windows form of a path below drive C.
winpath() { local p=${1//\//\\}; printf 'C:\\%s\n' "$p"; }

# ---- the setup information file -----------------------------------------------------

# inf_file: the package's setup information file, as the program looks for it.
inf_file() {
    local f
    for f in install.inf "install$(e2e_text E J).inf"; do
        find "$package" -maxdepth 1 -iname "$f" -print -quit | grep . && return 0
    done
    return 1
}

# inf_value SECTION KEY: a value of the setup information file in UTF-8 (read as the
# profile functions read it: names in any case, blanks around "=" trimmed).
inf_value() {
    local file
    file=$(inf_file) || return 0
    from_system "$file" |
        awk -v sec="$1" -v key="$2" '
            { sub(/\r$/, "") }
            /^[ \t]*\[/ { s = $0; gsub(/^[ \t]*\[|\][ \t]*$/, "", s); insec = tolower(s) == tolower(sec); next }
            insec && (i = index($0, "=")) {
                k = substr($0, 1, i - 1); gsub(/^[ \t]+|[ \t]+$/, "", k)
                if (tolower(k) != tolower(key)) next
                v = substr($0, i + 1); gsub(/^[ \t]+|[ \t]+$/, "", v); print v; exit
            }'
}

# ---- records of drive C and the registry --------------------------------------------

# reg_flatten FILE ROOT: one line per key ("ROOT\KEY") and per value ("ROOT\KEY<tab>NAME
# <tab>DATA") of a registry file as Wine writes it, in UTF-8; the data of a string value
# is its text, other data as Wine writes it. Wine leaves out a key that holds only keys:
# every key's parents are told too.
reg_flatten() {
    perl -CO -e '
        my ($root, %seen) = ($ARGV[1]);
        sub dec {
            my $s = shift;
            $s =~ s/\\x(d[89ab][0-9a-f]{2})\\x(d[c-f][0-9a-f]{2})/
                chr(0x10000 + ((hex($1) - 0xd800) << 10) + hex($2) - 0xdc00)/gei;
            $s =~ s/\\(x[0-9a-fA-F]{1,4}|[0-7]{1,3}|.)/
                $1 =~ m|^x(.*)| ? chr(hex $1) : $1 =~ m|^[0-7]| ? chr(oct $1) :
                $1 eq "n" ? "\n" : $1 eq "r" ? "\r" : $1 eq "t" ? "\t" : $1/ge;
            $s =~ s/([\t\n\r])/$1 eq "\t" ? "\\t" : $1 eq "\n" ? "\\n" : "\\r"/ge;
            return $s;
        }
        open my $in, "<", $ARGV[0] or exit 1;
        my ($key, $line) = ("", "");
        while (<$in>) {
            s/\r?\n$//;
            if ($line ne "") { s/^\s+//; $_ = $line . $_; $line = ""; }
            if (/\\$/ && !/^\[/) { chop; $line = $_; next; }
            if (/^\[(.*)\](?: \d+)?$/) {
                $key = "$root\\" . dec($1);
                my $up = $key;
                do { print "$up\n" unless $seen{$up}++ } while ($up =~ s/\\[^\\]*$//);
                next;
            }
            next if $key eq "";
            my ($name, $data);
            if (/^@=(.*)$/) { ($name, $data) = ("(default)", $1); }
            elsif (/^"((?:[^"\\]|\\.)*)"=(.*)$/) { ($name, $data) = (dec($1), $2); }
            else { next; }
            $data = $data =~ /^"(.*)"$/ ? dec($1) : dec($data);
            print "$key\t$name\t$data\n";
        }' "$1" "$2"
}

# snapshot NAME: records drive C (WORK/NAME.snap.files: type, size, date, path) and the
# registry (WORK/NAME.snap.reg, without Wine's churn), both sorted. The wineserver is
# stopped for it, which writes the registry files, and a new one started (on the bench's
# route: on the emulated one it lives in a user namespace).
snapshot() {
    local out=$work/$1.snap
    "${BENCH_LAUNCH[@]}" "$BENCH_WINESERVER" -k 2>/dev/null
    "${BENCH_LAUNCH[@]}" "$BENCH_WINESERVER" -w
    (cd "$E2E_C" && find . -mindepth 1 -printf '%y\t%s\t%TY-%Tm-%Td %TH:%TM\t%P\n') | LC_ALL=C sort -t $'\t' -k4 >"$out.files"
    { reg_flatten "$WINEPREFIX/system.reg" HKLM; reg_flatten "$WINEPREFIX/user.reg" HKCU; } |
        without_churn | LC_ALL=C sort -u >"$out.reg"
    "${BENCH_LAUNCH[@]}" "$BENCH_WINESERVER" -p
}

# without_churn: the lines of a flattened registry whose key is not below CHURN_KEYS.
without_churn() {
    CHURN=$(printf '%s\n' "${CHURN_KEYS[@]}") awk -F '\t' '
        BEGIN { n = split(tolower(ENVIRON["CHURN"]), keys, "\n") }
        {
            k = tolower($1); sub(/^hklm\\software\\wow6432node\\/, "hklm\\software\\", k)
            for (i = 1; i <= n; i++)
                if (keys[i] != "" && (k == keys[i] || index(k, keys[i] "\\") == 1)) next
            print
        }'
}

# created_files FROM TO: the lines of TO.files whose path FROM.files lacks.
created_files() {
    awk -F '\t' 'NR == FNR { seen[$4] = 1; next } !($4 in seen)' "$work/$1.snap.files" "$work/$2.snap.files"
}

# created_keys FROM TO: the keys of TO.reg that FROM.reg lacks.
created_keys() {
    LC_ALL=C comm -13 <(grep -a -v $'\t' "$work/$1.snap.reg") <(grep -a -v $'\t' "$work/$2.snap.reg")
}

# created_values FROM TO: "KEY<tab>NAME<tab>DATA" of TO.reg whose key and name FROM.reg
# lacks, in keys that FROM.reg has (the values of a new key go with the key).
created_values() {
    awk -F '\t' 'NR == FNR { if (NF == 1) key[$1] = 1; else seen[$1 "\t" $2] = 1; next }
        NF == 3 && ($1 in key) && !(($1 "\t" $2) in seen)' "$work/$1.snap.reg" "$work/$2.snap.reg"
}

# values_of KEY SNAPSHOT: "NAME<tab>DATA" of every value of KEY (awk's -v would read the
# backslashes of KEY as escapes; so would it CHURN's).
values_of() { KEY=$1 awk -F '\t' 'NF == 3 && $1 == ENVIRON["KEY"] { print $2 "\t" $3 }' "$work/$2.snap.reg"; }

# ---- the driver --------------------------------------------------------------------

# drive STAGE PROGRAM ARGS...: runs the scenario on standard input against the program;
# the boxes it answered go to WORK/boxes.jsonl and are told. 1 when the driver failed.
drive() {
    local stage=$1 scenario log=$E2E_LOGS/$E2E_CASE-$E2E_CASE-$1.log status=0
    shift
    scenario=$(e2e_scenario "$stage")
    e2e_drive "$scenario" "$@" >/dev/null || status=1
    tell_boxes "$stage" "$log"
    if [ $status -ne 0 ]; then
        say "  the driver stopped: $(grep '^FAIL' "$log" | tail -n1 | tr -d '\r')"
        say "  (its log: $log)"
        failures=$((failures + 1))
    fi
    return $status
}

# tell_boxes STAGE LOG: the boxes answered in the driver's log, one line each.
tell_boxes() {
    local line box
    while IFS= read -r line; do
        box=$(jq -c --arg stage "$1" --arg error "$error_caption" \
            '. + {stage: $stage, error: (.caption == $error)}' <<<"${line#*: box }") || continue
        printf '%s\n' "$box" >>"$work/boxes.jsonl"
        jq -r '"  box \"\(.caption)\": \"\(.text | gsub("\n"; "\n      "))\"\n      [\(.buttons | join(", "))] -> \(.pressed)" +
            (if .error then "   ERROR" else "" end) + (if .shot != "" then "   (\(.shot).png)" else "" end)' <<<"$box"
        [ "$(jq -r .error <<<"$box")" = true ] && error_boxes=$((error_boxes + 1))
    done < <(tr -d '\r' <"$2" | grep -E '^[0-9]+: box \{')
}

# control_text STAGE ID: the text of a visible control as the driver's texts logged it.
control_text() {
    tr -d '\r' <"$E2E_LOGS/$E2E_CASE-$E2E_CASE-$1.log" |
        grep -E "^ +id=$2 \\(" | grep -v '\[hidden\]' | tail -n1 | sed 's/.* text="\(.*\)".*/\1/; s/\\"/"/g'
}

# ---- the steps ---------------------------------------------------------------------

check_package() {
    say "== infcheck $package"
    local code=0
    "$E2E_BUILD/native/infcheck" --codepage "${codepage#CP}" "$package" >"$work/infcheck.txt" 2>&1 || code=$?
    sed 's/^/  /' "$work/infcheck.txt"
    infcheck_code=$code
    [ "$code" -eq 0 ] && return 0
    if [ "$force" = 1 ]; then
        say "  infcheck found errors; --force: the trial goes on"
        return 0
    fi
    say "  infcheck found errors: the trial stops here (--force tries it all the same)"
    return 1
}

lay_out() {
    e2e_start "trial-$name-$lang" "$([ "$lang" = ja ] && echo ja)" || return 1
    E2E_PACKAGE=$package e2e_package trial-package || return 1
    say "== laid out in C:\\trial-package with $(basename "$E2E_BIN")/INSTALL.exe"
    snapshot before
}

install() {
    local title resident caption
    title=$(inf_value Install Title) resident=$(inf_value Install TSR)
    caption=$(e2e_text "Installation of $title" "${title}のインストール")
    say "== installing: C:\\trial-package\\INSTALL.EXE"
    if [ "${resident:0:1}" = 1 ] && [ "$desktop" = 1 ]; then
        say "  (a resident application has no shortcut options page: --desktop does nothing)"
    fi
    drive install 'C:\trial-package\INSTALL.EXE' < <(
        echo "boxes 0 install-box"
        echo "wait $(quoted "$caption") 30000"
        echo "shot 1-destination-page"
        echo "click 0x3024"
        if [ "${resident:0:1}" != 1 ]; then
            echo "expectvisible 1006 1"
            [ "$desktop" = 1 ] && echo "check 1005 1"
            echo "shot 2-shortcut-options-page"
            echo "click 0x3024"
        fi
        echo "settle 300000"
        echo "expectenabled 0x3025 1"
        echo "settle 3000"
        echo "texts"
        echo "shot 3-copy-page-done"
        echo "click 0x3025"
        echo "gone $(quoted "$caption")"
        echo "ended INSTALL.EXE 30000"
    ) && say "  copy page: $(control_text install 1007)"
    snapshot installed
}

report_installed() {
    say "== installed"
    created_files before installed | awk -F '\t' '$1 == "f"' >"$work/installed.files"
    say "files:"
    grep -v -i '\.lnk$' "$work/installed.files" |
        awk -F '\t' '{ path = $4; gsub("/", "\\", path); printf "  C:\\%-45s %10s  %s\n", path, $2, $3 }'
    say "shortcuts:"
    grep -i '\.lnk$' "$work/installed.files" | while IFS=$'\t' read -r _ _ _ path; do
        link_line "$path"
    done | tee "$work/installed.links" | cut -f5
    say "uninstall entry:"
    entry=$(created_keys before installed | grep -i -E "$UNINSTALL_ENTRY" | head -n1)
    if [ -z "$entry" ]; then
        say "  none"
    else
        say "  $entry"
        values_of "$entry" installed | sed 's/\t/ = /; s/^/    /'
    fi
    say "registry keys written:"
    { created_keys before installed | grep -v -x -F "${entry:-//}"; created_values before installed | cut -f1,2 | sed 's/\t/ value /'; } |
        tee "$work/installed.keys" | sed 's/^/  /'
    [ -s "$work/installed.keys" ] || say "  none"
}

# link_line PATH: a shortcut as "PATH<tab>TARGET<tab>ARGUMENTS<tab>FOLDER<tab>report line".
link_line() {
    local file=$E2E_C/$1 target args dir
    target=$(e2e_link_field "$file" 'Local path')
    args=$(e2e_link_field "$file" 'Command line arguments')
    dir=$(e2e_link_field "$file" 'Working directory')
    printf '%s\t%s\t%s\t%s\t  %s -> %s%s%s\n' "$(winpath "$1")" "$target" "$args" "$dir" \
        "$(winpath "$1")" "$target" "${args:+ $args}" "${dir:+ (in $dir)}"
}

# after_install: the command of --after-install in the prefix, from the installation
# folder, through a batch file of the system's code page.
after_install() {
    [ -n "$after" ] || return 0
    say "== after the installation: $after"
    local bat=$work/after-install.cmd folder=C:\\
    [ -n "$program" ] && folder=${program%\\*}
    printf '@cd /d "%s"\r\n%s\r\n' "$folder" "$after" >"$bat.utf8"
    iconv -f UTF-8 -t "$codepage" "$bat.utf8" >"$bat" || cp "$bat.utf8" "$bat"
    bench_run "$(bench_winpath "$BENCH_SYSDIR")\\cmd.exe" /c "$(bench_winpath "$bat")" >"$work/after-install.out" 2>&1
    after_code=$?
    from_system "$work/after-install.out" | tr -d '\r' | sed '/^ *$/d; s/^/  | /'
    say "  exit $after_code"
    snapshot used
    changes installed used used
    say "== what it made"
    tell_changes used
    [ "$counted" -gt 0 ] || say "  nothing"
}

# uninstall_string: the entry's command split into PROGRAM and ARGS.
uninstall_string() {
    local command
    program='' args=()
    [ -n "${entry:-}" ] || return 1
    command=$(values_of "$entry" installed | awk -F '\t' '$1 == "UninstallString" { print $2 }')
    [ -n "$command" ] || return 1
    if [ "${command:0:1}" = '"' ]; then
        program=${command:1} program=${program%%\"*}
        command=${command:$((${#program} + 2))}
    else
        program=${command%% *} command=${command:${#program}}
    fi
    read -r -a args <<<"$command"
}

uninstall() {
    local title caption answer=6
    title=$(inf_value Install Title)
    caption=$(e2e_text "Uninstallation of $title" "${title}の削除")
    [ "$keep" = 1 ] && answer=7
    if [ -z "$program" ]; then
        say "== no uninstall entry with an UninstallString: nothing to uninstall with"
        failures=$((failures + 1))
        return
    fi
    say "== uninstalling: $program ${args[*]}"
    drive uninstall "$program" "${args[@]}" < <(
        echo "boxes $answer uninstall-box"
        echo "wait $(quoted "$caption") 30000"
        echo "settle 300000"
        echo "expectenabled 2 1"
        echo "settle 3000"
        echo "texts"
        echo "shot 4-uninstall-outcome"
        echo "click 2"
        echo "gone $(quoted "$caption")"
        echo "ended INSTALL.EXE 30000"
    ) && say "  outcome: $(control_text uninstall 1008)"
    say "== restarting the wineserver (the deletion deferred to the next start)"
    bench_reboot
    snapshot after
}

# changes FROM TO NAME: what TO has that FROM lacks, in WORK/NAME.files, .folders,
# .links (shortcuts), .copy (the program's copy in the system directory), .keys and
# .values ("KEY<tab>NAME"); paths in their Windows form.
changes() {
    local out=$work/$3
    created_files "$1" "$2" | COPY=${BENCH_SYSDIR#"$E2E_C"/}/install.exe awk -F '\t' -v out="$out" '
        {
            path = $4; gsub("/", "\\", path); path = "C:\\" path; low = tolower($4)
            if ($1 == "d") kind = "folders"
            else if (low == ENVIRON["COPY"]) kind = "copy"
            else if (low ~ /\.lnk$/) kind = "links"
            else kind = "files"
            print path > (out "." kind)
        }'
    touch "$out".{files,folders,links,copy}
    created_keys "$1" "$2" >"$out.keys"
    created_values "$1" "$2" | cut -f1,2 >"$out.values"
    counted=$(cat "$out".{files,folders,links,copy,keys,values} | wc -l)
}

# tell_changes NAME: the lists of changes NAME, under their headings.
tell_changes() {
    local out=$work/$1 list heading line
    for list in files:files folders:folders links:shortcuts keys:"registry keys" \
        values:"registry values" copy:"the copy in the system directory"; do
        heading=${list#*:}
        [ -s "$out.${list%%:*}" ] || continue
        say "  $heading:"
        while IFS= read -r line; do say "    ${line/$'\t'/ value }"; done <"$out.${list%%:*}"
    done
}

report_leftovers() {
    say "== left behind"
    changes before after left
    left=$counted
    tell_changes left
    [ "$left" -gt 0 ] || say "  nothing"
}

pictures() {
    [ "$shots" = "$default_shots" ] && rm -rf "$shots"
    mkdir -p "$shots" && cp "$BENCH_SHOTS"/*.png "$shots"/ 2>/dev/null
    say "== pictures: $shots ($(find "$shots" -maxdepth 1 -name '*.png' | wc -l) files)"
}

# changes_json: the lists of changes "used" and "left" as one JSON object.
changes_json() {
    local name list args=()
    for name in used left; do
        for list in files folders links copy keys values; do
            args+=(--rawfile "$name.$list" "$work/$name.$list")
        done
    done
    jq -n "${args[@]}" '
        def lines: split("\n") | map(select(length > 0));
        [ "used", "left" ] | map({(.): {
            files: ($ARGS.named[. + ".files"] | lines), folders: ($ARGS.named[. + ".folders"] | lines),
            shortcuts: ($ARGS.named[. + ".links"] | lines),
            registry_keys: ($ARGS.named[. + ".keys"] | lines),
            registry_values: ($ARGS.named[. + ".values"] | lines | map(split("\t") | {key: .[0], name: .[1]})),
            system_copy: ($ARGS.named[. + ".copy"] | lines | first)}}) | add'
}

# write_json: the findings as JSON for CI.
write_json() {
    [ -n "$json" ] || return 0
    local lines='split("\n") | map(select(length > 0))'
    jq -n --arg package "$package" --arg lang "$lang" --arg arch "$arch" \
        --argjson infcheck_exit "$infcheck_code" --rawfile infcheck "$work/infcheck.txt" \
        --slurpfile boxes "$work/boxes.jsonl" \
        --rawfile files "$work/installed.files" --rawfile links "$work/installed.links" \
        --arg entry "${entry:-}" --rawfile entry_values "$work/entry.values" \
        --rawfile keys "$work/installed.keys" \
        --arg after "$after" --arg after_exit "${after_code:-}" \
        --argjson changes "$(changes_json)" \
        --argjson error_boxes "$error_boxes" --argjson failures "$failures" --argjson exit "$1" '
        def win: "C:\\" + gsub("/"; "\\");
        def changes(name): $changes[name];
        {package: $package, language: $lang, build: $arch,
         infcheck: {exit: $infcheck_exit, output: ($infcheck | '"$lines"')},
         boxes: $boxes,
         installed: {
           files: ($files | '"$lines"' | map(split("\t") | select(.[3] | test("\\.lnk$"; "i") | not)
                   | {path: (.[3] | win), size: (.[1] | tonumber), date: .[2]})),
           shortcuts: ($links | '"$lines"' | map(split("\t")
                   | {path: .[0], target: .[1], arguments: .[2], working_folder: .[3]})),
           uninstall_entry: (if $entry == "" then null else {key: $entry, values: ($entry_values
                   | '"$lines"' | map(split("\t") | {(.[0]): .[1]}) | add)} end),
           registry: ($keys | '"$lines"')},
         after_install: (if $after == "" then null else {command: $after,
                     exit: ($after_exit | tonumber? // null), made: changes("used")} end),
         leftovers: changes("left"),
         error_boxes: $error_boxes, failed_steps: $failures, exit: $exit}' >"$json"
    say "== findings written to $json"
}

started=$SECONDS
infcheck_code=0 after_code='' entry='' program='' left=0
args=()
for f in installed.files installed.links installed.keys entry.values \
    {used,left}.{files,folders,links,copy,keys,values}; do : >"$work/$f"; done
say "== trial of $package ($(e2e_text English Japanese), $arch$([ "$arch" = i686 ] &&
    echo " on the $BENCH_ROUTE32 route"))"
if ! check_package; then
    write_json 1
    say "== stopped by infcheck (exit 1)"
    exit 1
fi
lay_out || { say "trial: the bench did not start"; exit 1; }
install
report_installed
[ -n "$entry" ] && values_of "$entry" installed >"$work/entry.values"
uninstall_string
after_install
uninstall
report_leftovers
pictures
bench_stop
status=0
if [ "$left" -gt 0 ] || [ "$error_boxes" -gt 0 ] || [ "$failures" -gt 0 ]; then status=1; fi
write_json "$status"
if [ "$status" -eq 0 ]; then
    say "== clean, in $((SECONDS - started)) s (exit 0)"
else
    say "== not clean: $(count "$left" leftover leftovers), $(count "$error_boxes" "error box" \
        "error boxes"), $(count "$failures" "failed step" "failed steps"), in $((SECONDS - started)) s (exit 1)"
fi
exit $status
