#!/usr/bin/env bash
# selftest.sh - drives the driver's test target (both built by scripts/build.sh)
# in an English and a Japanese Wine bench: positive scenarios must pass and
# give the expected target output; wrong expectations must fail.
# Outputs go to build/driver-selftest/; exit code 0 when everything passed.
set -euo pipefail

ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
BUILD=${BUILD_DIR:-$ROOT/build}
BIN=$BUILD/x86_64
OUT=$BUILD/driver-selftest
FAILED=0
CHECKS=0

# shellcheck source=../lib/winebench.sh
. "$ROOT/tests/lib/winebench.sh"
# shellcheck source=../lib/report.sh
. "$ROOT/tests/lib/report.sh"

now() { date +%s.%N; }
since() { printf '%.1f' "$(echo "$(now) - $1" | bc)"; }

# ok DESCRIPTION: records a passed check.
ok() { CHECKS=$((CHECKS + 1)); echo "  ok   $1"; report_case "$1"; }

# bad DESCRIPTION [FILE]: records a failed check and shows FILE.
bad() {
    CHECKS=$((CHECKS + 1)); FAILED=$((FAILED + 1))
    echo "  FAIL $1"
    report_case "$1" "failed"
    if [ -n "${2:-}" ]; then sed 's/^/       | /' "$2"; fi
}

# build: the driver and the target come from the CMake build; outputs go to OUT.
build() {
    mkdir -p "$OUT"
    local exe
    for exe in driver.exe target.exe; do
        [ -f "$BIN/$exe" ] || { echo "selftest: $BIN/$exe is missing; run scripts/build.sh" >&2; return 1; }
    done
}

# scenario NAME: writes stdin to OUT/LANG-NAME.scn.
scenario() { cat >"$OUT/$LANG_TAG-$1.scn"; }

# drive NAME: runs the driver on scenario NAME (log to OUT/LANG-NAME.log); its exit code.
drive() {
    local rc=0
    bench_run "$BIN/driver.exe" "$(bench_winpath "$OUT/$LANG_TAG-$1.scn")" \
        >"$OUT/$LANG_TAG-$1.log" 2>&1 || rc=$?
    return $rc
}

# pass NAME: the scenario must pass.
pass() {
    local rc=0 log=$OUT/$LANG_TAG-$1.log
    drive "$1" || rc=$?
    if [ $rc = 0 ] && [ "$(tail -n1 "$log")" = PASS ]; then
        ok "$LANG_TAG-$1 passes"
    else
        bad "$LANG_TAG-$1 should pass (exit $rc)" "$log"
    fi
}

# reject NAME LINE PATTERN: the scenario must fail at LINE with PATTERN in the reason.
reject() {
    local rc=0 log=$OUT/$LANG_TAG-$1.log line
    drive "$1" || rc=$?
    line=$(tail -n1 "$log")
    if [ $rc = 1 ] && [[ $line == "FAIL $2: "* && $line == *"$3"* ]]; then
        ok "$LANG_TAG-$1 fails: $line"
    else
        bad "$LANG_TAG-$1 should fail at line $2 with '$3' (exit $rc)" "$log"
    fi
}

# contains NAME TEXT: the log of scenario NAME holds TEXT.
contains() {
    if grep -qF -- "$2" "$OUT/$LANG_TAG-$1.log"; then
        ok "$LANG_TAG-$1 log shows $2"
    else
        bad "$LANG_TAG-$1 log should show $2" "$OUT/$LANG_TAG-$1.log"
    fi
}

set_texts_en() {
    LANG_TAG=en ACP=1252 TARGET_ARG=
    CAP_BOX="Driver Test"
    MSG='Continue with the test?\nSecond line.'
    MSG_NEAR='Continue with the test?'
    MSG_PART="Second"
    CAP_DLG="Driver Test Dialog"
    LABEL="Name:" LABEL_PART="Name"
    APPLIED="Applied: "
    CAP_MISSING="Missing Name" MISSING="Please enter a name."
    CAP_WIZ="Driver Wizard" CAP_WIZ_PREFIX="Driver Wiz"
    WELCOME="Welcome page" PAGE2="Second page"
    CANCEL_Q="Really cancel the wizard?"
    NAME="Alice Smith" TYPED="typed" WIZTEXT="wizard text"
    WIZARD_END="click 0x3025"
    WIZARD_OUT=("cancel-query=7" "wizard-text=$WIZTEXT" wizard-accept=1 wizard=1)
}

# The 表 and ソ in these texts have a 0x5C second byte in CP932.
set_texts_ja() {
    LANG_TAG=ja ACP=932 TARGET_ARG=ja
    CAP_BOX="ドライバー テスト"
    MSG='テストを続けますか？\nソフトウェアの表示'
    MSG_NEAR='テストを続けますか?\nソフトウェアの表示'
    MSG_PART="ソフト"
    CAP_DLG="ドライバー ダイアログ"
    LABEL="名前：" LABEL_PART="名前"
    APPLIED="適用済み："
    CAP_MISSING="入力エラー" MISSING="名前を入力してください。"
    CAP_WIZ="ドライバー ウィザード" CAP_WIZ_PREFIX="ドライバー ウィ"
    WELCOME="ようこそ" PAGE2="２ページ目"
    CANCEL_Q="ウィザードを中止しますか？"
    NAME="表田 ソ太郎" TYPED="入力" WIZTEXT="ウィザード 表示"
    # Closed with the title-bar button and cancelled instead of finished.
    WIZARD_END="close
answer \"$CAP_WIZ\" 6 \"$CANCEL_Q\""
    WIZARD_OUT=(cancel-query=7 cancel-query=6 wizard=0)
}

write_positive_scenarios() {
    scenario box <<EOF
# The first message box of the target.
wait "$CAP_BOX"
texts
expectmsg "$MSG"
expectcontains 0xFFFF "$MSG_PART"
EOF
    scenario dialog <<EOF
answer "$CAP_BOX" 6 "$MSG"
wait "$CAP_DLG"
texts
expect 100 "$LABEL"
expect 101 ""
expectcheck 102 0
expectenabled 103 0
expectvisible 103 1
EOF
    scenario missing <<EOF
wait "$CAP_DLG"
click 1
wait "$CAP_MISSING"
expectmsg "$MISSING"
EOF
    scenario wizard <<EOF
waitclass "#32770" "$CAP_DLG"
answerall "$CAP_MISSING" 1 101 ""
waitenabled "$CAP_DLG" 1000
settext 101 "$NAME"
expect 101 "$NAME"
check 102 1
expectcheck 102 1
expectenabled 103 1
click 103
expect 104 "$APPLIED$NAME"
shot $LANG_TAG-dialog
click 1
gone "$CAP_DLG"
wait "$CAP_WIZ"
texts
expect 200 "$WELCOME"
expectenabled 0x3024 0
expectvisible 0x3025 0
EOF
    scenario finish <<EOF
wait "$CAP_WIZ_PREFIX*"
check 201 1
expectenabled 0x3024 1
click 0x3024
expect 300 "$PAGE2"
expectvisible 0x3025 1
click 0x3023
expect 200 "$WELCOME"
expectcheck 201 1
click 0x3024
click 2
answer "$CAP_WIZ" 7 "$CANCEL_Q"
expect 300 "$PAGE2"
type 301 "$TYPED"
expect 301 "$TYPED"
settext 301 "$WIZTEXT"
shot $LANG_TAG-wizard
$WIZARD_END
gone "$CAP_WIZ"
log "finished"
EOF
}

write_negative_scenarios() {
    scenario bad-command <<EOF
# a typo is found before anything runs
log "first"
wiat "$CAP_BOX"
EOF
    scenario bad-number <<EOF
click OK
EOF
    scenario bad-quote <<EOF
log "ok"
expect 100 "unterminated
EOF
    scenario no-window <<EOF
wait "No Such Window" 300
EOF
    scenario box-text <<EOF
settle 300
wait "$CAP_BOX"
expectmsg "$MSG_NEAR"
EOF
    scenario box-button <<EOF
timeout 1000
answer "$CAP_BOX" 1
EOF
    scenario box-answer-text <<EOF
timeout 1000
answer "$CAP_BOX" 6 "$MSG_NEAR"
EOF
    scenario dialog-click-disabled <<EOF
settle 300
wait "$CAP_DLG"
click 103
EOF
    scenario dialog-text <<EOF
settle 300
wait "$CAP_DLG"
expect 100 "$LABEL_PART"
EOF
    scenario dialog-check <<EOF
settle 300
wait "$CAP_DLG"
expectcheck 102 1
EOF
    scenario dialog-enabled <<EOF
settle 300
wait "$CAP_DLG"
expectenabled 103 1
EOF
    scenario dialog-modal <<EOF
settle 300
wait "$CAP_DLG"
click 1
EOF
    # The dialog stands behind its box.
    scenario dialog-behind-box <<EOF
waitenabled "$CAP_DLG" 300
EOF
    # The box is answered, then the text never comes.
    scenario answerall-never <<EOF
settle 300
waitclass "#32770" "$CAP_DLG"
answerall "$CAP_MISSING" 1 101 "never"
EOF
    scenario dialog-class <<EOF
waitclass Edit "$CAP_DLG" 300
EOF
    scenario dialog-gone <<EOF
gone "$CAP_DLG" 300
EOF
    scenario wizard-next-disabled <<EOF
settle 300
wait "$CAP_WIZ"
click 0x3024
EOF
    scenario wizard-finish-hidden <<EOF
settle 300
wait "$CAP_WIZ"
click 0x3025
EOF
    scenario wizard-visible <<EOF
settle 300
wait "$CAP_WIZ"
expectvisible 0x3025 1
EOF
    scenario wizard-no-control <<EOF
settle 300
wait "$CAP_WIZ"
expect 999 "x"
EOF
    scenario no-current <<EOF
expect 100 "x"
EOF
}

# check_target_output FILE: the target printed what the scenarios entered.
check_target_output() {
    local expected=$OUT/$LANG_TAG-target.expected got=$OUT/$LANG_TAG-target.lf
    printf '%s\n' "acp=$ACP" msgbox=6 missing=1 "applied=$NAME" "name=$NAME" option=1 \
        dialog=1 "${WIZARD_OUT[@]}" >"$expected"
    tr -d '\r' <"$1" >"$got"  # a Windows console program writes CR LF
    if diff -u "$expected" "$got" >"$OUT/$LANG_TAG-target.diff"; then
        ok "$LANG_TAG target received the expected input"
    else
        bad "$LANG_TAG target output differs" "$OUT/$LANG_TAG-target.diff"
    fi
}

# check_shot NAME: a PNG of the window (smaller than the 1024x768 screen, larger than
# a button) that is not all black.
check_shot() {
    local png=$BENCH_SHOTS/$1.png size mean w h
    size=$(identify -format '%wx%h' "$png" 2>/dev/null || true)
    mean=$(convert "$png" -format '%[fx:mean>0.01]' info: 2>/dev/null || true)
    w=${size%x*} h=${size#*x}
    if [ -s "$png" ] && [ "${w:-0}" -ge 150 ] && [ "${h:-0}" -ge 100 ] && [ "$size" != 1024x768 ] &&
        [ "$mean" = 1 ]; then
        cp "$png" "$OUT/$1.png"
        ok "screenshot $1.png ($(stat -c %s "$png") bytes)"
    else
        bad "screenshot $1.png missing or blank (size '$size')"
    fi
}

run_syntax_checks() {
    reject bad-command 3 "unknown command wiat"
    reject bad-number 1 "not a number"
    reject bad-quote 2 "missing closing quote"
    reject no-current 1 "no current window"
    if grep -q '^2: log first' "$OUT/$LANG_TAG-bad-command.log"; then
        bad "a scenario with a bad line must not run at all" "$OUT/$LANG_TAG-bad-command.log"
    else
        ok "a scenario with a bad line does not run"
    fi
}

run_shot_skipped() {
    scenario shot-skipped <<EOF
shot nothing
EOF
    local rc=0 log=$OUT/$LANG_TAG-shot-skipped.log
    rm -f "$log"
    env -u DRIVER_SHOT_DIR "$BENCH_WINE" "$BIN/driver.exe" \
        "$(bench_winpath "$OUT/$LANG_TAG-shot-skipped.scn")" "$(bench_winpath "$log")" || rc=$?
    if [ $rc = 0 ] && grep -q 'shot "nothing" skipped' "$log" && [ "$(tail -n1 "$log")" = PASS ]; then
        ok "shot without DRIVER_SHOT_DIR is skipped (log written to LOG_FILE)"
    else
        bad "shot without DRIVER_SHOT_DIR should be skipped" "$OUT/$LANG_TAG-shot-skipped.log"
    fi
}

# run_ticks_check: ticks 1 stamps the lines with a millisecond clock at each command's end
# (a sleep shows as the gap), ticks 0 stops it; poll takes 1 to 1000 ms.
run_ticks_check() {
    scenario ticks <<EOF
log before
ticks 1
log first
sleep 200
log second
ticks 0
log after
poll 10
EOF
    scenario bad-poll <<EOF
poll 0
EOF
    local log=$OUT/$LANG_TAG-ticks.log t1 t2
    pass ticks
    t1=$(sed -n 's/^@\([0-9]*\) 3: log first\r\{0,1\}$/\1/p' "$log")
    t2=$(sed -n 's/^@\([0-9]*\) 5: log second\r\{0,1\}$/\1/p' "$log")
    if grep -q '^1: log before' "$log" && grep -q '^@[0-9]* 2: ticks 1' "$log" &&
        grep -q '^6: ticks 0' "$log" && grep -q '^7: log after' "$log" &&
        grep -q '^8: poll 10' "$log" &&
        [ -n "$t1" ] && [ -n "$t2" ] && [ $((t2 - t1)) -ge 199 ] && [ $((t2 - t1)) -lt 2000 ]; then
        ok "ticks stamps the lines between ticks 1 and ticks 0 ($((t2 - t1)) ms across sleep 200)"
    else
        bad "ticks should stamp lines 2 to 5 only, 200 ms apart across the sleep" "$log"
    fi
    reject bad-poll 1 "poll takes 1 to 1000 ms, not 0"
    scenario bad-boxes <<EOF
boxes yes
EOF
    reject bad-boxes 1 'boxes takes a button id or off, not "yes"'
    scenario answered-off <<EOF
answered 1
EOF
    reject answered-off 1 'answered needs boxes on'
    scenario answered-none <<EOF
boxes 6
answered 1 100
EOF
    reject answered-none 2 '0 box(es) answered after 100 ms; expected 1'
}

# run_flow FULL: drives the target; FULL=1 also runs every negative scenario.
run_flow() {
    local full=$1 rc=0
    bench_spawn "$BIN/target.exe" ${TARGET_ARG:+"$TARGET_ARG"} >"$OUT/$LANG_TAG-target.out" 2>&1
    local target=$BENCH_PID
    pass box
    [ "$full" = 1 ] && reject no-window 1 'no visible window with caption "No Such Window"'
    [ "$full" = 1 ] && contains no-window "caption=\"$CAP_BOX\""
    reject box-text 3 "expected \"$MSG_NEAR\""
    [ "$full" = 1 ] && reject box-button 2 "no usable button 1 (missing)"
    reject box-answer-text 2 "no message box \"$CAP_BOX\" saying"
    pass dialog
    if [ "$full" = 1 ]; then
        reject dialog-click-disabled 3 "control 103 is disabled"
        reject dialog-text 3 "control 100 has \"$LABEL\"; expected \"$LABEL_PART\""
        reject dialog-check 3 "check of control 102 is 0; expected 1"
        reject dialog-enabled 3 "enabled of control 103 is 0; expected 1"
        reject dialog-gone 1 "still open"
        reject dialog-class 1 'no visible window of class "Edit" with caption'
    fi
    pass missing
    [ "$full" = 1 ] && reject dialog-modal 3 "control 1 is in a disabled window"
    [ "$full" = 1 ] && reject dialog-behind-box 1 "no visible enabled window with caption \"$CAP_DLG\""
    [ "$full" = 1 ] && reject answerall-never 3 "control 101 has \"\" after 1 boxes; expected \"never\""
    pass wizard
    if [ "$full" = 1 ]; then
        reject wizard-next-disabled 3 "control 12324 is disabled"
        reject wizard-finish-hidden 3 "control 12325 is hidden"
        reject wizard-visible 3 "visible of control 12325 is 0; expected 1"
        reject wizard-no-control 3 "no control with id 999"
    fi
    pass finish
    bench_wait "$target" 20 || rc=$?
    if [ $rc = 0 ]; then ok "$LANG_TAG target exited with 0"; else bad "$LANG_TAG target exit $rc"; fi
    check_target_output "$OUT/$LANG_TAG-target.out"
    contains box "expect 65535: \"$MSG\""
    contains finish "log finished"
    contains "$([ "$full" = 1 ] && echo answerall-never || echo wizard)" "answerall: box 1 says \"$MISSING\"; pressed 1"
}

# run_reboot_check: a delayed delete is carried out by bench_reboot only.
run_reboot_check() {
    local file=$WINEPREFIX/drive_c/delete-me.txt t
    echo x >"$file"
    bench_run "$BIN/target.exe" delmove 'C:\delete-me.txt' >/dev/null
    if [ -e "$file" ] && bench_reg_query 'HKLM\System\CurrentControlSet\Control\Session Manager' \
        PendingFileRenameOperations | grep -qF 'C:\delete-me.txt'; then
        ok "delayed delete is pending"
    else
        bad "delayed delete should be pending"
    fi
    t=$(now)
    bench_reboot
    if [ ! -e "$file" ]; then ok "bench_reboot carried out the delete ($(since "$t") s)"
    else bad "bench_reboot should delete $file"; fi
}

# run_boxes_flow: the target driven with "boxes 6": each of its boxes is answered on the
# way (Yes where the box has it, else its default button), logged and shot; "ended"
# fails while the target runs (saying how long it waited, time factor included) and
# passes once it has ended. Then "boxes 7" answers the first box No where its default
# is Yes.
run_boxes_flow() {
    scenario ended-running <<EOF
ended target.exe 300
EOF
    scenario boxes <<EOF
boxes 6 $LANG_TAG-box
wait "$CAP_DLG"
click 1
answered 2
settext 101 "$NAME"
click 1
wait "$CAP_WIZ"
close
ended TARGET.EXE 10000
EOF
    local log=$OUT/$LANG_TAG-boxes.log out=$OUT/$LANG_TAG-boxes-target.out got want n
    bench_spawn "$BIN/target.exe" ${TARGET_ARG:+"$TARGET_ARG"} >"$out" 2>&1
    local target=$BENCH_PID
    reject ended-running 1 '1 process(es) of "target.exe" still running after 300 ms'
    # A stretched wait is told as it was waited.
    DRIVER_TIME_FACTOR=2 reject ended-running 1 '1 process(es) of "target.exe" still running after 600 ms'
    pass boxes
    bench_wait "$target" 10 >/dev/null 2>&1 || bench_kill "$target"
    got=$(tr -d '\r' <"$out" | tr '\n' ' ')
    want="acp=$ACP msgbox=6 missing=1 name=$NAME option=0 dialog=1 cancel-query=6 wizard=0 "
    if [ "$got" = "$want" ]; then ok "$LANG_TAG boxes answered Yes, else the default button"
    else bad "$LANG_TAG boxes: the target printed '$got', not '$want'"; fi
    got=$(tr -d '\r' <"$log" | sed -n 's/^[0-9]*: box //p' | jq -s -c 'map([.n, .caption, .text, .id, .shot])')
    want=$(jq -n -c --arg box "$CAP_BOX" --arg msg "${MSG//\\n/$'\n'}" --arg missing "$CAP_MISSING" \
        --arg missing_text "$MISSING" --arg wiz "$CAP_WIZ" --arg cancel "$CANCEL_Q" --arg shot "$LANG_TAG-box" \
        '[[1, $box, $msg, 6, "\($shot)-1"], [2, $missing, $missing_text, 1, "\($shot)-2"],
          [3, $wiz, $cancel, 6, "\($shot)-3"]]')
    if [ "$got" = "$want" ]; then ok "$LANG_TAG boxes logged with caption, text, button and shot"
    else bad "$LANG_TAG boxes logged $got, not $want" "$log"; fi
    for n in 1 2 3; do
        [ -s "$BENCH_SHOTS/$LANG_TAG-box-$n.png" ] || break
    done
    if [ -s "$BENCH_SHOTS/$LANG_TAG-box-$n.png" ]; then ok "$LANG_TAG a shot of each box"
    else bad "$LANG_TAG no shot $LANG_TAG-box-$n.png"; fi

    # No rather than the default Yes: the target ends at once.
    scenario boxes-no <<EOF
boxes 7
ended target.exe 10000
EOF
    bench_spawn "$BIN/target.exe" ${TARGET_ARG:+"$TARGET_ARG"} >"$out" 2>&1
    target=$BENCH_PID
    pass boxes-no
    bench_wait "$target" 10 >/dev/null 2>&1 || bench_kill "$target"
    got=$(tr -d '\r' <"$out" | tr '\n' ' ')
    if [ "$got" = "acp=$ACP msgbox=7 " ]; then ok "$LANG_TAG boxes 7 pressed No, not the default"
    else bad "$LANG_TAG boxes 7: the target printed '$got'"; fi
}

# run_bench LANG: one bench with all checks for LANG (en or ja).
run_bench() {
    local t full=0
    "set_texts_$1"
    [ "$1" = en ] && full=1
    write_positive_scenarios
    write_negative_scenarios
    echo "== $1 bench"
    t=$(now)
    bench_start "driver-$1" "$TARGET_ARG"
    echo "  bench_start: $(since "$t") s"
    [ "$full" = 1 ] && run_syntax_checks
    [ "$full" = 1 ] && run_shot_skipped
    [ "$full" = 1 ] && run_ticks_check
    t=$(now)
    run_flow "$full"
    run_boxes_flow
    echo "  scenarios: $(since "$t") s"
    check_shot "$LANG_TAG-dialog"
    check_shot "$LANG_TAG-wizard"
    [ "$full" = 1 ] && run_reboot_check
    t=$(now)
    bench_stop
    echo "  bench_stop: $(since "$t") s"
}

# main: TEST_LANGS names the benches (default "en ja"); TEST_REPORT, if set, receives
# the checks as an XML report.
main() {
    local t0 t lang
    t0=$(now)
    report_begin "${TEST_REPORT:-}" driver_selftest
    build
    echo "build: $(since "$t0") s"
    t=$(now)
    bench_init "$BUILD"
    echo "bench_init: $(since "$t") s"
    for lang in ${TEST_LANGS:-en ja}; do run_bench "$lang"; done
    report_end
    echo "selftest: $CHECKS checks, $FAILED failed, $(since "$t0") s"
    [ "$FAILED" = 0 ]
}

main "$@"
