#!/usr/bin/env bash
# The install wizard end to end, in an English and a Japanese bench: a fresh installation
# of the sample with the destination page's refusals, About and Browse; a second
# installation into the same folder; the installed program onto its own folder; a
# resident application; low free space and Cancel; the language's setup information
# file; a destination too long for the uninstall command; a source in use and a missing
# source.  With E2E_SHORT=1 only the fresh and the second installation run.
# Scenario templates are in scenarios/wizard_*.txt; ${W_...} stands for a text below.
# shellcheck source=lib.sh
. "$(dirname "$0")/lib.sh"
SCENARIOS=$E2E_ROOT/tests/e2e/scenarios
UNINSTALL_KEY='HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall'
SHELL_FOLDERS='HKCU\Software\Microsoft\Windows\CurrentVersion\Explorer\Shell Folders'
HOLD=$E2E_TOOLS/hold_file.exe

# The W_ texts reach the scenario templates through envsubst (run_scenario).
# shellcheck disable=SC2034
texts_en() {
    W_LANG=en W_TITLE="Sample Editor" W_ERROR="Error"
    W_CAPTION="Installation of Sample Editor"
    W_HEADING="Assign a destination folder for Sample Editor :"
    W_ABOUT="About" W_BROWSE="Browse" W_CONFIRM="Confirmation"
    W_ROOT="Unable to install in the route directory."
    W_DRIVE='Assign a correct drive and path, e.g. C:\Soft\.'
    W_BLOCKED='Unable to create a folder, C:\blocker, because it already exists.'
    W_UNINFO='Uninstall information will be destroyed except upgrade.\nDo you assign an other folder?'
    W_FREE="Free space of the assigned drive is 50 MB.  Do you continue the installation?"
    W_INTERRUPTED="Installation was interrupted." W_COMPLETED="Installation has been completed."
    W_SUCCEEDED="Installation succeeded.  Press <Finish> for completion."
    W_HINT="Use <Uninstall Sample Editor> in the menu for the uninstallation."
    W_ADDREMOVE="Use <Add/Remove Programs> in the Control Panel for the uninstallation."
    W_NOENTRY="No uninstall entry could be written.  Delete the files by hand to uninstall."
    W_INUSE='C:\Failing\plugins\plug.dll is in use so that overwriting cannot be executed.'
    W_COPYFAILED="Failed in copying sample.cfg"
    ALREADY=' is already exists.\nDo you overwrite the existing file?\n\n Copy To   : '
    COPYFROM='\n Copy From : ' STAMP='+%m/%d/%Y  %H:%M:%S' FALLBACK=INSTALLE.INF
    W_RES_TITLE="Resident Tool" W_RES_CAPTION="Installation of Resident Tool"
}

# shellcheck disable=SC2034
texts_ja() {
    W_LANG=ja W_TITLE="Sample Editor" W_ERROR="エラー"
    W_CAPTION="Sample Editorのインストール"
    W_HEADING="Sample Editorのインストール先を指定してください："
    W_ABOUT="御案内" W_BROWSE="参照" W_CONFIRM="上書き確認"
    W_ROOT="ルートディレクトリにはインストールできません。"
    W_DRIVE='「C:\Soft\」のように、ドライブ名も含めた正しいパス名を指定してください。'
    W_BLOCKED='C:\blocker - 同じ名前のファイルが既に存在するのでフォルダが作成できません。'
    W_UNINFO='バージョンアップ以外では既にあるアンインストール情報が壊されます。\n別のフォルダーを指定しますか？'
    W_FREE="指定されたドライブの残り容量が 50メガバイトしかありません。かまわずにインストールしますか？"
    W_INTERRUPTED="インストールは中断されました。" W_COMPLETED="インストールが完了しました。"
    W_SUCCEEDED="インストールが完了しました。「完了」を押すと終了します。"
    W_HINT="このソフトを削除するにはメニューの「Uninstall Sample Editor」を使ってください。"
    W_ADDREMOVE="このソフトを削除するにはコントロールパネルの「アプリケーションの追加と削除」を使ってください。"
    W_NOENTRY="アンインストール情報を登録できませんでした。ファイルは手動で削除してください。"
    W_INUSE='C:\Failing\plugins\plug.dll は他で使用中のため上書きできません。'
    W_COPYFAILED="sample.cfg のコピーに失敗しました。"
    ALREADY=' は既に存在します。\n既存ファイルに上書きしますか？\n\n コピー先： '
    COPYFROM='\n コピー元： ' STAMP='+%Y/%m/%d  %H:%M:%S' FALLBACK=INSTALLJ.INF
    W_RES_TITLE="常駐ツール" W_RES_CAPTION="常駐ツールのインストール"
}

# run_scenario NAME PROGRAM ARGS...: expands scenarios/wizard_NAME.txt and drives it.
run_scenario() {
    local name=$1 file
    shift
    export "${!W_@}"
    file=$(envsubst "$(compgen -v W_ | sed 's/.*/${&}/' | tr '\n' ' ')" \
        <"$SCENARIOS/wizard_$name.txt" | e2e_scenario "$name")
    e2e_drive "$file" "$@"
}

# shell_folder NAME: the Unix path of one of the user's shell folders.
shell_folder() {
    local win
    win=$(bench_reg_query "$SHELL_FOLDERS" "$1") || return 1
    bench_unixpath "$win"
}

# package DIR: the sample with INSTALL.EXE, every file read-only.
package() {
    e2e_package "$1" "${2:-}"
    chmod a-w "$E2E_C/$1"/*
}

# same_files DEST: the sample's files, the installer and install.inf at the destination.
same_files() {
    local d=$E2E_C/$1 p=$E2E_C/$2
    cmp -s "$p/sample.exe" "$d/sample.exe" && cmp -s "$p/readme.txt" "$d/readme.txt" &&
        cmp -s "$p/sample.cfg" "$d/sample.cfg" && cmp -s "$p/plug.dll" "$d/plugins/plug.dll" &&
        cmp -s "$p/INSTALL.EXE" "$d/INSTALL.EXE" && cmp -s "$p/install.inf" "$d/$(inf_name "$d")"
}

# inf_name DIR: the name under which the setup information file lies in DIR (any case).
inf_name() { find "$1" -maxdepth 1 -iname install.inf -printf '%f\n' | head -n1; }

writable_files() {
    local f
    for f in "$E2E_C/$1"/* "$E2E_C/$1"/plugins/*; do
        [ -f "$f" ] && { [ -w "$f" ] || return 1; }
    done
    return 0
}

# ask_text NAME RELATIVE: the overwrite confirmation for an entry of the sample.
ask_text() {
    local up=${2^^} name=${1^^} dest=$E2E_C/SampleEd/$2 stamp
    stamp=$(date -r "$dest" "$STAMP")
    printf '%s' "C:\\SAMPLEED\\${up//\//\\}$ALREADY$name  $stamp$COPYFROM$name  $(date -r "$E2E_C/pkg/$1" "$STAMP")"
}

fresh_checks() {
    local lang=$1 programs desktop group
    check "$lang: every file at its destination" same_files SampleEd pkg
    check "$lang: installed files have normal attributes" writable_files SampleEd
    check "$lang: the sub-folder was made" test -d "$E2E_C/SampleEd/plugins"
    check "$lang: the Browse root choice left no folder behind" test ! -e "$E2E_C/OtherApp/dummy"
    check "$lang: DisplayName" test "$(bench_reg_query "$UNINSTALL_KEY\\SampleEd" DisplayName)" = "Sample Editor"
    check "$lang: UninstallString" test "$(bench_reg_query "$UNINSTALL_KEY\\SampleEd" UninstallString)" = '"C:\SampleEd\INSTALL.EXE" /r'
    programs=$(shell_folder Programs) && desktop=$(shell_folder Desktop)
    group=$programs/Sample\ Editor
    check "$lang: program group with one link per [Group] entry" \
        test "$(ls "$group" 2>/dev/null | tr '\n' '|')" = "Read Me.lnk|Sample Editor.lnk|Uninstall Sample Editor.lnk|"
    check "$lang: first link's target" test "$(e2e_link_field "$group/Sample Editor.lnk" 'Local path')" = 'C:\SampleEd\sample.exe'
    check "$lang: first link's working folder" test "$(e2e_link_field "$group/Sample Editor.lnk" 'Working directory')" = 'C:\SampleEd'
    check "$lang: second link's target" test "$(e2e_link_field "$group/Read Me.lnk" 'Local path')" = 'C:\SampleEd\readme.txt'
    check "$lang: second link has no working folder" test -z "$(e2e_link_field "$group/Read Me.lnk" 'Working directory')"
    check "$lang: uninstall item's target" test "$(e2e_link_field "$group/Uninstall Sample Editor.lnk" 'Local path')" = 'C:\SampleEd\install.exe'
    check "$lang: uninstall item's arguments" test "$(e2e_link_field "$group/Uninstall Sample Editor.lnk" 'Command line arguments')" = '/r'
    check "$lang: desktop link" test "$(e2e_link_field "$desktop/Sample Editor.lnk" 'Local path')" = 'C:\SampleEd\sample.exe'
    check "$lang: links described by their captions" test "$(e2e_link_field "$group/Read Me.lnk" 'Description')|$(e2e_link_field "$group/Uninstall Sample Editor.lnk" 'Description')" = 'Read Me|Uninstall Sample Editor'
    check "$lang: desktop link described by the title" test "$(e2e_link_field "$desktop/Sample Editor.lnk" 'Description')" = 'Sample Editor'
    check "$lang: nothing left of the creation tests" test ! -e "$E2E_C/Soft" -a ! -e "$E2E_C/blocker/Sub"
    check "$lang: the file that had the destination's name is unchanged" test "$(cat "$E2E_C/blocker")" = "a file"
}

# shellcheck disable=SC2034
second_installation() {
    local lang=$1 d=$E2E_C/SampleEd
    chmod u+w "$d/sample.exe" "$d/readme.txt"
    echo "changed here" >"$d/sample.exe" && touch -r "$E2E_C/pkg/sample.exe" "$d/sample.exe"
    echo "changed here" >"$d/readme.txt" && touch -r "$E2E_C/pkg/readme.txt" "$d/readme.txt"
    W_ASK_SAMPLE=$(ask_text sample.exe sample.exe) W_ASK_README=$(ask_text readme.txt readme.txt)
    W_ASK_PLUG=$(ask_text plug.dll plugins/plug.dll) W_ASK_CFG=$(ask_text sample.cfg sample.cfg)
    check "$lang: second installation asks about files of the same date" run_scenario second 'C:\pkg\INSTALL.EXE'
    check "$lang: No kept the file" test "$(cat "$d/sample.exe")" = "changed here"
    check "$lang: Yes replaced the file" cmp -s "$E2E_C/pkg/readme.txt" "$d/readme.txt"
}

# listing DIR: every file below DIR with its bytes, size and modification time.
listing() {
    (cd "$1" && find . -type f -printf '%p %s %T@\n' | sort && find . -type f -exec md5sum {} + | sort)
}

# flat_package DIR FOLDER: the sample without its sub-folder entry (whose source and
# destination names differ), installed under its own Folder value FOLDER.
flat_package() {
    package "$1"
    chmod u+w "$E2E_C/$1/install.inf"
    sed -i "s/^Folder=.*/Folder=$2/; /^3=plug.dll/d; s/^4=sample.cfg/3=sample.cfg/" "$E2E_C/$1/install.inf"
}

# The installed program run from its own folder proposes that folder and installs onto
# itself. Every entry's source there is its own destination (the sample's sub-folder
# entry has no source in the installed folder, so this installation goes without it).
# W_DEST reaches the scenario through envsubst, its backslashes doubled for the driver.
# shellcheck disable=SC1003
self_installation() {
    local lang=$1 before
    flat_package own OwnApp
    W_DEST='C:\\OwnApp'
    check "$lang: an installation to run again" run_scenario plain 'C:\own\INSTALL.EXE'
    check "$lang: the installation to run again is there" cmp -s "$E2E_C/own/sample.cfg" "$E2E_C/OwnApp/sample.cfg"
    before=$(listing "$E2E_C/OwnApp")
    W_DEST='C:\\OwnApp\\'
    check "$lang: the installed program installs onto itself without a message" run_scenario self 'C:\OwnApp\INSTALL.EXE'
    check "$lang: installing onto itself left every file as it was" test "$(listing "$E2E_C/OwnApp")" = "$before"
}

resident_installation() {
    local lang=$1 startup programs desktop
    package res
    sed -i "s/^Title=.*/Title=$W_RES_TITLE/; s/^Folder=.*/Folder=ResTool/; s/^TSR=.*/TSR=1/" "$E2E_C/res/install.inf"
    [ "$lang" = ja ] && chmod u+w "$E2E_C/res/install.inf" &&
        iconv -f UTF-8 -t CP932 -o "$E2E_C/res/install.inf" "$E2E_C/res/install.inf"
    check "$lang: resident application skips the shortcut options page" run_scenario resident 'C:\res\INSTALL.EXE'
    startup=$(shell_folder Startup) programs=$(shell_folder Programs) desktop=$(shell_folder Desktop)
    check "$lang: resident application gets the Startup link" test "$(e2e_link_field "$startup/$W_RES_TITLE.lnk" 'Local path')" = 'C:\ResTool\sample.exe'
    check "$lang: Startup link has no working folder" test -z "$(e2e_link_field "$startup/$W_RES_TITLE.lnk" 'Working directory')"
    check "$lang: resident application gets no program group" test ! -e "$programs/$W_RES_TITLE"
    check "$lang: resident application gets no desktop link" test ! -e "$desktop/$W_RES_TITLE.lnk"
}

lowspace_and_cancel() {
    local lang=$1
    package seam "$E2E_BIN/INSTALL-SEAM.exe"
    export INSTALL_SEAM_FREE_MB=50
    check "$lang: low free space asks; Cancel interrupts" run_scenario lowspace 'C:\seam\INSTALL.EXE'
    unset INSTALL_SEAM_FREE_MB
    check "$lang: the refused folder was not left behind" test ! -e "$E2E_C/LowSpace"
}

fallback_installation() {
    local lang=$1
    package fb
    mv "$E2E_C/fb/install.inf" "$E2E_C/fb/$FALLBACK"
    check "$lang: installation from $FALLBACK" run_scenario fallback 'C:\fb\INSTALL.EXE'
    check "$lang: only INSTALL.INF in the destination" \
        test "$(find "$E2E_C/Fallback" -maxdepth 1 -iname '*.inf' -printf '%f|')" = "INSTALL.INF|"
    check "$lang: INSTALL.INF is the $FALLBACK" cmp -s "$E2E_C/fb/$FALLBACK" "$E2E_C/Fallback/INSTALL.INF"
}

# A destination of 245 characters: every file fits, the uninstall command (quote,
# folder, INSTALL.EXE, quote, " /r") does not. The sample's sub-folder entry would not
# fit either, so this package goes without it.
# shellcheck disable=SC2034
long_destination() {
    local lang=$1 tail
    flat_package long LongDest
    tail=$(printf '%0236d' 0 | tr 0 d)
    W_DEST="C:\\\\Deep\\\\$tail"
    check "$lang: a destination too long for the uninstall command is told at the end" run_scenario long 'C:\long\INSTALL.EXE'
    check "$lang: the files arrived at the long destination" cmp -s "$E2E_C/long/sample.cfg" "$E2E_C/Deep/$tail/sample.cfg"
    check "$lang: no uninstall entry was written" no_entry LongDest
}

# no_entry FOLDER: the Uninstall key has no sub-key FOLDER.
no_entry() { ! e2e_reg_has "$UNINSTALL_KEY\\$1"; }

failing_installation() {
    local lang=$1 holder
    package fail
    rm -f "$E2E_C/fail/sample.cfg"
    bench_spawn "$HOLD" 'C:\fail\plug.dll'
    holder=$BENCH_PID
    local _
    for _ in $(seq 100); do [ -e "$E2E_C/fail/plug.dll.held" ] && break; sleep 0.1; done
    check "$lang: source in use and missing source are reported" run_scenario failures 'C:\fail\INSTALL.EXE'
    rm -f "$E2E_C/fail/plug.dll.held"
    bench_wait "$holder" 10 >/dev/null 2>&1 || bench_kill "$holder"
    check "$lang: the sequence went on after the failures" test -f "$E2E_C/Failing/readme.txt" -a -f "$E2E_C/Failing/INSTALL.EXE"
    check "$lang: nothing of the failed copies" test ! -e "$E2E_C/Failing/plugins/plug.dll" -a ! -e "$E2E_C/Failing/sample.cfg"
    check "$lang: the uninstall entry was written all the same" \
        test "$(bench_reg_query "$UNINSTALL_KEY\\SampleEd" UninstallString)" = '"C:\Failing\INSTALL.EXE" /r'
}

wizard_case() {
    local lang=$1
    "texts_$lang"
    e2e_start "wizard-$lang" "$([ "$lang" = ja ] && echo ja)" || return
    package pkg
    echo "a file" >"$E2E_C/blocker"
    mkdir -p "$E2E_C/OtherApp" && echo "[Install]" >"$E2E_C/OtherApp/install.inf"
    check "$lang: fresh installation" run_scenario fresh 'C:\pkg\INSTALL.EXE'
    fresh_checks "$lang"
    second_installation "$lang"
    if [ "$E2E_SHORT" = 1 ]; then
        skip "$lang: the other installations" "$E2E_SHORT_WHY"
    else
        self_installation "$lang"
        resident_installation "$lang"
        lowspace_and_cancel "$lang"
        fallback_installation "$lang"
        long_destination "$lang"
        failing_installation "$lang"
    fi
    mkdir -p "$E2E_LOGS/wizard-shots"
    cp "$BENCH_SHOTS"/*.png "$E2E_LOGS/wizard-shots/" 2>/dev/null
    bench_stop
}

start=$SECONDS
for lang in $E2E_LANGS; do wizard_case "$lang"; done
echo "wizard e2e: $((SECONDS - start)) s"
e2e_summary
