#!/usr/bin/env bash
# Tests of the setup-file checker: each case writes a small package, runs
# build/native/infcheck on it and compares the whole output and the exit status.
# Closes with "N passed, N failed"; with TEST_REPORT set, also writes an XML report.
set -u
root=$(cd "$(dirname "$0")/../.." && pwd)
# shellcheck source=../lib/report.sh
. "$root/tests/lib/report.sh"
report_begin "${TEST_REPORT:-}" infcheck
infcheck=${INFCHECK:-${BUILD_DIR:-$root/build}/native/infcheck}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
passed=0
failed=0

# package FILE...: a fresh package folder $work/pkg holding the files named (a byte each).
package() {
    rm -rf "$work/pkg"
    mkdir -p "$work/pkg"
    local file
    for file in "$@"; do
        mkdir -p "$(dirname "$work/pkg/$file")"
        printf 'x' >"$work/pkg/$file"
    done
}

# inf [NAME]: the setup information file of the package from standard input; NAME
# defaults to install.inf. Lines are ended by CR LF, as Windows editors write them.
inf() {
    sed 's/$/\r/' >"$work/pkg/${1:-install.inf}"
}

# expect NAME STATUS ARG...: runs the checker in $work with the arguments; its output
# (standard error after standard output) must be standard input, its status STATUS.
expect() {
    local name=$1 status=$2 expected actual code
    shift 2
    expected=$(cat)
    # A check that blocks or runs away fails with status 124 (timeout).
    (cd "$work" && timeout "${INFCHECK_TIMEOUT:-60}" "$infcheck" "$@") >"$work/stdout" 2>"$work/stderr"
    code=$?
    actual=$(cat "$work/stdout" "$work/stderr")
    report_same "$name" "$expected"$'\n'"(status $status)" "$actual"$'\n'"(status $code)"
}

echo "== infcheck cases"

# The sample package that the demo installs is clean.
expect "sample package: no finding" 0 "$root/sample" <<'EOF'
infcheck: 0 errors, 0 warnings in 1 file
EOF

package app.exe
inf <<'EOF'
[Install]
Title=
Folder=  
1=app.exe
[Group]
1=Uninstall,install.exe,/r
EOF
expect "empty Title and Folder" 1 pkg <<'EOF'
pkg/install.inf:2: error: [Install] Title is empty or missing; the program stops with "Damaged file, or NO Information file." [empty-title]
pkg/install.inf:3: error: [Install] Folder is empty or missing; the program stops with "Damaged file, or NO Information file." [empty-folder]
infcheck: 2 errors, 0 warnings in 1 file
EOF

inf <<'EOF'
; no [Install] section at all
[Group]
1=Uninstall,install.exe,/r
EOF
expect "missing [Install]: Title and Folder missing" 1 pkg <<'EOF'
pkg/install.inf:1: error: [Install] Title is empty or missing; the program stops with "Damaged file, or NO Information file." [empty-title]
pkg/install.inf:1: error: [Install] Folder is empty or missing; the program stops with "Damaged file, or NO Information file." [empty-folder]
pkg/install.inf:1: warning: [Install] lists no files: only the installer and this file are installed, and the shortcut leads to the folder [no-entries]
infcheck: 2 errors, 1 warning in 1 file
EOF

# Folder with a backslash; in code page 932 the second byte of a double-byte character
# (ソ is 0x83 0x5C) is no backslash, in 1252 it is.
package app.exe
inf <<'EOF'
[Install]
Title=Editor
Folder=Soft\Editor
1=app.exe
[Group]
1=Uninstall,install.exe,/r
EOF
expect "Folder with a backslash" 1 pkg <<'EOF'
pkg/install.inf:3: error: [Install] Folder "Soft\Editor" holds a backslash; the program refuses it ("Do not assign a sub-folder in the installation folder.") [folder-backslash]
infcheck: 1 error, 0 warnings in 1 file
EOF
printf '[Install]\r\nTitle=Editor\r\nFolder=\x83\x5c\x83\x74\x83\x67\r\n1=app.exe\r\n[Group]\r\n1=Uninstall,install.exe,/r\r\n' >"$work/pkg/install.inf"
expect "Folder ソフト passes in code page 932" 0 --codepage 932 pkg <<'EOF'
infcheck: 0 errors, 0 warnings in 1 file
EOF
expect "Folder ソフト has a backslash byte in code page 1252" 1 --codepage 1252 pkg/install.inf <<EOF
pkg/install.inf:3: error: [Install] Folder "$(printf '\x83\x5c\x83\x74\x83\x67')" holds a backslash; the program refuses it ("Do not assign a sub-folder in the installation folder.") [folder-backslash]
infcheck: 1 error, 0 warnings in 1 file
EOF

# The Startup folder's name, in any letter case, and its Japanese name in code page 932.
inf <<'EOF'
[Install]
Title=startUP
Folder=Editor
1=app.exe
[Group]
1=Uninstall,install.exe,/r
EOF
expect "Title equal to the Startup folder's name" 1 pkg <<'EOF'
pkg/install.inf:2: error: [Install] Title "startUP" is the name of the Startup folder; the program refuses to install ("Unable to install in the StartUp.") [startup-title]
infcheck: 1 error, 0 warnings in 1 file
EOF
printf '[Install]\r\nTitle=\x83\x58\x83\x5e\x81\x5b\x83\x67\x83\x41\x83\x62\x83\x76\r\nFolder=Editor\r\n1=app.exe\r\n[Group]\r\n1=Uninstall,install.exe,/r\r\n' >"$work/pkg/installJ.inf"
rm "$work/pkg/install.inf"
printf '[Install]\r\nTitle=Startup Manager\r\nFolder=Editor\r\n1=app.exe\r\n[Group]\r\n1=Uninstall,install.exe,/r\r\n' >"$work/pkg/installE.inf"
expect "Japanese Startup title in installJ.inf; installE.inf beside it is fine" 1 pkg <<EOF
pkg/installJ.inf:2: error: [Install] Title "$(printf '\x83\x58\x83\x5e\x81\x5b\x83\x67\x83\x41\x83\x62\x83\x76')" is the name of the Startup folder; the program refuses to install ("Unable to install in the StartUp.") [startup-title]
infcheck: 1 error, 0 warnings in 2 files
EOF

# Values longer than the program reads, one byte over and exactly at the limit.
package app.exe
long99=$(printf 'T%.0s' $(seq 99))
long259=$(printf 'a%.0s' $(seq 251)).exe
inf <<EOF
[Install]
Title=$long99
Folder="${long99}x"
TSR=0123456789
1=app.exe
2=app.exe,$long259
[Group]
1=Uninstall,install.exe,/r
[Working Folder]
1=C:\\$(printf 'w%.0s' $(seq 255))
[Reg]
1=HKEY_CURRENT_USER\\Software\\$(printf 'k%.0s' $(seq 233))
EOF
expect "values longer than their read size" 1 pkg <<EOF
pkg/install.inf:3: error: [Install] Folder is 100 bytes long; the program reads 99 and cuts the rest [too-long]
pkg/install.inf:4: error: [Install] TSR is 10 bytes long; the program reads 9 and cuts the rest [too-long]
pkg/install.inf:6: error: [Install] 2 is 263 bytes long; the program reads 259 and cuts the rest [too-long]
pkg/install.inf:6: warning: [Install] 2: the proposed destination C:\\$long99\\ and "${long259:0:251}" make 354 characters; paths over 259 cannot be installed [path-too-long]
pkg/install.inf:10: error: [Working Folder] 1 is 258 bytes long; the program reads 257 and cuts the rest [too-long]
pkg/install.inf:12: error: [Reg] 1 is 260 bytes long; the program reads 259 and cuts the rest [too-long]
infcheck: 5 errors, 1 warning in 1 file
EOF

# Sources are looked for without letter case, in sub-folders too; a Shift-JIS name
# matches the same name in UTF-8 on disk (as a package unpacked on Linux names it).
package App.EXE "Data/Sub/one.dat" "$(printf '\xe3\x83\x87\xe3\x83\xbc\xe3\x82\xbf')/two.dat"
printf '[Install]\r\nTitle=App\r\nFolder=App\r\n1=app.exe\r\n2=data\\sub\\ONE.dat,one.dat\r\n3=\x83\x66\x81\x5b\x83\x5e\\two.dat\r\n4=three.dat\r\n5=C:\\Windows\\win.ini,win.ini\r\n6=data\\one.dat\r\n[Group]\r\n1=Uninstall,install.exe,/r\r\n' >"$work/pkg/install.inf"
expect "sources missing from the package" 1 --codepage 932 pkg <<'EOF'
pkg/install.inf:7: error: [Install] 4: source "three.dat" is not in the package folder [missing-source]
pkg/install.inf:8: error: [Install] 5: source "C:\Windows\win.ini" lies outside the package folder; the program would copy whatever is found there [source-outside]
pkg/install.inf:9: error: [Install] 6: source "data\one.dat" is not in the package folder [missing-source]
infcheck: 3 errors, 0 warnings in 1 file
EOF

# [Reg]: a root in another case, no root, a root alone (with and without its
# separator), a root followed by a backslash path; then the warnings about a separator
# that is no backslash and a whole top-level key.
package app.exe
inf <<'EOF'
[Install]
Title=App
Folder=App
1=app.exe
[Group]
1=Uninstall,install.exe,/r
[Reg]
1=hkey_current_user\Software\Soft
2=HKCU\Software\Soft
3=HKEY_LOCAL_MACHINE
4=HKEY_CLASSES_ROOT\
5=HKEY_CURRENT_USER\\Software
6=HKEY_CURRENT_USER/Software/Soft
7=HKEY_LOCAL_MACHINE\SOFTWARE
8=HKEY_CLASSES_ROOT\App.Document
9=HKEY_LOCAL_MACHINE\SOFTWARE\Soft\App
EOF
expect "[Reg] roots" 1 pkg <<'EOF'
pkg/install.inf:8: error: [Reg] 1: root "hkey_current_user" must be written "HKEY_CURRENT_USER"; the uninstaller reports "Found abnormal Reg section." and deletes nothing [reg-root]
pkg/install.inf:9: error: [Reg] 2: "HKCU\Software\Soft" starts with no root name (HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE or HKEY_CLASSES_ROOT); the uninstaller reports "Found abnormal Reg section." and deletes nothing [reg-root]
pkg/install.inf:10: error: [Reg] 3: "HKEY_LOCAL_MACHINE" names a root without a key below it; the uninstaller reports "Found abnormal Reg section." and deletes nothing [reg-root]
pkg/install.inf:11: error: [Reg] 4: "HKEY_CLASSES_ROOT\" names a root without a key below it; the uninstaller reports "Found abnormal Reg section." and deletes nothing [reg-root]
pkg/install.inf:12: error: [Reg] 5: "HKEY_CURRENT_USER\\Software" names a root without a key below it; the uninstaller reports "Found abnormal Reg section." and deletes nothing [reg-root]
pkg/install.inf:13: warning: [Reg] 6: "/" after the root name is taken for a backslash [reg-separator]
pkg/install.inf:14: warning: [Reg] 7: the uninstaller deletes the whole key "HKEY_LOCAL_MACHINE\SOFTWARE" with every key below it, including other applications' keys [reg-broad]
infcheck: 5 errors, 2 warnings in 1 file
EOF

# Destinations that leave the installation folder, and those that only seem to.
package app.exe
inf <<'EOF'
[Install]
Title=App
Folder=App
1=app.exe
2=app.exe,..\System\app.dll
3=app.exe,D:app.dll
4=app.exe,\Windows\app.dll
5=app.exe,bin\..\..\app.dll
6=app.exe,bin\..\app2.exe
7=app.exe,./bin/app3.exe
8=app.exe,
[Group]
1=App,..\app.exe
2=Copy,bin\..\app2.exe,/quiet
3=Uninstall,install.exe,/r
EOF
expect "destinations leaving the installation folder" 1 pkg <<'EOF'
pkg/install.inf:5: error: [Install] 2: destination "..\System\app.dll" leaves the installation folder [leaves-folder]
pkg/install.inf:6: error: [Install] 3: destination "D:app.dll" leaves the installation folder [leaves-folder]
pkg/install.inf:7: error: [Install] 4: destination "\Windows\app.dll" leaves the installation folder [leaves-folder]
pkg/install.inf:8: error: [Install] 5: destination "bin\..\..\app.dll" leaves the installation folder [leaves-folder]
pkg/install.inf:11: error: [Install] 8: the destination after the comma is empty; the copy would fail [leaves-folder]
pkg/install.inf:13: error: [Group] 1: target "..\app.exe" leaves the installation folder [leaves-folder]
infcheck: 6 errors, 0 warnings in 1 file
EOF

# Gaps in every numbered section, keys that are no plain numbers, and [Working Folder]
# keys other than 1. The line named is that of the first entry never read, or of the
# empty value that ends the list.
package a.exe b.exe d.exe
inf <<'EOF'
[Install]
Title=App
Folder=App
1=a.exe
2=b.exe
4=d.exe
5=d.exe,e.exe
02=b.exe
[Group]
1=A,a.exe
2=
3=B,b.exe
4=Uninstall,install.exe,/r
[Working Folder]
1=C:\Data
2=D:\Data
[Reg]
1=HKEY_CURRENT_USER\Software\Soft\App
3=HKEY_CURRENT_USER\Software\Soft\Other
+4=HKEY_CURRENT_USER\Software\Soft\Third
EOF
expect "gaps in the numbering" 0 pkg <<'EOF'
pkg/install.inf:6: warning: [Install] has no entry 3, which ends the list: entries 4, 5 are never read [numbering-gap]
pkg/install.inf:8: warning: [Install] key "02" is never read: entries are numbered 1, 2, 3 and so on, without leading zeros or signs [numbering-gap]
pkg/install.inf:9: warning: [Group] has no uninstall item (a caption, then install.exe,/r in lower case); users will need Add/Remove Programs in the Control Panel to uninstall ([Group] 4 holds one, but the search for it ends at the first empty entry) [no-uninstall-item]
pkg/install.inf:11: warning: [Group] 2 is empty, which ends the list: entries 3, 4 are never read [numbering-gap]
pkg/install.inf:16: warning: [Working Folder] 2 is never read: only entry 1 is used [numbering-gap]
pkg/install.inf:19: warning: [Reg] has no entry 2, which ends the list: entry 3 is never read [numbering-gap]
pkg/install.inf:20: warning: [Reg] key "+4" is never read: entries are numbered 1, 2, 3 and so on, without leading zeros or signs [numbering-gap]
infcheck: 0 errors, 7 warnings in 1 file
EOF
expect "--werror makes warnings fail" 1 --werror pkg <<'EOF'
pkg/install.inf:6: warning: [Install] has no entry 3, which ends the list: entries 4, 5 are never read [numbering-gap]
pkg/install.inf:8: warning: [Install] key "02" is never read: entries are numbered 1, 2, 3 and so on, without leading zeros or signs [numbering-gap]
pkg/install.inf:9: warning: [Group] has no uninstall item (a caption, then install.exe,/r in lower case); users will need Add/Remove Programs in the Control Panel to uninstall ([Group] 4 holds one, but the search for it ends at the first empty entry) [no-uninstall-item]
pkg/install.inf:11: warning: [Group] 2 is empty, which ends the list: entries 3, 4 are never read [numbering-gap]
pkg/install.inf:16: warning: [Working Folder] 2 is never read: only entry 1 is used [numbering-gap]
pkg/install.inf:19: warning: [Reg] has no entry 2, which ends the list: entry 3 is never read [numbering-gap]
pkg/install.inf:20: warning: [Reg] key "+4" is never read: entries are numbered 1, 2, 3 and so on, without leading zeros or signs [numbering-gap]
infcheck: 0 errors, 7 warnings in 1 file
EOF

# A file entry that begins with a comma, and shortcut entries without a comma or without
# a caption, end their lists.
package a.exe b.exe
inf <<'EOF'
[Install]
Title=App
Folder=App
1=a.exe
2=,b.exe
3=b.exe
[Group]
1=A,a.exe
2=Read Me
3=Uninstall,install.exe,/r
EOF
expect "a file entry beginning with a comma; a shortcut entry without a comma" 0 pkg <<'EOF'
pkg/install.inf:5: warning: [Install] 2 begins with a comma, which ends the list of files: entries 2, 3 are never installed [leading-comma]
pkg/install.inf:9: warning: [Group] 2 "Read Me" has no comma, which ends the list of shortcuts: entries 2, 3 are never made [group-no-comma]
infcheck: 0 errors, 2 warnings in 1 file
EOF
inf <<'EOF'
[Install]
Title=App
Folder=App
1=a.exe
[Group]
1=,a.exe
2=Uninstall,install.exe,/r
EOF
expect "a shortcut entry without a caption" 0 pkg <<'EOF'
pkg/install.inf:6: warning: [Group] 1 ",a.exe" has no caption, which ends the list of shortcuts: entries 1, 2 are never made [group-no-comma]
infcheck: 0 errors, 1 warning in 1 file
EOF

# Paths too long below the proposed destination, for a file and for a shortcut target
# with its arguments; 259 characters in all still fit.
package a.exe
folder=$(printf 'F%.0s' $(seq 50))
fits=$(printf 'n%.0s' $(seq 205))
over=$(printf 'o%.0s' $(seq 206))
inf <<EOF
[Install]
Title=App
Folder=$folder
1=a.exe,$fits
2=a.exe,$over
3=a.exe
[Group]
1=A,$fits
2=B,a.exe,$(printf 'x%.0s' $(seq 200))
3=Uninstall,install.exe,/r
EOF
expect "paths too long below the proposed destination" 0 pkg <<EOF
pkg/install.inf:5: warning: [Install] 2: the proposed destination C:\\$folder\\ and "$over" make 260 characters; paths over 259 cannot be installed [path-too-long]
pkg/install.inf:9: warning: [Group] 2: the proposed destination C:\\$folder\\ and "a.exe,$(printf 'x%.0s' $(seq 200))" make 260 characters; paths over 259 cannot be installed [path-too-long]
infcheck: 0 errors, 2 warnings in 1 file
EOF

# Open and shortcut targets against the installed files (letter case and ".\" do not
# matter; the installer and this file count; an address is left alone), and two entries
# with one destination, or two shortcuts with one caption.
package a.exe readme.txt
inf <<'EOF'
[Install]
Title=App
Folder=App
Open=readme.html
1=a.exe
2=readme.txt,doc\README.TXT
3=readme.txt,a.EXE
4=a.exe,install.inf
[Group]
1=App,.\A.exe
2=Read Me,doc\readme.txt
3=Help,help.chm
4=read me,a.exe
5=Uninstall,INSTALL.EXE,/r
EOF
expect "Open and targets naming no installed file; one destination twice" 0 pkg <<'EOF'
pkg/install.inf:4: warning: [Install] Open "readme.html" names no installed file [open-not-installed]
pkg/install.inf:7: warning: [Install] 3: destination "a.EXE" is also the destination of entry 1 [same-destination]
pkg/install.inf:8: warning: [Install] 4: destination "install.inf" is also the destination of this setup information file [same-destination]
pkg/install.inf:9: warning: [Group] has no uninstall item (a caption, then install.exe,/r in lower case); users will need Add/Remove Programs in the Control Panel to uninstall ([Group] 5 writes install.exe,/r in capitals, which the program does not take for it) [no-uninstall-item]
pkg/install.inf:12: warning: [Group] 3: target "help.chm" names no installed file [target-not-installed]
pkg/install.inf:13: warning: [Group] 4: caption "read me" is also the caption of [Group] 2; both shortcuts are the same file [same-destination]
infcheck: 0 errors, 6 warnings in 1 file
EOF
inf <<'EOF'
[Install]
Title=App
Folder=App
Open=https://example.com/app
1=a.exe
[Group]
1=App,a.exe
2=Uninstall,install.exe,/r
EOF
expect "an address as Open target is left alone" 0 pkg <<'EOF'
infcheck: 0 errors, 0 warnings in 1 file
EOF

# Encodings: UTF-8 text, and the three byte-order marks.
package a.exe
printf '[Install]\nTitle=\xe3\x82\xb5\xe3\x83\xb3\xe3\x83\x97\xe3\x83\xab\nFolder=App\n1=a.exe\n[Group]\n1=Uninstall,install.exe,/r\n' >"$work/pkg/install.inf"
expect "UTF-8 text" 0 pkg <<'EOF'
pkg/install.inf:2: warning: line 2 holds UTF-8 text; the program reads the file in the system code page (1252 here), so its non-ASCII characters turn into garbage [encoding]
infcheck: 0 errors, 1 warning in 1 file
EOF
printf '\xef\xbb\xbf[Install]\nTitle=App\nFolder=App\n1=a.exe\n[Group]\n1=Uninstall,install.exe,/r\n' >"$work/pkg/install.inf"
expect "UTF-8 byte-order mark" 0 pkg <<'EOF'
pkg/install.inf:1: warning: the file starts with a UTF-8 byte-order mark, which Windows reads as text: the first line is then no section header, and [Install] is not found; save the file in the system code page (ANSI) [encoding]
infcheck: 0 errors, 1 warning in 1 file
EOF
printf '[Install]\r\nTitle=App\r\nFolder=App\r\n1=a.exe\r\n[Group]\r\n1=Uninstall,install.exe,/r\r\n' | iconv -f ASCII -t UTF-16 >"$work/pkg/install.inf"
expect "UTF-16 with a byte-order mark is still checked" 0 pkg <<'EOF'
pkg/install.inf:1: warning: the file is UTF-16 (it starts with a byte-order mark), which Windows 95, 98 and Me do not read; save it in the system code page (ANSI) [encoding]
infcheck: 0 errors, 1 warning in 1 file
EOF

# No uninstall item: the Add/Remove Programs hint; an item that does not end in
# ",install.exe,/r" gives a cut name in the closing hint.
package a.exe
inf <<'EOF'
[Install]
Title=App
Folder=App
1=a.exe
EOF
expect "no uninstall item" 0 pkg <<'EOF'
pkg/install.inf:1: warning: [Group] has no uninstall item (a caption, then install.exe,/r in lower case); users will need Add/Remove Programs in the Control Panel to uninstall [no-uninstall-item]
infcheck: 0 errors, 1 warning in 1 file
EOF
inf <<'EOF'
[Install]
Title=App
Folder=App
1=a.exe
[Group]
1=App,a.exe
2=Remove App,install.exe,/r /quiet
EOF
expect "uninstall item with something behind /r" 0 pkg <<'EOF'
pkg/install.inf:7: warning: [Group] 2 does not end in ",install.exe,/r": the closing hint names the uninstall item "Remove App,instal" [uninstall-item]
infcheck: 0 errors, 1 warning in 1 file
EOF

# Names a file name cannot hold: the title names the group and the shortcuts, the folder
# the destination, a caption its shortcut. In code page 932 the second byte of 表 (0x5C)
# is no backslash.
package a.exe
inf <<'EOF'
[Install]
Title=Sample/Editor
Folder=Sample*
1=a.exe
[Group]
1=Read Me?,a.exe
2=Uninstall,install.exe,/r
EOF
expect "names a file name cannot hold" 0 pkg <<'EOF'
pkg/install.inf:2: warning: [Install] Title "Sample/Editor" holds "/", which a file name cannot hold: the start-menu group and the shortcuts named after the title are not made [file-name]
pkg/install.inf:3: warning: [Install] Folder "Sample*" holds "*", which a folder name cannot hold: the proposed destination cannot be made [file-name]
pkg/install.inf:6: warning: [Group] 1: caption "Read Me?" holds "?", which a file name cannot hold: the shortcut is not made [file-name]
infcheck: 0 errors, 3 warnings in 1 file
EOF
printf '[Install]\r\nTitle=App\r\nFolder=App\r\n1=a.exe\r\n[Group]\r\n1=\x95\x5c,a.exe\r\n2=Uninstall,install.exe,/r\r\n' >"$work/pkg/install.inf"
expect "a double-byte caption whose second byte is a backslash" 0 --codepage 932 pkg <<'EOF'
infcheck: 0 errors, 0 warnings in 1 file
EOF
expect "the same caption read in code page 1252" 0 --codepage 1252 pkg <<EOF
pkg/install.inf:6: warning: [Group] 1: caption "$(printf '\x95\x5c')" holds "\\", which a file name cannot hold: the shortcut is not made [file-name]
infcheck: 0 errors, 1 warning in 1 file
EOF

# A resident application gets one Startup shortcut to entry 1, without a working folder.
package a.exe
inf <<'EOF'
[Install]
Title=Clock
Folder=Clock
TSR=1
1=a.exe
[Group]
1=Clock,a.exe
2=Remove Clock,install.exe,/r
[Working Folder]
1=C:\Clock
EOF
expect "[Group] and [Working Folder] of a resident application" 0 pkg <<'EOF'
pkg/install.inf:6: warning: [Group] is never used: a resident application (TSR 1) gets one shortcut, in the Startup folder, to [Install] 1; the closing hint still names the uninstall item "Remove Clock", which is not made [resident]
pkg/install.inf:10: warning: [Working Folder] 1 is never used: the shortcut of a resident application (TSR 1) gets no working folder [resident]
infcheck: 0 errors, 2 warnings in 1 file
EOF

# Sections and keys the program never reads: a second [Install], a key written twice,
# unknown keys and sections, a line without "=", a TSR that does not say 1 or 0.
inf <<'EOF'
[install]
Title=App
Folder=App
TSR=yes
Titel=Typo
1=a.exe
1=b.exe
[Group]
1=App,a.exe
Uninstall,install.exe,/r
[Registry]
1=HKEY_CURRENT_USER\Software\App
[Install]
2=b.exe
[Reg
EOF
expect "sections and keys never read" 0 pkg <<'EOF'
pkg/install.inf:4: warning: [Install] TSR "yes" does not begin with 1, so the application is not resident (write 1 for resident, 0 for not) [tsr]
pkg/install.inf:5: warning: [Install] key "Titel" is not one the program reads [unknown]
pkg/install.inf:7: warning: [Install] key 1 appears again; only the first, at line 6, is read [duplicate]
pkg/install.inf:8: warning: [Group] has no uninstall item (a caption, then install.exe,/r in lower case); users will need Add/Remove Programs in the Control Panel to uninstall [no-uninstall-item]
pkg/install.inf:10: warning: line has no "="; the program reads it as a key "Uninstall,install.exe,/r" without a value [syntax]
pkg/install.inf:11: warning: section [Registry] is not one the program reads [unknown]
pkg/install.inf:13: warning: section [Install] appears again; only the first, at line 1, is read [duplicate]
pkg/install.inf:15: warning: line begins with "[" but has no "]", so it is no section header: the lines after it still belong to [Install] [syntax]
infcheck: 0 errors, 8 warnings in 1 file
EOF

# A zero byte ends a section's name, as it ends the strings of the profile functions:
# [Install<zero>x] is [Install], and so is [Install<zero>y] after it.
package a.exe
printf '[Install\0x]\r\nTitle=App\r\nFolder=App\r\n1=a.exe\r\n[Group]\r\n1=Uninstall,install.exe,/r\r\n[install\0y]\r\n' >"$work/pkg/install.inf"
expect "a zero byte in a section's name" 0 pkg <<'EOF'
pkg/install.inf:7: warning: section [install] appears again; only the first, at line 1, is read [duplicate]
infcheck: 0 errors, 1 warning in 1 file
EOF

# Language files: unread beside install.inf; one language without its file. A Japanese
# file is read in code page 932, and a Shift-JIS install.inf is recognised as such.
package a.exe
inf installE.inf <<'EOF'
[Install]
Title=App
Folder=App
1=a.exe
[Group]
1=Uninstall,install.exe,/r
EOF
expect "a language file alone" 0 pkg <<'EOF'
pkg/installE.inf:1: warning: no installJ.inf beside this file: on Japanese (code page 932) systems the program stops with "Damaged file, or NO Information file." [missing-language-file]
infcheck: 0 errors, 1 warning in 1 file
EOF
cp "$work/pkg/installE.inf" "$work/pkg/INSTALL.INF"
expect "language files beside install.inf are never read" 0 pkg <<'EOF'
pkg/installE.inf:1: warning: the program never reads this file: INSTALL.INF beside it takes its place [unused-file]
infcheck: 0 errors, 1 warning in 1 file
EOF
rm "$work/pkg/installE.inf"
# "ソフト\サンプル" as Folder: the kana show the file is Shift-JIS, and in code page 932
# the backslash between the two words is the only one.
printf '[Install]\r\nTitle=\x83\x54\x83\x93\x83\x76\x83\x8b\r\nFolder=\x83\x5c\x83\x74\x83\x67\\\x83\x54\x83\x93\x83\x76\x83\x8b\r\n1=a.exe\r\n[Group]\r\n1=Uninstall,install.exe,/r\r\n' >"$work/pkg/INSTALL.INF"
expect "Shift-JIS text chooses code page 932" 1 pkg <<EOF
pkg/INSTALL.INF:1: note: read in code page 932: the file holds Shift-JIS text (--codepage 1252 reads it as Western text)
pkg/INSTALL.INF:3: error: [Install] Folder "$(printf '\x83\x5c\x83\x74\x83\x67\\\x83\x54\x83\x93\x83\x76\x83\x8b')" holds a backslash; the program refuses it ("Do not assign a sub-folder in the installation folder.") [folder-backslash]
infcheck: 1 error, 0 warnings in 1 file
EOF

# Sources that leave the package: "..", a drive and a leading backslash name whatever lies
# there, even when it exists; ".." that stays inside is fine.
package a.exe sub/b.dat
inf <<'EOF'
[Install]
Title=App
Folder=App
1=a.exe
2=..\..\..\..\..\..\..\..\etc\passwd,passwd
3=sub\..\..\pkg\a.exe,c.exe
4=sub\..\sub\b.dat,b.dat
5=\etc\passwd,passwd2
[Group]
1=Uninstall,install.exe,/r
EOF
expect "sources outside the package, found or not, are errors" 1 pkg <<'EOF'
pkg/install.inf:5: error: [Install] 2: source "..\..\..\..\..\..\..\..\etc\passwd" lies outside the package folder; the program would copy whatever is found there [source-outside]
pkg/install.inf:6: error: [Install] 3: source "sub\..\..\pkg\a.exe" lies outside the package folder; the program would copy whatever is found there [source-outside]
pkg/install.inf:8: error: [Install] 5: source "\etc\passwd" lies outside the package folder; the program would copy whatever is found there [source-outside]
infcheck: 3 errors, 0 warnings in 1 file
EOF

# A [Reg] key with backslashes at its end is the same key: Software\ is Software.
inf <<'EOF'
[Install]
Title=App
Folder=App
1=a.exe
[Group]
1=Uninstall,install.exe,/r
[Reg]
1=HKEY_CURRENT_USER\Software\
2=HKEY_LOCAL_MACHINE\SOFTWARE\\
3=HKEY_CURRENT_USER\Software\Soft\
4=HKEY_CLASSES_ROOT\App.Document\
EOF
expect "[Reg] keys ending in a backslash" 0 pkg <<'EOF'
pkg/install.inf:8: warning: [Reg] 1: the uninstaller deletes the whole key "HKEY_CURRENT_USER\Software\" with every key below it, including other applications' keys (the backslash at its end does not narrow it) [reg-broad]
pkg/install.inf:9: warning: [Reg] 2: the uninstaller deletes the whole key "HKEY_LOCAL_MACHINE\SOFTWARE\\" with every key below it, including other applications' keys (the backslash at its end does not narrow it) [reg-broad]
infcheck: 0 errors, 2 warnings in 1 file
EOF

# Lines are read as the profile functions read them: CR alone ends a line too, and a "["
# without "]" is a line of its section, whose keys go on after it. Text behind the last
# "]" of a header is not part of the name.
package a.exe b.exe
printf '[Install]\rTitle=App\rFolder=App\r1=a.exe\r2=b.exe\r[Group] ; shortcuts\r1=Uninstall,install.exe,/r\r' >"$work/pkg/install.inf"
expect "CR-only line ends" 0 pkg <<'EOF'
infcheck: 0 errors, 0 warnings in 1 file
EOF
inf <<'EOF'
[foo
[Install]
Title=App
Folder=App
1=a.exe
[Install files
2=b.exe
Open=b.exe
[Group]
1=Uninstall,install.exe,/r
EOF
expect "a [ line without ] does not end its section" 0 pkg <<'EOF'
pkg/install.inf:1: warning: line begins with "[" but has no "]", so it is no section header (and before the first section nothing is read) [syntax]
pkg/install.inf:6: warning: line begins with "[" but has no "]", so it is no section header: the lines after it still belong to [Install] [syntax]
infcheck: 0 errors, 2 warnings in 1 file
EOF

# Control bytes from the file or a path are printed escaped: ESC, DEL, and a CR that
# code page 932 reads as the second byte of a character, which would otherwise start a
# forged line of findings.
package a.exe
printf '[Install]\r\nTitle=App\r\nFolder=A\x1b[2J\x7f\\B\r\n1=a.exe\r\n[Group]\r\n1=Read\x1bMe,a.exe\r\n2=Uninstall,install.exe,/r\r\n[Reg]\r\n1=HKEY_CURRENT_USER\\\x81\rinstall.inf:1: error: fake [x]\r\n' >"$work/pkg/install.inf"
mkdir -p "$work/tab$(printf '\t')pkg"
cp "$work/pkg/"* "$work/tab$(printf '\t')pkg/"
expect "control bytes are printed escaped" 2 --codepage 932 "tab$(printf '\t')pkg" "bad$(printf '\x1b')name.inf" <<EOF
tab\\x09pkg/install.inf:3: error: [Install] Folder "A\\x1B[2J\\x7F\\B" holds a backslash; the program refuses it ("Do not assign a sub-folder in the installation folder.") [folder-backslash]
tab\\x09pkg/install.inf:6: warning: [Group] 1: caption "Read\\x1BMe" holds "\\x1B", which a file name cannot hold: the shortcut is not made [file-name]
tab\\x09pkg/install.inf:9: warning: [Reg] 1: the uninstaller deletes the whole key "HKEY_CURRENT_USER\\$(printf '\x81')\\x0Dinstall.inf:1: error: fake [x]" with every key below it, including other applications' keys [reg-broad]
infcheck: 1 error, 2 warnings in 1 file
infcheck: error: cannot read bad\\x1Bname.inf
EOF

# What is not a package file is refused with status 2, and never waited for: a device, a
# pipe (without a writer), a file above 8 MiB. Beyond what Windows 95, 98 and Me read (64 KB
# of a file, 32,767 bytes of a section) the checker warns.
mkfifo "$work/pipe.inf"
truncate -s 9M "$work/large.inf"
expect "a device, a pipe and a file above 8 MiB are not read" 2 /dev/zero pipe.inf large.inf <<'EOF'
infcheck: 0 errors, 0 warnings in 0 files
infcheck: error: /dev/zero is not a regular file (a folder, a device or a pipe); not read
infcheck: error: pipe.inf is not a regular file (a folder, a device or a pipe); not read
infcheck: error: large.inf is larger than 8 MiB, more than any setup information file; not read
EOF
package a.exe
{
    printf '[Install]\r\nTitle=App\r\nFolder=App\r\n1=a.exe\r\n'
    for n in $(seq 2 2500); do printf '%d=a.exe,copy%05d.exe\r\n' "$n" "$n"; done
    printf '[Group]\r\n1=Uninstall,install.exe,/r\r\n'
    for n in $(seq 1 1400); do printf '; padding of the file beyond 64 KB: %05d\r\n' "$n"; done
} >"$work/pkg/install.inf"
expect "a file and a section beyond what Windows 95, 98 and Me read" 0 pkg <<'EOF'
pkg/install.inf:1: warning: [Install] takes 61401 bytes as the profile functions hand it over; Windows 95, 98 and Me read at most 32767 bytes of a section [win9x-limit]
pkg/install.inf:2542: warning: the file is 124150 bytes; Windows 95, 98 and Me read only its first 65536 bytes, so on those systems the lines from 2542 on are never read [win9x-limit]
infcheck: 0 errors, 2 warnings in 1 file
EOF

# Names whose second byte is 0x5C in code page 932 (表 is 0x95 0x5C, 機能 ends in 0x94 0x5C):
# natively "\" is a letter of a name, so the folder and the file beside its INF are found.
mkdir -p "$work/$(printf '\x95\x5c')" "$work/$(printf '\x8b\x40\x94\x5c')"
printf '[Install]\r\nTitle=App\r\nFolder=App\r\n1=a.exe\r\n[Group]\r\n1=Uninstall,install.exe,/r\r\n' >"$work/$(printf '\x95\x5c').inf"
printf 'x' >"$work/a.exe"
cp "$work/$(printf '\x95\x5c').inf" "$work/$(printf '\x95\x5c')/install.inf"
cp "$work/a.exe" "$work/$(printf '\x95\x5c')/"
cp "$work/$(printf '\x95\x5c').inf" "$work/$(printf '\x8b\x40\x94\x5c')/install.inf"
cp "$work/a.exe" "$work/$(printf '\x8b\x40\x94\x5c')/"
expect "folders and files named with a 0x5C second byte" 0 "$(printf '\x95\x5c')" "$(printf '\x8b\x40\x94\x5c')" "$(printf '\x95\x5c').inf" <<'EOF'
infcheck: 0 errors, 0 warnings in 3 files
EOF

# Every number is looked up in an index and the package folder is listed once: 20,000
# entries take seconds (a lookup per number and a listing per source took over a minute).
rm -rf "$work/big" && mkdir -p "$work/big"
{
    printf '[Install]\r\nTitle=Big\r\nFolder=Big\r\n'
    for n in $(seq 1 20000); do printf '%d=f%d.dat\r\n' "$n" "$n"; done
    printf '[Group]\r\n1=Uninstall,install.exe,/r\r\n'
} >"$work/big/install.inf"
(cd "$work/big" && seq 1 20000 | sed 's/^/f/; s/$/.dat/' | xargs touch)
INFCHECK_TIMEOUT=30 expect "20,000 entries within 30 seconds" 0 big <<'EOF'
big/install.inf:1: warning: [Install] takes 317810 bytes as the profile functions hand it over; Windows 95, 98 and Me read at most 32767 bytes of a section [win9x-limit]
big/install.inf:4236: warning: the file is 337859 bytes; Windows 95, 98 and Me read only its first 65536 bytes, so on those systems the lines from 4236 on are never read [win9x-limit]
infcheck: 0 errors, 2 warnings in 1 file
EOF

# Several paths, an INF named directly, and the usage errors: status 2 with a message.
package a.exe
inf <<'EOF'
[Install]
Title=App
Folder=App
1=a.exe
2=b.exe
[Group]
1=Uninstall,install.exe,/r
EOF
mkdir -p "$work/empty"
expect "several paths; a folder without a setup information file" 2 pkg/install.inf empty "$root/sample" <<'EOF'
pkg/install.inf:5: error: [Install] 2: source "b.exe" is not in the package folder [missing-source]
infcheck: 1 error, 0 warnings in 2 files
infcheck: error: empty holds no install.inf, installE.inf or installJ.inf
EOF
expect "a path that does not exist" 2 nothing.inf <<'EOF'
infcheck: 0 errors, 0 warnings in 0 files
infcheck: error: cannot read nothing.inf
EOF
usage='usage: infcheck [--codepage 932|1252] [--werror] PATH...
  PATH is a package folder (its install.inf, or installE.inf and installJ.inf)
  or a setup information file.
  --codepage  the system code page the file is read in (default: 1252, or 932 for
              a Japanese file)
  --werror    warnings count as errors'
expect "no path" 2 <<EOF
infcheck: error: no PATH given
$usage
EOF
expect "an unknown code page" 2 --codepage 437 pkg <<EOF
infcheck: error: --codepage takes 932 or 1252
$usage
EOF
expect "an unknown option" 2 --strict pkg <<EOF
infcheck: error: unknown option --strict
$usage
EOF

report_end
echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
