#!/usr/bin/env bash
# Checks the installation and the packages as a user gets them, for CTest.
#
#   check_package.sh install BUILD ROOT       installs BUILD into ROOT (DESTDIR, prefix /usr)
#   check_package.sh files ROOT ID            ROOT holds exactly the installed files
#   check_package.sh cli ROOT ID              the installed tapsmith-cli finds the ten matches
#   check_package.sh desktop ROOT ID          the desktop entry is valid and names what is there
#   check_package.sh metainfo ROOT ID         the AppStream metadata is valid
#   check_package.sh man ROOT ID              both manual pages render without a warning
#   check_package.sh deb BUILD WORK ID VERSION
#                                             the .deb: its fields, files, modes and lintian
#   check_package.sh zip BUILD WORK VERSION   the Windows zip of the cross build BUILD
#   check_package.sh wine WORK PREFIX RUN DRIVER
#                                             both programs of the unpacked zip under Wine,
#                                             run by RUN (run_under_wine.sh)
set -euo pipefail

mode=$1
shift
export LC_ALL=C.UTF-8

fail() {
  echo "check_package.sh $mode: $*" >&2
  exit 1
}

need_tool() {
  command -v "$1" >/dev/null || fail "$1 is missing: install the Debian package $2 (tools/install-deps.sh does)"
}

# Every file the installation holds, relative to its root, sorted.
installed_files() {
  local id=$1 icons=usr/share/icons/hicolor
  printf '%s\n' usr/bin/tapsmith usr/bin/tapsmith-cli \
    "usr/share/applications/$id.desktop" "usr/share/applications/$id.page.desktop" \
    "usr/share/metainfo/$id.metainfo.xml" \
    "$icons/scalable/apps/$id.svg" "$icons/48x48/apps/$id.png" "$icons/128x128/apps/$id.png" \
    usr/share/man/man1/tapsmith.1.gz usr/share/man/man1/tapsmith-cli.1.gz \
    usr/share/doc/tapsmith/copyright usr/share/doc/tapsmith/changelog.gz \
    usr/share/lintian/overrides/tapsmith usr/share/tapsmith/tapsmith.html | sort
}

# The default search prints its ten matches and the status, and leaves no
# settings file behind.
check_ten_matches() {
  local output=$1 errors=$2 folder=$3
  [[ $(tr -d '\r' <"$output" | grep -c ' = ') -eq 10 ]] || fail "not ten matches: $(cat "$output")"
  [[ $(tr -d '\r' <"$errors") == "10 set(s) found." ]] || fail "status: $(cat "$errors")"
  [[ ! -e "$folder/Tapsmith.ini" ]] || fail "tapsmith-cli wrote Tapsmith.ini without --settings"
}

# The page stands alone: its script inline, nothing fetched from elsewhere.
check_page() {
  local page=$1
  grep -q '<script type="module">' "$page" || fail "$page has no inline script"
  ! grep -qE '<(script|link|img)[^>]* (src|href)="(https?:)?//' "$page" || fail "$page loads something from the network"
}

case "$mode" in
  install)
    build=$1 root=$2
    rm -rf "$root"
    DESTDIR="$root" cmake --install "$build" --prefix /usr >/dev/null
    echo "installed into $root"
    ;;

  files)
    root=$1 id=$2
    need_tool file file
    diff <(installed_files "$id") <(cd "$root" && find . -type f | sed 's|^\./||' | sort) >&2 ||
      fail "the installed files differ from the list above (< expected, > installed)"
    for size in 48 128; do
      file "$root/usr/share/icons/hicolor/${size}x$size/apps/$id.png" | grep -q "PNG image data, $size x $size" ||
        fail "the $size px icon is not a $size x $size PNG"
    done
    check_page "$root/usr/share/tapsmith/tapsmith.html"
    echo "$(installed_files "$id" | wc -l) files, as listed"
    ;;

  cli)
    root=$1
    folder=$(mktemp -d)
    trap 'rm -rf "$folder"' EXIT
    (cd "$folder" && "$root/usr/bin/tapsmith-cli" --lang en >stdout 2>stderr) || fail "tapsmith-cli exited with $?"
    check_ten_matches "$folder/stdout" "$folder/stderr" "$folder"
    echo "the installed tapsmith-cli found the ten default matches"
    ;;

  desktop)
    root=$1 id=$2
    need_tool desktop-file-validate desktop-file-utils
    for entry in "$root/usr/share/applications/$id.desktop" "$root/usr/share/applications/$id.page.desktop"; do
      report=$(desktop-file-validate "$entry" 2>&1) || fail "$report"
      [[ -z "$report" ]] || fail "desktop-file-validate: $report"
      grep -qx "Icon=$id" "$entry" || fail "$entry: the icon is not $id"
      grep -q '^Name\[ja\]=\|^GenericName\[ja\]=' "$entry" || fail "$entry: no Japanese name"
    done
    exec_line=$(sed -n 's/^Exec=//p' "$root/usr/share/applications/$id.desktop")
    [[ -x "$root/usr/bin/${exec_line%% *}" ]] || fail "Exec=$exec_line names no installed program"
    # The page's entry opens the installed page in the default browser.
    page_exec=$(sed -n 's/^Exec=//p' "$root/usr/share/applications/$id.page.desktop")
    [[ "$page_exec" == "xdg-open /usr/share/tapsmith/tapsmith.html" ]] || fail "the page's Exec is $page_exec"
    [[ -f "$root/usr/share/tapsmith/tapsmith.html" ]] || fail "the page's entry opens no installed page"
    echo "both entries valid; Exec and Icon installed"
    ;;

  metainfo)
    root=$1 id=$2
    need_tool appstreamcli appstream
    appstreamcli validate --no-net "$root/usr/share/metainfo/$id.metainfo.xml"
    # The metadata together with the desktop entry and the icons it names.
    appstreamcli validate-tree --no-net "$root"
    ;;

  man)
    root=$1
    need_tool man man-db
    warnings=$(mktemp)
    trap 'rm -f "$warnings"' EXIT
    for page in tapsmith tapsmith-cli; do
      text=$(MANWIDTH=80 man --warnings -l "$root/usr/share/man/man1/$page.1.gz" 2>"$warnings") ||
        fail "man $page exited with $?"
      [[ ! -s "$warnings" ]] || fail "man $page warns: $(cat "$warnings")"
      for needed in NAME SYNOPSIS DESCRIPTION FILES Tapsmith.ini "SEE ALSO"; do
        grep -qF "$needed" <<<"$text" || fail "man $page has no $needed"
      done
    done
    # The options come from --help, the rest from the include file.
    text=$(MANWIDTH=80 man -l "$root/usr/share/man/man1/tapsmith-cli.1.gz")
    for needed in "--list-file FILE" "--vfb-min VOLTS" "OUTPUT FORMATS" "EXIT STATUS" "64"; do
      grep -qF -- "$needed" <<<"$text" || fail "man tapsmith-cli has no $needed"
    done
    echo "both manual pages render at 80 columns without a warning"
    ;;

  deb)
    build=$1 work=$2 id=$3 version=$4
    need_tool dpkg-shlibdeps dpkg-dev
    need_tool lintian lintian
    rm -rf "$work"
    cpack -G DEB --config "$build/CPackConfig.cmake" -B "$work" >"$work.log" 2>&1 ||
      fail "cpack failed: $(cat "$work.log")"
    deb=$work/tapsmith_${version}_amd64.deb
    [[ -f "$deb" ]] || fail "cpack made no $deb"
    [[ $(dpkg-deb -f "$deb" Package) == tapsmith ]] || fail "the package is not named tapsmith"
    [[ $(dpkg-deb -f "$deb" Version) == "$version" ]] || fail "the package's version is not $version"
    dpkg-deb -f "$deb" Depends | grep -q 'libqt6widgets6' || fail "Depends has no Qt: $(dpkg-deb -f "$deb" Depends)"
    [[ $(dpkg-deb -f "$deb" Recommends) == "fonts-noto-cjk, xdg-utils" ]] ||
      fail "Recommends is not fonts-noto-cjk, xdg-utils: $(dpkg-deb -f "$deb" Recommends)"
    # Directories and programs 0755, every other file 0644, all root's.
    dpkg-deb -c "$deb" | awk '
      $2 != "root/root" { print "not root/root: " $0 }
      /^d/ && $1 != "drwxr-xr-x" { print "directory mode: " $0 }
      /^-/ && $6 ~ /usr\/bin\// && $1 != "-rwxr-xr-x" { print "program mode: " $0 }
      /^-/ && $6 !~ /usr\/bin\// && $1 != "-rw-r--r--" { print "file mode: " $0 }
    ' >"$work/modes.txt"
    [[ ! -s "$work/modes.txt" ]] || fail "$(cat "$work/modes.txt")"
    dpkg-deb -x "$deb" "$work/root"
    "$0" files "$work/root" "$id"
    for program in tapsmith tapsmith-cli; do
      file "$work/root/usr/bin/$program" | grep -q ', stripped' || fail "$program is not stripped"
    done
    # No error and no warning; the tags left at the level "info" are listed,
    # with their reasons, in the README.
    lintian --fail-on error,warning "$deb" >"$work/lintian.txt" 2>&1 ||
      fail "lintian reports an error or a warning: $(cat "$work/lintian.txt")"
    grep -v '^running with root privileges' "$work/lintian.txt" || true
    echo "$deb: fields, files and modes as expected; lintian: no error, no warning"
    ;;

  zip)
    build=$1 work=$2 version=$3
    need_tool unzip unzip
    [[ -f "$build/CPackConfig.cmake" ]] || fail "$build is not configured: build the Windows programs first with 'make windows'"
    rm -rf "$work"
    cpack -G ZIP --config "$build/CPackConfig.cmake" -B "$work" >"$work.log" 2>&1 ||
      fail "cpack failed: $(cat "$work.log")"
    name=Tapsmith-$version-win64
    zip=$work/$name.zip
    [[ -f "$zip" ]] || fail "cpack made no $zip"
    expected=$(printf "$name/%s\n" LICENSE.txt README.txt tapsmith-cli.exe tapsmith.exe tapsmith.html | sort)
    actual=$(unzip -Z1 "$zip" | grep -v '/$' | sort)
    [[ "$actual" == "$expected" ]] || fail "the zip holds:"$'\n'"$actual"$'\n'"not:"$'\n'"$expected"
    unzip -q "$zip" -d "$work/unpacked"
    for text in README LICENSE; do
      file=$work/unpacked/$name/$text.txt
      [[ $(grep -c $'\r$' "$file") -eq $(wc -l <"$file") ]] || fail "$text.txt has lines without CR LF"
      [[ -s "$file" ]] || fail "$text.txt is empty"
    done
    grep -q '^MIT License' "$work/unpacked/$name/LICENSE.txt" || fail "LICENSE.txt is not the MIT licence"
    check_page "$work/unpacked/$name/tapsmith.html"
    echo "$zip: both programs, the page, README.txt and LICENSE.txt with CR LF"
    ;;

  wine)
    work=$1 prefix=$2 run=$3 driver=$4
    folder=$(echo "$work"/unpacked/Tapsmith-*-win64)
    [[ -f "$folder/tapsmith-cli.exe" ]] || fail "no unpacked zip in $work: run package.zip first"
    cli_folder=$work/cli
    rm -rf "$cli_folder"
    mkdir -p "$cli_folder"
    (cd "$cli_folder" && "$run" console "$prefix" "$folder/tapsmith-cli.exe" --lang en >stdout 2>stderr) ||
      fail "tapsmith-cli.exe exited with $?: $(cat "$cli_folder/stderr")"
    check_ten_matches "$cli_folder/stdout" "$cli_folder/stderr" "$cli_folder"
    echo "tapsmith-cli.exe from the zip found the ten default matches"
    # The window, started in an empty folder, pressed Execute on and closed.
    "$run" program "$prefix" "$folder/tapsmith.exe" "$driver" "$work/window"
    ;;

  *)
    fail "unknown mode"
    ;;
esac
