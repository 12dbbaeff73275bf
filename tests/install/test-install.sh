#!/usr/bin/env bash
# test-install.sh BUILD_DIR SOURCE_DIR: installs the build into temporary folders (DESTDIR staging
# under /usr, and a plain other prefix) and checks the installed tree: every file at its place,
# the installed rvk-cli runs on the installed example, the desktop entry passes
# desktop-file-validate, the file types pass update-mime-database, the man page and the bash
# completion work, and the manual has pages and names every top-level menu of the window.
set -u
build=$(cd "$1" && pwd)
source=$(cd "$2" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}
need() {
  command -v "$1" >/dev/null 2>&1 || { echo "FAIL: $1 is missing (Debian package $2)" >&2; exit 1; }
}
need desktop-file-validate desktop-file-utils
need update-mime-database shared-mime-info
need pdfinfo poppler-utils
need pdftotext poppler-utils

# The files of an installed tree, relative to its prefix.
expected=(
  bin/rvk
  bin/rvk-cli
  share/applications/rvk.desktop
  share/mime/packages/rvk.xml
  share/icons/hicolor/scalable/apps/rvk.svg
  share/icons/hicolor/scalable/mimetypes/application-x-rvk-data.svg
  share/rvk/rvkmanual.pdf
  share/rvk/whatsnew.txt
  share/rvk/examples/listeria.rvk
  share/man/man1/rvk-cli.1.gz
  share/man/man1/rvk.1
  share/bash-completion/completions/rvk-cli
)
for size in 16 22 24 32 48 64 128 256 512; do
  expected+=("share/icons/hicolor/${size}x${size}/apps/rvk.png")
done

check_tree() { # PREFIX_FOLDER LABEL
  local prefix=$1 label=$2 file
  for file in "${expected[@]}"; do
    [ -s "$prefix/$file" ] || fail "$label: $file is not installed"
  done
  for file in bin/rvk bin/rvk-cli; do
    [ -x "$prefix/$file" ] || fail "$label: $file is not executable"
  done
  # Icons have the size their folder names.
  for size in 16 48 256; do
    local png="$prefix/share/icons/hicolor/${size}x${size}/apps/rvk.png"
    # Width and height: big-endian words at byte 16 of the PNG header.
    local b width height
    b=($(od -An -tu1 -j16 -N8 "$png" 2>/dev/null))
    width=$(((${b[0]:-0} << 24) | (${b[1]:-0} << 16) | (${b[2]:-0} << 8) | ${b[3]:-0}))
    height=$(((${b[4]:-0} << 24) | (${b[5]:-0} << 16) | (${b[6]:-0} << 8) | ${b[7]:-0}))
    [ "$width" = "$size" ] && [ "$height" = "$size" ] || fail "$label: $png is ${width}x${height}, not ${size}x${size}"
  done
}

# 1. DESTDIR staging of a /usr installation, as the Debian package does it.
stage="$work/stage"
if ! DESTDIR="$stage" cmake --install "$build" --prefix /usr >"$work/install.log" 2>&1; then
  cat "$work/install.log" >&2
  fail "cmake --install with DESTDIR failed"
fi
check_tree "$stage/usr" "DESTDIR"
# 2. Any other prefix.
other="$work/opt/rvk"
cmake --install "$build" --prefix "$other" >"$work/install2.log" 2>&1 || fail "cmake --install --prefix failed"
check_tree "$other" "prefix"

usr="$stage/usr"
# The installed rvk-cli runs, on the installed example, and writes no settings beside itself.
export HOME="$work/home"
export XDG_CONFIG_HOME="$HOME/.config"
mkdir -p "$HOME"
"$usr/bin/rvk-cli" --help >"$work/help.txt" 2>&1 || fail "installed rvk-cli --help failed"
grep -q '^Usage: rvk-cli' "$work/help.txt" || fail "installed rvk-cli --help shows no usage"
if "$usr/bin/rvk-cli" info "$usr/share/rvk/examples/listeria.rvk" >"$work/info.txt" 2>&1; then
  grep -q '120 individuals' "$work/info.txt" || fail "installed rvk-cli info: $(tail -n 1 "$work/info.txt")"
else
  fail "installed rvk-cli info failed: $(cat "$work/info.txt")"
fi
[ -e "$usr/bin/rvk.ini" ] && fail "the installed rvk-cli wrote rvk.ini into bin/"
# The installed window starts, opens the file it is given (which remembers it in the recent
# list of the settings) and keeps its settings in the user's folder, not beside itself.
RVK_NO_SPLASH=1 "$usr/bin/rvk" "$usr/share/rvk/examples/listeria.rvk" >"$work/rvk.txt" 2>&1 &
rvk_pid=$!
for _ in $(seq 1 60); do
  grep -qs 'listeria.rvk' "$XDG_CONFIG_HOME/rvk/rvk.ini" && break
  kill -0 "$rvk_pid" 2>/dev/null || break
  sleep 0.5
done
if kill -0 "$rvk_pid" 2>/dev/null; then
  kill "$rvk_pid"
  wait "$rvk_pid" 2>/dev/null
else
  fail "the installed rvk stopped: $(tail -n 3 "$work/rvk.txt")"
fi
grep -qs 'listeria.rvk' "$XDG_CONFIG_HOME/rvk/rvk.ini" ||
  fail "the installed rvk kept no settings in \$XDG_CONFIG_HOME/rvk/rvk.ini"
[ -e "$usr/bin/rvk.ini" ] && fail "the installed rvk wrote rvk.ini into bin/"
# Every library of the installed programs is found.
for program in rvk rvk-cli; do
  if ldd "$usr/bin/$program" | grep -q 'not found'; then
    fail "$program: $(ldd "$usr/bin/$program" | grep 'not found' | head -n 3)"
  fi
done

# The desktop entry: valid, starts the installed program with the files, names the data type.
desktop="$usr/share/applications/rvk.desktop"
desktop-file-validate "$desktop" >"$work/desktop.txt" 2>&1 || fail "desktop-file-validate: $(cat "$work/desktop.txt")"
[ -s "$work/desktop.txt" ] && fail "desktop-file-validate warns: $(cat "$work/desktop.txt")"
grep -qx 'Exec=rvk %F' "$desktop" || fail "the desktop entry does not start rvk with the files (%F)"
grep -qx 'Icon=rvk' "$desktop" || fail "the desktop entry names no icon rvk"
grep -Eq '^Categories=.*Science;.*Biology;' "$desktop" || fail "the desktop entry is not in Science/Biology"

# A double click on a .rvk file: the desktop database names RVK for the type of .rvk files.
mkdir -p "$work/applications"
cp "$desktop" "$work/applications/"
update-desktop-database "$work/applications" >"$work/desktop-db.txt" 2>&1 || fail "update-desktop-database: $(cat "$work/desktop-db.txt")"
grep -qx 'application/x-rvk-data=rvk.desktop;' "$work/applications/mimeinfo.cache" 2>/dev/null ||
  fail "the desktop database does not open application/x-rvk-data with rvk.desktop"

# The file types: update-mime-database accepts them without a word and every type the desktop
# entry opens is defined, with the globs of the program's files.
mime="$work/mime"
mkdir -p "$mime/packages"
cp "$usr/share/mime/packages/rvk.xml" "$mime/packages/"
update-mime-database "$mime" >"$work/mime.txt" 2>&1 || fail "update-mime-database failed: $(cat "$work/mime.txt")"
# Its only remark may be that the test folder is not searched by desktops.
grep -v -e "is not in the search path" -e "XDG_DATA" -e "environment variables" -e "be able to find it" \
  -e "directories currently searched" -e '^- ' -e '^$' -e "set by the" "$work/mime.txt" >"$work/mime-remarks.txt"
[ -s "$work/mime-remarks.txt" ] && fail "update-mime-database remarks: $(cat "$work/mime-remarks.txt")"
for glob in rvk rvs rvl qua loc map; do
  grep -q ":\*\.$glob\$" "$mime/globs2" || fail "no MIME type for *.$glob"
done
grep -q ':application/x-rvk-data:\*\.rvk$' "$mime/globs2" || fail "*.rvk is not application/x-rvk-data"
for type in $(sed -n 's/^MimeType=//p' "$desktop" | tr ';' ' '); do
  [ -f "$mime/$type.xml" ] || fail "the desktop entry opens $type, which the MIME file does not define"
done

# The man page: from the --help text, naming every command.
man="$usr/share/man/man1/rvk-cli.1.gz"
if gzip -t "$man" 2>/dev/null; then
  gzip -dc "$man" >"$work/rvk-cli.1"
  grep -q '^\.TH RVK-CLI "1"' "$work/rvk-cli.1" || fail "the man page has no .TH line of rvk-cli(1)"
  for command in $(sed -n 's/^  \([a-z][a-z-]*\) .*/\1/p' "$work/help.txt"); do
    sed "s/\\\\-/-/g" "$work/rvk-cli.1" | grep -q -- "$command" || fail "the man page does not name the command $command"
  done
else
  fail "the man page is not a gzip file"
fi

# The bash completion completes commands and a command's options from the installed program.
completion="$usr/share/bash-completion/completions/rvk-cli"
cat >"$work/complete.sh" <<EOF
_init_completion() { cur=\${COMP_WORDS[COMP_CWORD]}; prev=\${COMP_WORDS[COMP_CWORD-1]}; words=("\${COMP_WORDS[@]}"); cword=\$COMP_CWORD; }
_filedir() { COMPREPLY=(); }
source "$completion"
COMP_WORDS=("$usr/bin/rvk-cli" im); COMP_CWORD=1; _rvk_cli; echo "commands: \${COMPREPLY[*]}"
COMP_WORDS=("$usr/bin/rvk-cli" render --vi); COMP_CWORD=2; _rvk_cli; echo "options: \${COMPREPLY[*]}"
COMP_WORDS=("$usr/bin/rvk-cli" render --view ''); COMP_CWORD=3; _rvk_cli; echo "values: \${COMPREPLY[*]}"
EOF
bash "$work/complete.sh" >"$work/complete.txt" 2>&1
grep -qx 'commands: import-sheet import-vcf' "$work/complete.txt" || fail "bash completion of commands: $(cat "$work/complete.txt")"
grep -qx 'options: --view' "$work/complete.txt" || fail "bash completion of options: $(cat "$work/complete.txt")"
grep -qx 'values: group individual all' "$work/complete.txt" || fail "bash completion of values: $(cat "$work/complete.txt")"

# The manual: a PDF with pages that names every top-level menu of the main window (captions
# without their access-key "&", "&&" shown as "&").
manual="$usr/share/rvk/rvkmanual.pdf"
pages=$(pdfinfo "$manual" 2>/dev/null | sed -n 's/^Pages: *//p')
if [ -z "$pages" ] || [ "$pages" -lt 10 ]; then
  fail "the manual has ${pages:-no} pages"
fi
pdftotext -layout "$manual" - 2>/dev/null | tr -s ' \n\t' ' ' >"$work/manual.txt"
menus=$(sed -n 's/.*bar->addMenu(QStringLiteral("\([^"]*\)")).*/\1/p' "$source/app/mainwindow.cpp")
[ -n "$menus" ] || fail "no menu captions found in app/mainwindow.cpp"
count=0
while IFS= read -r caption; do
  shown=$(printf '%s' "$caption" | sed -e 's/&&/\x01/g' -e 's/&//g' -e 's/\x01/\&/g' -e 's/^ *//' -e 's/ *$//')
  count=$((count + 1))
  grep -qF -- "$shown" "$work/manual.txt" || fail "the manual does not name the menu \"$shown\""
done <<<"$menus"
[ "$count" -ge 8 ] || fail "only $count top-level menus found in app/mainwindow.cpp"
# ... and every command of rvk-cli.
for command in $(sed -n 's/^  \([a-z][a-z-]*\) .*/\1/p' "$work/help.txt"); do
  grep -qF -- "rvk-cli $command" "$work/manual.txt" || grep -qE -- "(^| )$command (FILE|IN|MAP)" "$work/manual.txt" ||
    fail "the manual does not describe the command rvk-cli $command"
done
cmp -s "$manual" "$build/rvkmanual.pdf" || fail "the installed manual is not the one built"
cmp -s "$usr/share/rvk/whatsnew.txt" "$source/docs/whatsnew.txt" || fail "the installed whatsnew.txt is not the one kept in docs/"

if [ "$failures" -gt 0 ]; then
  echo "$failures failure(s)" >&2
  exit 1
fi
echo "installed tree OK: ${#expected[@]} files, $pages manual pages, $count menus named"
