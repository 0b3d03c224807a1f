#!/usr/bin/env bash
# The trial of a package (scripts/trial.sh) end to end, in each language of TEST_LANGS:
# the sample's trial is clean; an application's own file kept with --keep-user-files is
# reported with its folder, a key it wrote below a [Reg] key is removed and one outside
# is reported; a package with an infcheck error stops before anything runs; with --force a
# package whose entry has no source reports the copy failure box (in English: the kept
# file's error box checks the error caption of each language); bad arguments are a
# usage error. Checked through the trial's exit status, its JSON findings and pictures.
# The i686 build (the shipped program) has the sample's trial on the bench's route for
# 32-bit programs, its entry in the 32-bit registry view; the Japanese run adds a kept file
# and keys of a 32-bit application (one language is enough for the view, and each trial
# takes most of a minute), and with E2E_SHORT=1 (the emulated route) that is left out
# too. Without a route, forced for the check, --i686 must refuse with 2 and the reason.
# The jq filters name their arguments as $name, in single quotes.
# shellcheck disable=SC2016
# shellcheck source=lib.sh
. "$(dirname "$0")/lib.sh"
TRIAL=$E2E_ROOT/scripts/trial.sh
OUT=$E2E_BUILD/trial-e2e/$E2E_ARCH

# trial NAME ARGS...: runs the trial (its report goes to OUT/NAME.log, its findings to
# OUT/NAME.json) and sets CODE to its exit status.
trial() {
    local name=$1
    shift
    CODE=0
    rm -f "$OUT/$name.json"
    env -u TEST_REPORT "$TRIAL" --json "$OUT/$name.json" "$@" >"$OUT/$name.log" 2>&1 || CODE=$?
    sed 's/^/      | /' "$OUT/$name.log" >"$OUT/$name.shown"
}

# found NAME FILTER [JQ_ARGS...]: the jq FILTER over NAME's findings holds (prints why not).
found() {
    jq -e "$2" "${@:3}" "$OUT/$1.json" >/dev/null 2>&1 && return 0
    echo "      | not so in $OUT/$1.json: $2"
    return 1
}

# exit_is NAME CODE: the trial NAME exited with CODE (shows its report when not).
exit_is() {
    [ "$CODE" = "$2" ] && return 0
    echo "      | $1 exited with $CODE, not $2:"
    tail -n 40 "$OUT/$1.shown"
    return 1
}

# package NAME: a copy of the sample in OUT/NAME.
package() {
    rm -rf "${OUT:?}/$1" && cp -R "$E2E_ROOT/sample" "$OUT/$1"
}

clean_sample() {
    local lang=$1 shots=$OUT/sample-$1-shots picture
    trial "sample-$lang" "${flag[@]}" --shots "$shots" "$E2E_ROOT/sample"
    check "$lang: the sample's trial is clean" exit_is "sample-$lang" 0
    check "$lang: nothing is left behind" found "sample-$lang" \
        '.leftovers | ([.files, .folders, .shortcuts, .registry_keys, .registry_values] | flatten == []) and .system_copy == null'
    check "$lang: the installed files with sizes" found "sample-$lang" \
        '[.installed.files[] | "\(.path) \(.size)"] | sort == ["C:\\SampleEd\\INSTALL.EXE \($size)",
         "C:\\SampleEd\\INSTALL.INF 408", "C:\\SampleEd\\plugins\\plug.dll 29",
         "C:\\SampleEd\\readme.txt 62", "C:\\SampleEd\\sample.cfg 18", "C:\\SampleEd\\sample.exe 31"]' \
        --arg size "$(stat -c %s "$E2E_BIN/INSTALL.exe")"
    check "$lang: the three shortcuts with target and arguments" found "sample-$lang" \
        '[.installed.shortcuts[] | "\(.target) \(.arguments)"] | sort == ["C:\\SampleEd\\install.exe /r", "C:\\SampleEd\\readme.txt ", "C:\\SampleEd\\sample.exe "]'
    check "$lang: the uninstall entry" found "sample-$lang" \
        '.installed.uninstall_entry.values.UninstallString == "\"C:\\SampleEd\\INSTALL.EXE\" /r" and (.installed.uninstall_entry.key | endswith("\\Uninstall\\SampleEd"))'
    check "$lang: the completion and the confirmation box, answered OK" found "sample-$lang" \
        '[.boxes[] | [.stage, .text, .pressed, .error]] ==
         [["install", $completed, "OK", false], ["uninstall", $confirm, "OK", false]]' \
        --arg completed "$(e2e_text "Installation has been completed." "インストールが完了しました。")" \
        --arg confirm "$(e2e_text "Sample Editor will be uninstalled." "Sample Editorを削除します。")"
    for picture in 1-destination-page 2-shortcut-options-page 3-copy-page-done install-box-1 \
        uninstall-box-1 4-uninstall-outcome; do
        [ -s "$shots/$picture.png" ] || break
    done
    check "$lang: a picture of every page and box in --shots" test -s "$shots/$picture.png"
}

# The application's use: a file of its own in its folder, a key below each of the first
# two [Reg] keys (HKCU, and HKLM in the build's registry view) and one outside every
# [Reg] key in each root; the file is kept. A 32-bit application's HKLM keys lie in the
# 32-bit view, which the trial must read and the uninstaller clean.
kept_file_and_keys() {
    local lang=$1 sw='HKLM\Software'
    [ "$E2E_ARCH" = i686 ] && sw='HKLM\Software\Wow6432Node'
    trial "keep-$lang" "${flag[@]}" --keep-user-files --after-install \
        'echo mine> notes.txt & reg add HKCU\Software\SampleSoft\SampleEd\Settings /v Size /d 10 /f & reg add HKLM\Software\SampleSoft\SampleEd\Settings /v Size /d 10 /f & reg add HKCU\Software\TrialOutside /v x /d y /f & reg add HKLM\Software\TrialOutside /v x /d y /f' \
        "$E2E_ROOT/sample"
    check "$lang: a kept user file is not clean" exit_is "keep-$lang" 1
    check "$lang: the command made the file and the four keys" found "keep-$lang" \
        '.after_install.exit == 0 and .after_install.made.files == ["C:\\SampleEd\\notes.txt"] and
         (.after_install.made.registry_keys | index("HKCU\\Software\\SampleSoft\\SampleEd\\Settings") and
          index($sw + "\\SampleSoft\\SampleEd\\Settings") and index("HKCU\\Software\\TrialOutside") and
          index($sw + "\\TrialOutside"))' --arg sw "$sw"
    check "$lang: the folder's error box, in the run's language, is counted" found "keep-$lang" \
        '.error_boxes == 1 and [.boxes[] | select(.error) | .caption] == [$error]' \
        --arg error "$(e2e_text Error エラー)"
    check "$lang: the file question was answered No" found "keep-$lang" \
        '[.boxes[] | select(.text | contains("C:\\SampleEd\\notes.txt")) | .pressed] | length == 1 and (.[0] | test("^(No|いいえ)"))'
    check "$lang: the kept file and its folder are reported" found "keep-$lang" \
        '.leftovers.files == ["C:\\SampleEd\\notes.txt"] and .leftovers.folders == ["C:\\SampleEd"]'
    check "$lang: the keys below [Reg] keys were removed" found "keep-$lang" \
        '[.leftovers.registry_keys[] | select(startswith("HKCU\\Software\\SampleSoft\\SampleEd") or
         startswith($sw + "\\SampleSoft\\SampleEd"))] == []' --arg sw "$sw"
    check "$lang: the keys outside the [Reg] keys are reported" found "keep-$lang" \
        '.leftovers.registry_keys | index("HKCU\\Software\\TrialOutside") and index($sw + "\\TrialOutside")' \
        --arg sw "$sw"
    check "$lang: the report names the kept file" grep -qF 'C:\SampleEd\notes.txt' "$OUT/keep-$lang.log"
}

# A [Reg] key under no root: infcheck's error stops the trial before any bench.
infcheck_error() {
    local lang=$1
    package bad-reg
    printf '4=Software\\NoRoot\n' >>"$OUT/bad-reg/install.inf"
    trial "bad-reg-$lang" "${flag[@]}" "$OUT/bad-reg"
    check "$lang: an infcheck error stops the trial with 1" exit_is "bad-reg-$lang" 1
    check "$lang: the finding is shown and nothing ran" eval \
        "grep -q 'error: .*\[reg-root\]' '$OUT/bad-reg-$lang.log' && ! grep -q '== installing' '$OUT/bad-reg-$lang.log'"
    check "$lang: the findings say infcheck's exit" found "bad-reg-$lang" \
        '.infcheck.exit == 1 and .boxes == [] and .exit == 1'
}

# An entry without its source, tried with --force: the copy failure is an error box.
missing_source() {
    local lang=$1
    package missing
    rm "$OUT/missing/sample.cfg"
    trial "missing-$lang" "${flag[@]}" --force "$OUT/missing"
    check "$lang: a copy failure box makes the trial fail" exit_is "missing-$lang" 1
    check "$lang: the copy failure box is reported as an error" found "missing-$lang" \
        '[.boxes[] | select(.error) | [.stage, .caption, .text]] == [["install", $error, $failed]]' \
        --arg error "$(e2e_text Error エラー)" \
        --arg failed "$(e2e_text "Failed in copying sample.cfg" "sample.cfg のコピーに失敗しました。")"
    check "$lang: the trial went on to the uninstallation" found "missing-$lang" \
        '.infcheck.exit == 1 and .installed.uninstall_entry != null and .error_boxes == 1 and .failed_steps == 0'
}

# Without a route for 32-bit programs (forced) --i686 refuses at once, naming the reason,
# and leaves the bench's template (which holds both sides) as it was.
no_route() {
    local lang=$1 why="no route, forced by the trial's end-to-end test" template
    template=$(stat -c '%i %Y' "$BENCH_ROOT/template/.bench-ready")
    CODE=0
    BENCH_ROUTE32=none BENCH_ROUTE32_WHY=$why "$TRIAL" "${flag[@]}" "$E2E_ROOT/sample" \
        >"$OUT/no-route-$lang.log" 2>&1 || CODE=$?
    check "$lang: --i686 without a route for 32-bit programs is refused (exit $CODE)" test "$CODE" = 2
    check "$lang: the refusal gives the reason" grep -qF "no route for 32-bit programs here: $why" \
        "$OUT/no-route-$lang.log"
    check "$lang: the refusal made no template of its own" \
        test "$(stat -c '%i %Y' "$BENCH_ROOT/template/.bench-ready")" = "$template"
}

# The shipped program's findings lie in the 32-bit view of the registry.
in_32bit_view() {
    local lang=$1
    check "$lang: the i686 uninstall entry is found in the 32-bit view" found "sample-$lang" \
        '.installed.uninstall_entry.key | test("^HKLM\\\\Software\\\\Wow6432Node\\\\"; "i")'
}

usage_errors() {
    local lang=$1 code
    for args in "" "--shots" "--bogus $E2E_ROOT/sample" "$OUT/no-such-package" \
        "$E2E_ROOT/sample $E2E_ROOT/sample"; do
        code=0
        # shellcheck disable=SC2086  # the arguments are split on purpose
        "$TRIAL" $args >/dev/null 2>&1 || code=$?
        check "$lang: '${args//$E2E_ROOT/.}' is a usage error (exit $code)" test "$code" = 2
    done
}

mkdir -p "$OUT"
for lang in $E2E_LANGS; do
    flag=()
    [ "$lang" = ja ] && flag+=(--ja)
    [ "$E2E_ARCH" = i686 ] && flag+=(--i686)
    E2E_LANG=$lang
    started=$SECONDS
    if [ "$E2E_ARCH" = i686 ]; then
        no_route "$lang"
        if [ "$BENCH_ROUTE32" = none ]; then
            skip "$lang: trials of the i686 build" "no route for 32-bit programs: $BENCH_ROUTE32_WHY"
            continue
        fi
    fi
    clean_sample "$lang"
    if [ "$E2E_ARCH" = i686 ]; then
        in_32bit_view "$lang"
        if [ "$E2E_SHORT" = 1 ]; then
            skip "$lang: the other trials" "$E2E_SHORT_WHY"
        elif [ "$lang" != ja ]; then
            skip "$lang: the kept file and keys of a 32-bit application" "checked in the Japanese run"
        else
            kept_file_and_keys "$lang"
        fi
    else
        kept_file_and_keys "$lang"
        infcheck_error "$lang"
        if [ "$lang" = en ]; then
            missing_source "$lang"
        else
            skip "$lang: a copy failure box (--force)" "checked in the English run; the kept file's error box here"
        fi
        usage_errors "$lang"
    fi
    echo "  ($lang took $((SECONDS - started)) s)"
done
e2e_summary
