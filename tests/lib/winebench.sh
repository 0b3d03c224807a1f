# shellcheck shell=bash disable=SC2034  # its variables serve the scripts that source it
# winebench.sh - a Wine test bench: throwaway prefixes, a private Xvfb each,
# a persistent wineserver and a screenshot watcher.  Source it from bash:
#
#   . tests/lib/winebench.sh
#   bench_init build            # once; builds the cached template prefix, picks the route
#   bench_start mytest ja       # fresh prefix, Japanese locale (code page 932)
#   bench_run some.exe args     # runs in the bench, returns the exit code
#   bench_stop                  # also run by the EXIT trap bench_start sets
#
# Only one bench is active per shell; run benches in parallel from subshells
# or separate scripts with different names.  bench_start replaces the EXIT,
# INT and TERM traps of the calling shell.  BENCH_KEEP=1 keeps the prefix.
#
# BENCH_ARCH (x86_64 or i686, set before bench_start) names the build under test.  Every
# program starts through the 64-bit loader; for a 32-bit program it starts Debian's 32-bit
# Wine loader (wine32:i386).  How that loader runs is the route for 32-bit programs,
# chosen once per run by bench_init (BENCH_ROUTE32, exported with its reason
# BENCH_ROUTE32_WHY; set it beforehand to force one):
#   wow64     the kernel runs 32-bit code: the loader runs natively;
#   emulated  it runs under qemu-i386-static user-mode emulation: every Wine command of
#             the bench runs in a user namespace of its own whose binfmt_misc entry hands
#             32-bit programs to qemu (tests/lib/emulated32), on any kernel;
#   none      neither works (BENCH_ROUTE32_WHY says why): 32-bit suites are skipped.
# The build's own system directory is BENCH_SYSDIR (system32 or syswow64) and its registry
# view BENCH_REG_VIEW (/reg:64 or /reg:32, used by bench_reg and bench_reg_query).

BENCH_LIB=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
BENCH_WINE=${BENCH_WINE:-/usr/lib/wine/wine64}
BENCH_WINE32=${BENCH_WINE32:-/usr/lib/wine/wine}
BENCH_WINESERVER=${BENCH_WINESERVER:-/usr/lib/wine/wineserver}
BENCH_QEMU=${BENCH_QEMU:-qemu-i386-static}
BENCH_I386_DLLS=${BENCH_I386_DLLS:-/usr/lib/i386-linux-gnu/wine/i386-windows}
BENCH_OVERRIDES="winemenubuilder.exe=d;mscoree=d;mshtml=d"
BENCH_ARCH=${BENCH_ARCH:-x86_64}
BENCH_MARLETT=${BENCH_MARLETT:-/usr/share/wine/fonts/marlett.ttf}
BENCH_LAUNCH=()

# bench_init BUILD_DIR: use BUILD_DIR/wine for prefixes; pick the route for 32-bit
# programs; build the template once per Wine version and route.
bench_init() {
    BENCH_ROOT=$(realpath -m "$1")/wine
    mkdir -p "$BENCH_ROOT" || return 1
    _bench_route32
    _bench_template_ready && return 0
    (
        flock 9
        _bench_template_ready || _bench_make_template
    ) 9>"$BENCH_ROOT/.template.lock"
}

# _bench_route32: sets and exports BENCH_ROUTE32 and BENCH_ROUTE32_WHY (see the top),
# keeping a route already chosen or forced; then the launch prefix of the bench's Wine
# commands (BENCH_LAUNCH).
_bench_route32() {
    local kernel=no why
    _bench_kernel_runs_32bit && kernel=yes
    case ${BENCH_ROUTE32:-} in
        "") if [ $kernel = yes ]; then
                BENCH_ROUTE32=wow64 why="the kernel runs 32-bit code"
            else
                BENCH_ROUTE32=emulated why="the kernel runs no 32-bit code (IA-32 emulation off)"
            fi ;;
        wow64) why="forced by BENCH_ROUTE32"
            [ $kernel = yes ] || BENCH_ROUTE32=none why="BENCH_ROUTE32=wow64, but the kernel runs no 32-bit code" ;;
        emulated) why="forced by BENCH_ROUTE32" ;;
        none) why=${BENCH_ROUTE32_WHY:-"forced by BENCH_ROUTE32"} ;;
        *) echo "bench: BENCH_ROUTE32 is wow64 or emulated, not $BENCH_ROUTE32" >&2
            BENCH_ROUTE32=none why="BENCH_ROUTE32 names no route" ;;
    esac
    [ -n "${BENCH_ROUTE32_WHY:-}" ] && [ "$BENCH_ROUTE32" != none ] && why=$BENCH_ROUTE32_WHY
    if [ "$BENCH_ROUTE32" != none ]; then
        if [ ! -x "$BENCH_WINE32" ] || [ ! -d "$BENCH_I386_DLLS" ]; then
            BENCH_ROUTE32=none why="Debian's 32-bit Wine (wine32:i386) is missing; run scripts/bootstrap.sh"
        elif [ "$BENCH_ROUTE32" = emulated ] && ! command -v "$BENCH_QEMU" >/dev/null; then
            BENCH_ROUTE32=none why="$BENCH_QEMU is missing (qemu-user-static); run scripts/bootstrap.sh"
        fi
    fi
    BENCH_LAUNCH=()
    if [ "$BENCH_ROUTE32" = emulated ]; then
        BENCH_LAUNCH=(unshare --user --map-root-user --mount --propagation private "$BENCH_LIB/emulated32")
        "${BENCH_LAUNCH[@]}" true 2>/dev/null || {
            BENCH_LAUNCH=()
            BENCH_ROUTE32=none why="no binfmt_misc of its own in a user namespace (Linux 6.7 or later) for the emulated route"
        }
    fi
    BENCH_ROUTE32_WHY=$why
    export BENCH_ROUTE32 BENCH_ROUTE32_WHY
}

# _bench_kernel_runs_32bit: 0 when the kernel takes 32-bit system calls (IA-32 emulation
# on; since Linux 6.7 a boot option can switch it off), which Wine's 32-bit code needs.
_bench_kernel_runs_32bit() {
    local probe=$BENCH_ROOT/ia32-probe cc
    if [ ! -x "$probe" ] || [ "$BENCH_LIB/ia32_probe.c" -nt "$probe" ]; then
        cc=$(command -v "${CC:-cc}" || command -v clang) || return 1
        if ! "$cc" -O0 -o "$probe.tmp.$$" "$BENCH_LIB/ia32_probe.c" 2>/dev/null; then
            rm -f "$probe.tmp.$$"
            return 1
        fi
        mv "$probe.tmp.$$" "$probe" || return 1
    fi
    "$probe" 2>/dev/null
}

# _bench_template_stamp [SIDES]: names the Wine version, the template's recipe and the
# sides it holds (SIDES, by default those the route needs: 64, or 32+64).
_bench_template_stamp() {
    local side=${1:-64}
    [ -n "${1:-}" ] || [ "$BENCH_ROUTE32" = none ] || side=32+64
    echo "$("$BENCH_WINE" --version) recipe 6 $side"
}

# _bench_template_ready: the template exists and was made by this Wine version with the
# sides the route needs; one with both serves every route (a run forced to none on a
# machine with a route must not make it again).
_bench_template_ready() {
    local stamp
    stamp=$(cat "$BENCH_ROOT/template/.bench-ready" 2>/dev/null)
    [ "$stamp" = "$(_bench_template_stamp)" ] || [ "$stamp" = "$(_bench_template_stamp 32+64)" ]
}

# _bench_wine_env CMD...: runs CMD with the bench's Wine environment (no X).
_bench_wine_env() {
    "${BENCH_LAUNCH[@]}" env -u DISPLAY WINEDEBUG=-all WINEDLLOVERRIDES="$BENCH_OVERRIDES" \
        LC_ALL=en_US.UTF-8 "$@"
}

# _bench_make_template: creates BENCH_ROOT/template with wineboot (both sides, where the
# route has a 32-bit loader) and registry tweaks.
_bench_make_template() {
    local tmp=$BENCH_ROOT/template.tmp.$$
    rm -rf "$tmp" "$BENCH_ROOT/template"  # the caller holds the template lock
    echo "bench: creating template prefix (takes ~30 s once)" >&2
    _bench_wine_env WINEPREFIX="$tmp" "$BENCH_WINE" wineboot -i >/dev/null 2>&1 || return 1
    if [ "$BENCH_ROUTE32" != none ]; then _bench_has_32bit_side "$tmp" || return 1; fi
    _bench_template_registry "$tmp" || return 1
    # Title-bar buttons are drawn with the Marlett font (an "r" instead of the close box
    # without it); this Wine finds it only in the prefix's Fonts folder.
    cp "$BENCH_MARLETT" "$tmp/drive_c/windows/Fonts/" ||
        { echo "bench: $BENCH_MARLETT is missing (fonts-wine)" >&2; return 1; }
    _bench_wine_env WINEPREFIX="$tmp" "$BENCH_WINESERVER" -w
    _bench_detach_home "$tmp"
    mv "$tmp" "$BENCH_ROOT/template" &&
        _bench_template_stamp >"$BENCH_ROOT/template/.bench-ready"
}

# _bench_has_32bit_side PREFIX: wineboot filled the prefix's 32-bit side (on either route
# its 32-bit half runs through the route's loader).
_bench_has_32bit_side() {
    [ -f "$1/drive_c/windows/syswow64/kernel32.dll" ] ||
        { echo "bench: wineboot made no 32-bit side in the template" >&2; return 1; }
}

# _bench_template_registry PREFIX: no window manager wait; no crash dialog.
_bench_template_registry() {
    local run=(_bench_wine_env WINEPREFIX="$1" "$BENCH_WINE" reg add)
    # The Japanese dialog font of Windows is not in a prefix; the proportional IPA font
    # stands in for it, so that Japanese labels fit their controls as they would there.
    "${run[@]}" 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null &&
        "${run[@]}" 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null &&
        "${run[@]}" 'HKCU\Software\Wine\Fonts\Replacements' /v 'ＭＳ Ｐゴシック' /t REG_SZ /d IPAPGothic /f >/dev/null &&
        "${run[@]}" 'HKCU\Software\Wine\Fonts\Replacements' /v 'ＭＳ ゴシック' /t REG_SZ /d IPAGothic /f >/dev/null &&
        "${run[@]}" 'HKCU\Software\Wine\Fonts\Replacements' /v 'MS UI Gothic' /t REG_SZ /d IPAPGothic /f >/dev/null
}

# _bench_detach_home PREFIX: turn the user folders linked to $HOME into plain folders.
_bench_detach_home() {
    local link
    for link in "$1"/drive_c/users/*/*; do
        [ -L "$link" ] || continue
        rm "$link" && mkdir "$link"
    done
}

# bench_start NAME [ja]: fresh prefix BENCH_ROOT/NAME, own Xvfb, wineserver and shot watcher.
bench_start() {
    [ -n "${BENCH_ROOT:-}" ] || { echo "bench: call bench_init first" >&2; return 1; }
    [ -z "${BENCH_NAME:-}" ] || bench_stop
    BENCH_NAME=$1
    _bench_save_env
    trap 'bench_stop' EXIT
    trap 'exit 130' INT
    trap 'exit 143' TERM
    export WINEPREFIX=$BENCH_ROOT/$1
    BENCH_SHOTS=$BENCH_ROOT/$1-shots
    _bench_fresh_prefix || return 1
    _bench_start_xvfb || return 1
    _bench_arch_view || return 1
    export WINEDEBUG=-all WINEDLLOVERRIDES=$BENCH_OVERRIDES LC_ALL=en_US.UTF-8
    [ "${2:-}" = ja ] && LC_ALL=ja_JP.UTF-8
    # A 32-bit program under emulation starts and answers several times more slowly.
    BENCH_TIME_FACTOR=1
    [ "$BENCH_ARCH" = i686 ] && [ "$BENCH_ROUTE32" = emulated ] && BENCH_TIME_FACTOR=4
    export DRIVER_TIME_FACTOR=$BENCH_TIME_FACTOR
    "${BENCH_LAUNCH[@]}" "$BENCH_WINESERVER" -p || return 1
    _bench_start_watcher
    export DRIVER_SHOT_DIR
    DRIVER_SHOT_DIR=$(bench_winpath "$BENCH_SHOTS")
}

# _bench_arch_view: the system directory and registry view of the build under test.
_bench_arch_view() {
    case $BENCH_ARCH in
        x86_64) BENCH_SYSDIR=$WINEPREFIX/drive_c/windows/system32 BENCH_REG_VIEW=/reg:64 ;;
        i686) BENCH_SYSDIR=$WINEPREFIX/drive_c/windows/syswow64 BENCH_REG_VIEW=/reg:32
            [ "$BENCH_ROUTE32" != none ] ||
                { echo "bench: no route for 32-bit programs: $BENCH_ROUTE32_WHY" >&2; return 1; } ;;
        *) echo "bench: BENCH_ARCH is x86_64 or i686, not $BENCH_ARCH" >&2; return 1 ;;
    esac
}

# _bench_save_env: remembers the variables bench_start exports, for bench_stop.
_bench_save_env() {
    local v
    BENCH_SAVED_ENV=
    for v in DISPLAY LC_ALL WINEPREFIX WINEDEBUG WINEDLLOVERRIDES DRIVER_SHOT_DIR DRIVER_TIME_FACTOR; do
        if [ -n "${!v+x}" ]; then
            BENCH_SAVED_ENV+="export $v=$(printf %q "${!v}"); "
        fi
    done
}

# _bench_fresh_prefix: stop a leftover server of this prefix, then copy the template.
_bench_fresh_prefix() {
    if [ -d "$WINEPREFIX" ]; then
        "${BENCH_LAUNCH[@]}" "$BENCH_WINESERVER" -k 2>/dev/null || true
        "${BENCH_LAUNCH[@]}" "$BENCH_WINESERVER" -w 2>/dev/null || true
        rm -rf "$WINEPREFIX"
    fi
    rm -rf "$BENCH_SHOTS" && mkdir -p "$BENCH_SHOTS" || return 1
    (
        flock -s 9
        cp -a "$BENCH_ROOT/template" "$WINEPREFIX"
    ) 9>"$BENCH_ROOT/.template.lock" && mkdir -p "$WINEPREFIX/home"
}

# _bench_start_xvfb: starts a private Xvfb on a free display and exports DISPLAY.
_bench_start_xvfb() {
    local fd_file=$BENCH_SHOTS/.display _
    Xvfb -displayfd 9 -screen 0 1024x768x24 -nolisten tcp -noreset \
        9>"$fd_file" >"$BENCH_SHOTS/.xvfb.log" 2>&1 &
    BENCH_XVFB_PID=$!
    for _ in $(seq 200); do
        if grep -q '^[0-9]' "$fd_file" 2>/dev/null; then
            DISPLAY=:$(head -n1 "$fd_file")
            export DISPLAY
            return 0
        fi
        kill -0 "$BENCH_XVFB_PID" 2>/dev/null || break
        sleep 0.05
    done
    echo "bench: Xvfb did not start (see $BENCH_SHOTS/.xvfb.log)" >&2
    return 1
}

# _bench_start_watcher: turns BENCH_SHOTS/NAME.req into NAME.png (one shot per request),
# cropped to the rectangle on the request's second line when it has one.
_bench_start_watcher() {
    (
        trap 'exit 0' TERM
        local req crop
        while :; do
            for req in "$BENCH_SHOTS"/*.req; do
                [ -e "$req" ] || continue
                mv "$req" "$req.taken" || continue
                crop=$(sed -n '2{/^[0-9]*x[0-9]*+[0-9]*+[0-9]*$/p}' "$req.taken" | tr -d '\r')
                import -display "$DISPLAY" -window root ${crop:+-crop "$crop" +repage} \
                    "${req%.req}.tmp.png" &&
                    mv "${req%.req}.tmp.png" "${req%.req}.png"
            done
            sleep 0.1
        done
    ) >"$BENCH_SHOTS/.watcher.log" 2>&1 &
    BENCH_WATCH_PID=$!
}

# bench_run EXE ARGS...: runs EXE in the bench in the foreground; returns its exit code.
bench_run() {
    HOME=$WINEPREFIX/home "${BENCH_LAUNCH[@]}" "$BENCH_WINE" "$@"
}

# bench_spawn EXE ARGS...: runs EXE in the background; its PID goes to BENCH_PID.
bench_spawn() {
    HOME=$WINEPREFIX/home "${BENCH_LAUNCH[@]}" "$BENCH_WINE" "$@" &
    BENCH_PID=$!
}

# bench_wait PID [TIMEOUT_S]: waits for a spawned PID; its exit code, or 124 on timeout
# (the timeout is stretched by BENCH_TIME_FACTOR, as the driver's).
bench_wait() {
    local pid=$1 ticks=$(( ${2:-30} * 10 * ${BENCH_TIME_FACTOR:-1} ))
    while kill -0 "$pid" 2>/dev/null; do
        [ "$ticks" -gt 0 ] || return 124
        ticks=$((ticks - 1))
        sleep 0.1
    done
    wait "$pid"
}

# bench_kill PID: kills a spawned PID (e.g. after a failed scenario) and reaps it.
bench_kill() {
    kill -9 "$1" 2>/dev/null || true
    wait "$1" 2>/dev/null || true
}

# bench_reboot: a new wineserver, i.e. a reboot (pending delayed moves are carried out).
bench_reboot() {
    "${BENCH_LAUNCH[@]}" "$BENCH_WINESERVER" -k 2>/dev/null || true
    "${BENCH_LAUNCH[@]}" "$BENCH_WINESERVER" -w || true
    "${BENCH_LAUNCH[@]}" "$BENCH_WINESERVER" -p || return 1
    bench_run wineboot.exe >/dev/null 2>&1
}

# bench_winpath UNIXPATH: prints the Windows form (C:\... inside drive_c, else Z:\...).
bench_winpath() {
    local p drive_c
    p=$(realpath -m "$1")
    drive_c=$(realpath -m "$WINEPREFIX/drive_c")
    if [ "$p" = "$drive_c" ] || [ "${p#"$drive_c"/}" != "$p" ]; then
        p="C:${p#"$drive_c"}"
    else
        p="Z:$p"
    fi
    p=${p//\//\\}
    [ "${#p}" -gt 2 ] || p="$p\\"
    printf '%s\n' "$p"
}

# bench_unixpath WINPATH: prints the Unix form of a drive path (via dosdevices).
bench_unixpath() {
    local drive=${1:0:1} rest=${1:2} root
    drive=${drive,,}
    root=$(realpath -m "$WINEPREFIX/dosdevices/$drive:")
    rest=${rest//\\//}
    printf '%s%s\n' "${root%/}" "$rest"
}

# bench_reg ARGS...: reg.exe in the registry view of the build under test.
bench_reg() {
    bench_run reg "$@" "$BENCH_REG_VIEW"
}

# bench_reg_query KEY VALUE: prints the data of a registry value (in the build's view);
# 1 if it is missing.
bench_reg_query() {
    local out line
    out=$(bench_reg query "$1" /v "$2" 2>/dev/null | tr -d '\r') || return 1
    while IFS= read -r line; do
        line=${line#"    $2    "}
        case $line in
            REG_*) printf '%s\n' "${line#*    }"; return 0 ;;
        esac
    done <<<"$out"
    return 1
}

# bench_stop: ends the bench's Wine processes, Xvfb and watcher; deletes the prefix.
bench_stop() {
    [ -n "${BENCH_NAME:-}" ] || return 0
    "${BENCH_LAUNCH[@]}" "$BENCH_WINESERVER" -k 2>/dev/null || true
    "${BENCH_LAUNCH[@]}" "$BENCH_WINESERVER" -w 2>/dev/null || true
    _bench_end_pid "${BENCH_WATCH_PID:-}"
    _bench_end_pid "${BENCH_XVFB_PID:-}"
    [ "${BENCH_KEEP:-0}" = 1 ] || rm -rf "$WINEPREFIX"
    unset DISPLAY LC_ALL WINEPREFIX WINEDEBUG WINEDLLOVERRIDES DRIVER_SHOT_DIR DRIVER_TIME_FACTOR
    eval "${BENCH_SAVED_ENV:-}"
    BENCH_NAME='' BENCH_WATCH_PID='' BENCH_XVFB_PID=''
    trap - EXIT INT TERM
    return 0
}

# _bench_end_pid PID: terminates one process this library started and reaps it.
_bench_end_pid() {
    [ -n "$1" ] || return 0
    kill "$1" 2>/dev/null || true
    wait "$1" 2>/dev/null || true
}
