#!/usr/bin/env bash
# Runs the cross-built Windows programs under Wine for CTest.
#
#   run_under_wine.sh prepare PREFIX            a fresh Wine prefix
#   run_under_wine.sh window PREFIX EXE         a window test, on a virtual display
#   run_under_wine.sh program PREFIX EXE DRIVER FOLDER
#                                               tapsmith.exe, started in FOLDER and
#                                               driven from another process
#   run_under_wine.sh console PREFIX EXE        a console test
#   run_under_wine.sh compare PREFIX EXE NATIVE the console search of both builds
#   run_under_wine.sh finish PREFIX             waits for the prefix's wineserver
#   run_under_wine.sh screenshots PREFIX EXE FOLDER
#                                               the README's pictures, as PNG
#
# Every wait is bounded; a missing tool or program fails with the command
# that brings it.
set -euo pipefail

mode=$1
export WINEPREFIX=$2
shift 2
export WINEDEBUG=-all
# No Mono or Gecko: nothing here needs them, and asking for them would hang.
export WINEDLLOVERRIDES="mscoree,mshtml="
# The programs' ANSI code page is 932, as on a Japanese Windows. Wine takes
# it from the locale's name alone; the C library need not have the locale.
wine_locale=ja_JP.UTF-8

fail() {
  echo "run_under_wine.sh: $*" >&2
  exit 1
}

need_tool() {
  command -v "$1" >/dev/null || fail "$1 is missing: install the Debian package $2 (tools/install-deps.sh does)"
}

# The virtual display has no window manager: Wine then draws each window's
# frame and caption itself, as Windows does, and waits for no manager to map
# a window.
set_unmanaged_windows() {
  for value in Decorated Managed; do
    timeout 60 env LC_ALL=$wine_locale wine reg add 'HKCU\Software\Wine\X11 Driver' \
      /v $value /d N /f >/dev/null || fail "cannot set the Wine display options"
  done
}

need_program() {
  [[ -f "$1" ]] || fail "$1 is missing: build the Windows programs first with 'make windows'"
}

need_tool wine wine
need_tool wineboot wine
need_tool wineserver wine

# Wine's desktop belongs to the prefix's wineserver and keeps the display it
# was made on (or none). Each run therefore waits until the server of the run
# before has gone, so that it starts its own (CTest runs them one at a time).
if [[ -d "$WINEPREFIX" ]]; then
  timeout 60 wineserver -w || fail "an earlier Wine run in $WINEPREFIX did not end within 60 s"
fi

case "$mode" in
  prepare)
    rm -rf "$WINEPREFIX"
    mkdir -p "$(dirname "$WINEPREFIX")"
    timeout 240 env LC_ALL=$wine_locale wineboot --init || fail "wineboot --init did not finish within 240 s"
    set_unmanaged_windows
    timeout 120 wineserver -w || fail "the Wine prefix did not settle within 120 s"
    [[ -f "$WINEPREFIX/system.reg" ]] || fail "wineboot made no prefix in $WINEPREFIX"
    echo "Wine prefix ready: $WINEPREFIX"
    ;;
  window | program)
    need_tool Xvfb xvfb
    need_program "$1"
    [[ -f "$WINEPREFIX/system.reg" ]] || fail "no Wine prefix in $WINEPREFIX: run the win32.prefix test first"
    # Xvfb picks a free display itself and names it on the descriptor, so
    # parallel runs cannot race for one.
    display_file=$(mktemp)
    Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$display_file" 2>/dev/null &
    xvfb=$!
    trap 'kill "$xvfb" 2>/dev/null; wait "$xvfb" 2>/dev/null; rm -f "$display_file"' EXIT
    for _ in $(seq 100); do
      [[ -s "$display_file" ]] && break
      kill -0 "$xvfb" 2>/dev/null || fail "Xvfb did not start"
      sleep 0.1
    done
    [[ -s "$display_file" ]] || fail "Xvfb named no display within 10 s"
    export DISPLAY=":$(head -n1 "$display_file")"
    status=0
    if [[ "$mode" == window ]]; then
      timeout 240 env LC_ALL=$wine_locale wine "$@" || status=$?
    else
      # The program as a user starts it, in a fresh working directory, where
      # it must leave its settings file after being closed.
      program=$1
      driver=$2
      need_program "$driver"
      folder=$3
      rm -rf "$folder"
      mkdir -p "$folder"
      (cd "$folder" && timeout 120 env LC_ALL=$wine_locale wine "$program") &
      started=$!
      timeout 120 env LC_ALL=$wine_locale wine "$driver" || status=$?
      wait "$started" || status=$?
      if [[ $status -eq 0 ]]; then
        ini="$folder/Tapsmith.ini"
        [[ -f "$ini" ]] || fail "tapsmith.exe left no Tapsmith.ini in its working directory"
        lines=$(grep -c $'\r$' "$ini" || true)
        [[ $lines -eq 42 ]] || fail "Tapsmith.ini has $lines CR LF lines, not 42"
        [[ -n "$(sed -n 31p "$ini" | tr -d '\r')" ]] || fail "Tapsmith.ini keeps no report"
        echo "tapsmith.exe saved $ini (42 lines, the report included)"
      fi
    fi
    # Wine's own helpers leave with the last program; the display goes after.
    timeout 30 wineserver -w || true
    exit $status
    ;;
  console)
    need_program "$1"
    timeout 240 env LC_ALL=$wine_locale wine "$@"
    ;;
  compare)
    windows=$1
    native=$2
    need_program "$windows"
    [[ -x "$native" ]] || fail "$native is missing: build it first"
    # The same searches must give the same bytes on both builds (the Windows
    # console program writes CR LF line ends, which are taken out here).
    list=$(dirname "$0")/../data/e96-10R-to-1M.txt
    windows_list=$(env LC_ALL=$wine_locale winepath -w "$list" 2>/dev/null)
    cases=(
      "--lang ja"
      "--lang en --serial --sort precision --format csv"
      "--lang en --vo 3.3 --vo2 1% --vfb 0.8 --digits 2 --format json"
      "--config c --list E6 --dnm-only --sort resistors"
      "--vo 3..3"
      "--list-file LIST --vo 5 --vo2 0.5% --format json"
      "--lang en --list E96 --vo 3.3 --vo2 5% --vfb 0.8 --r1-min 10 --r1-max 1M --tolerance 1% --best 10"
      "--list E48 --range 1k..100k --vo 1.8 --vo2 2% --tolerance 0.5 --worst-case --current-max 1m --format csv"
      "--list E96 --vo 3.3 --vo2 1.5% --vfb 0.8 --vfb-min 792mV --tolerance 1% --pin-current 50n --pin-current-max 100n --current-min 1uA --best 20 --rank yield --sigma 2.5 --format json"
      "--list E24 --config d --serial --vo 0.5 --vo2 2% --vfb 0.8 --pin-current 2u --yield-min 0.9 --format csv"
    )
    for arguments in "${cases[@]}"; do
      # shellcheck disable=SC2086
      expected=$("$native" ${arguments/LIST/$list} 2>&1; echo "exit $?")
      # shellcheck disable=SC2086
      actual=$(timeout 120 env LC_ALL=$wine_locale wine "$windows" ${arguments/LIST/$windows_list} 2>&1 | tr -d '\r'; echo "exit ${PIPESTATUS[0]}")
      if [[ "$expected" != "$actual" ]]; then
        echo "tapsmith-cli.exe $arguments differs from the native tapsmith-cli:" >&2
        diff <(echo "$expected") <(echo "$actual") >&2 || true
        exit 1
      fi
      echo "tapsmith-cli.exe $arguments: same output as the native build ($(echo "$actual" | wc -l) lines)"
    done
    ;;
  finish)
    timeout 60 wineserver -w || wineserver -k
    ;;
  screenshots)
    program=$1
    folder=$(realpath "$2")
    need_program "$program"
    set_unmanaged_windows
    timeout 60 wineserver -w
    "$0" window "$WINEPREFIX" "$program" "$(env LC_ALL=$wine_locale winepath -w "$folder")"
    for language in ja en; do
      python3 "$(dirname "$0")/bmp_to_png.py" "$folder/window-win32-$language.bmp" \
        "$folder/window-win32-$language.png"
      rm "$folder/window-win32-$language.bmp"
    done
    echo "Pictures: $folder/window-win32-ja.png $folder/window-win32-en.png"
    ;;
  *)
    fail "unknown mode $mode"
    ;;
esac
