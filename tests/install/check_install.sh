#!/usr/bin/env bash
# Installs a built tree into a temporary prefix and checks what lands where: the two
# programs, the help page, the desktop entry (desktop-file-validate), the icons, the
# manual page, the bash completion (which must complete mirun-cli's options); that the installed programs run and keep their settings in
# $XDG_CONFIG_HOME/mirun, not in their bin folder; and, with --deb, that
# cpack -G DEB makes a package with those files and Debian dependencies.
# Usage: check_install.sh BUILD_DIR [--deb]
set -euo pipefail
build=$(cd "$1" && pwd)
deb=${2:-}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "check_install: $*" >&2; exit 1; }

prefix=$work/prefix
cmake --install "$build" --prefix "$prefix" >/dev/null

expected=(
  bin/mirun bin/mirun-cli
  share/mirun/help/index.html
  share/applications/mirun.desktop
  share/icons/hicolor/scalable/apps/mirun.svg
  share/man/man1/mirun-cli.1.gz
  share/bash-completion/completions/mirun-cli
)
for size in 16 24 32 48 64 128 256; do expected+=("share/icons/hicolor/${size}x${size}/apps/mirun.png"); done
for f in "${expected[@]}"; do [ -s "$prefix/$f" ] || fail "missing or empty: $f"; done
[ -x "$prefix/bin/mirun" ] && [ -x "$prefix/bin/mirun-cli" ] || fail "programs not executable"

# Each PNG has the size its folder names.
for size in 16 24 32 48 64 128 256; do
  info=$(file "$prefix/share/icons/hicolor/${size}x${size}/apps/mirun.png")
  case $info in *"PNG image data, $size x $size"*) ;; *) fail "wrong icon: $info" ;; esac
done

if command -v desktop-file-validate >/dev/null; then
  desktop-file-validate "$prefix/share/applications/mirun.desktop" || fail "desktop-file-validate"
else
  fail "desktop-file-validate is missing (package desktop-file-utils; scripts/setup.sh installs it)"
fi
grep -qx 'Exec=mirun %F' "$prefix/share/applications/mirun.desktop" || fail "Exec line"
grep -q '^Name\[ja\]=' "$prefix/share/applications/mirun.desktop" || fail "no Japanese name"
if grep -q '^MimeType' "$prefix/share/applications/mirun.desktop"; then fail "MimeType present"; fi

# The manual page reads without warnings.
if command -v man >/dev/null; then
  warnings=$(MANWIDTH=80 man -l "$prefix/share/man/man1/mirun-cli.1.gz" 2>&1 >/dev/null || true)
  [ -z "$warnings" ] || fail "man: $warnings"
fi

# The completion loads in bash and completes long options and their values.
completion=$prefix/share/bash-completion/completions/mirun-cli
words=$(bash -c 'source "$1"; COMP_WORDS=(mirun-cli --dry); COMP_CWORD=1; _mirun_cli; echo "${COMPREPLY[*]}";
                 COMP_WORDS=(mirun-cli --color a); COMP_CWORD=2; _mirun_cli; echo "${COMPREPLY[*]}"' _ "$completion") ||
  fail "bash completion does not load"
[ "$words" = $'--dry-run\nauto always' ] || fail "bash completion: $words"
complete_line=$(bash -c 'source "$1"; complete -p mirun-cli' _ "$completion")
case $complete_line in *"-F _mirun_cli mirun-cli"*) ;; *) fail "completion not registered: $complete_line" ;; esac

# The installed programs run; settings go to $XDG_CONFIG_HOME/mirun, not bin/.
printf '東京\n' > "$work/a.txt"
out=$(env -u MIRUN_HOME XDG_CONFIG_HOME="$work/xdg" LC_ALL=C.UTF-8 \
      "$prefix/bin/mirun-cli" -s 東京 -B --replace 大阪 "$work/a.txt" 2>&1) || fail "mirun-cli: $out"
[ "$(cat "$work/a.txt")" = 大阪 ] || fail "replace did not happen"
[ -d "$work/xdg/mirun" ] || fail "no settings folder in XDG_CONFIG_HOME"
ls "$prefix/bin" | grep -qvx 'mirun\|mirun-cli' && fail "files written into bin: $(ls "$prefix/bin")"
env -u MIRUN_HOME XDG_CONFIG_HOME="$work/xdg" "$prefix/bin/mirun-cli" --version >/dev/null || fail "--version"

if [ "$deb" = --deb ]; then
  command -v dpkg-deb >/dev/null || fail "dpkg-deb is missing"
  (cd "$work" && cpack -G DEB --config "$build/CPackConfig.cmake" -B "$work/pkg" >/dev/null) || fail "cpack"
  package=$(ls "$work"/pkg/*.deb)
  info=$(dpkg-deb -I "$package")
  contents=$(dpkg-deb -c "$package")
  for f in "${expected[@]}"; do
    grep -q " \./usr/$f\$" <<<"$contents" || fail "not in the package: /usr/$f"
  done
  depends=$(sed -n 's/^ Depends: //p' <<<"$info")
  for p in libqt6widgets6 libqt6network6 libqt6core6 libc6 qt6-translations-l10n; do
    grep -q "$p" <<<"$depends" || fail "Depends lacks $p: $depends"
  done
  echo "package: $(basename "$package"); Depends: $depends"
fi
echo "check_install: ok"
