#!/usr/bin/env bash
# Installs a built tree into temporary prefixes and checks what a desktop and a user rely on:
# the program's folder with every file it looks for beside itself, the relative links in bin/,
# the desktop entry and the icon sizes. Usage: check-install.sh CMAKE BUILD_FOLDER
set -uo pipefail
cmake="$1"
build="$2"

work="$(mktemp -d)"
# Every install rewrites the build folder's install_manifest.txt: keep the one that lists the
# user's own install, which they remove files by.
manifest="$build/install_manifest.txt"
if [ -f "$manifest" ]; then
  cp -p "$manifest" "$work/manifest"
fi
restore_manifest() {
  if [ -f "$work/manifest" ]; then
    cp -p "$work/manifest" "$manifest"
  else
    rm -f "$manifest"
  fi
  rm -rf "$work"
}
trap restore_manifest EXIT
failures=0

fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}

install_into() {
  if ! "$cmake" --install "$build" --prefix "$1" >"$work/install.log" 2>&1; then
    cat "$work/install.log"
    fail "cmake --install --prefix $1 failed"
    return 1
  fi
}

png_size() {
  # Width and height are the big-endian words at bytes 16 and 20 of a PNG file.
  local bytes
  read -r -a bytes <<<"$(od -An -tu1 -j16 -N8 "$1")"
  echo "$(((bytes[0] << 24) + (bytes[1] << 16) + (bytes[2] << 8) + bytes[3]))x$(((bytes[4] << 24) + (bytes[5] << 16) + (bytes[6] << 8) + bytes[7]))"
}

check_layout() {
  local prefix="$1" folder="$1/lib/pelloran"
  local program file entry size icon
  for program in pelloran pelloran-cli; do
    [ -x "$folder/$program" ] || fail "$folder/$program is not an installed executable"
    local link="$prefix/bin/$program"
    if [ ! -L "$link" ]; then
      fail "$link is not a symbolic link"
    elif [ "$(readlink "$link")" != "../lib/pelloran/$program" ]; then
      fail "$link points to $(readlink "$link"), not ../lib/pelloran/$program"
    elif [ "$(readlink -f "$link")" != "$(readlink -f "$folder/$program")" ]; then
      fail "$link does not reach $folder/$program"
    fi
  done
  # The paper helper, which pelloran-cli starts from its own folder, is no command of the user's.
  [ -x "$folder/pelloran-cli-paper" ] || fail "$folder/pelloran-cli-paper is not an installed executable"
  if [ -e "$prefix/bin/pelloran-cli-paper" ] || [ -L "$prefix/bin/pelloran-cli-paper" ]; then
    fail "$prefix/bin/pelloran-cli-paper should not be installed"
  fi
  for file in Help.htm pelloran.lng lang/en.lng Pelloran123.ico Data/Demo.csv \
    images/Pelloran.png images/New.png images/Open.png images/Save.png images/Mark.png \
    images/SortByNumber.png; do
    [ -s "$folder/$file" ] || fail "$folder/$file is missing or empty"
  done

  entry="$prefix/share/applications/pelloran.desktop"
  if [ ! -f "$entry" ]; then
    fail "$entry is missing"
  else
    desktop-file-validate "$entry" >"$work/validate.log" 2>&1
    # Hints (such as two main categories) are advice; errors and warnings are faults.
    if grep -v ': hint: ' "$work/validate.log" | grep -q .; then
      cat "$work/validate.log"
      fail "desktop-file-validate rejects $entry"
    fi
    local key
    for key in 'Exec=pelloran %f' 'Icon=pelloran' 'Terminal=false' 'Type=Application' \
      'Name\[ja\]=.' 'Comment\[ja\]=.' 'MimeType=.*text/csv;'; do
      grep -q "^$key" "$entry" || fail "$entry lacks a line matching ^$key"
    done
  fi

  for size in 32 64 128; do
    icon="$prefix/share/icons/hicolor/${size}x${size}/apps/pelloran.png"
    if [ ! -f "$icon" ]; then
      fail "$icon is missing"
    elif [ "$(png_size "$icon")" != "${size}x${size}" ]; then
      fail "$icon is $(png_size "$icon"), not ${size}x${size}"
    fi
  done
}

prefix="$work/prefix"
if install_into "$prefix"; then
  check_layout "$prefix"

  # Started through its link, the program runs from its own folder: the command-line tool marks
  # the installed demo, and the window comes up and stays up.
  if ! "$prefix/bin/pelloran-cli" --lng "$prefix/lib/pelloran/pelloran.lng" \
    open "$prefix/lib/pelloran/Data/Demo.csv" mark >/dev/null; then
    fail "the installed pelloran-cli does not mark the installed demo"
  fi
  # Through its link, too, pelloran-cli finds the paper helper beside itself.
  if ! "$prefix/bin/pelloran-cli" open "$prefix/lib/pelloran/Data/Demo.csv" mark \
    class-list "$work/list.pdf" >/dev/null || [ ! -s "$work/list.pdf" ]; then
    fail "the installed pelloran-cli does not write the demo's class list"
  fi
  mkdir -p "$work/home/.config"
  HOME="$work/home" XDG_CONFIG_HOME="" QT_QPA_PLATFORM=offscreen \
    timeout 2 "$prefix/bin/pelloran" >"$work/window.log" 2>&1
  status=$?
  if [ "$status" -ne 124 ]; then
    cat "$work/window.log"
    fail "the installed pelloran ended with status $status instead of running"
  fi

  for program in pelloran pelloran-cli; do
    grep -qx "$prefix/bin/$program" "$manifest" ||
      fail "install_manifest.txt does not list the link $prefix/bin/$program"
  done

  # A second install over the first replaces the links instead of failing on them.
  install_into "$prefix" && check_layout "$prefix"
fi

# A staged install, as packages are built, keeps every path inside the staging folder.
if DESTDIR="$work/stage" "$cmake" --install "$build" --prefix /usr >"$work/install.log" 2>&1; then
  check_layout "$work/stage/usr"
else
  cat "$work/install.log"
  fail "the staged install failed"
fi

if [ "$failures" -ne 0 ]; then
  echo "$failures install checks failed"
  exit 1
fi
echo "install layout, links, desktop entry and icons are as expected"
