#!/bin/sh
# Installs the build into a temporary prefix and uses the installed program as a user
# would: from another folder, on PATH, with its own home.
# Usage: install_test.sh BUILD-FOLDER SOURCE-FOLDER
set -eu
build=$1
source=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
prefix=$work/prefix
cmake --install "$build" --prefix "$prefix" >/dev/null

for file in bin/folioscribe share/folioscribe/profiles/sample.folioscribe_options \
    share/folioscribe/help/index.html share/applications/folioscribe.desktop \
    share/icons/hicolor/scalable/apps/folioscribe.svg share/man/man1/folioscribe.1.gz \
    share/bash-completion/completions/folioscribe; do
  [ -f "$prefix/$file" ] || { echo "not installed: $file"; exit 1; }
done
[ ! -e "$prefix/bin/Profiles" ] || { echo "the install must not be portable"; exit 1; }

cp -r "$source/examples/site" "$work/site"
mkdir "$work/home" "$work/elsewhere"
cd "$work/elsewhere"
export HOME="$work/home" PATH="$prefix/bin:$PATH"
unset XDG_CONFIG_HOME XDG_STATE_HOME DISPLAY WAYLAND_DISPLAY

folioscribe ../site -o - -p sample -justdoit >map.html 2>errors
grep -q '<title>Site map of site</title>' map.html || { echo "no map on standard output"; exit 1; }
[ ! -s errors ] || { cat errors; exit 1; }
[ -f "$HOME/.local/state/folioscribe/logs/folioscribe.MainThread.log" ] ||
  { echo "no log in the state folder"; exit 1; }

# Every option of --help is in the manual page, each beginning a paragraph of its own,
# and completes in bash. Exit status and files are sections of the page.
gzip -dc "$prefix/share/man/man1/folioscribe.1.gz" >"$work/folioscribe.1"
for option in $(folioscribe --help | grep -oE -- '--[a-z][a-z-]*' | sort -u); do
  grep -qF -- "$(echo "$option" | sed 's/-/\\-/g')" "$work/folioscribe.1" ||
    { echo "$option is not in the manual page"; exit 1; }
done
options=$(folioscribe --help | grep -cE '^  (-[a-zA-Z], )?--[a-z]|^      --[a-z]')
items=$(grep -A1 '^\.TP$' "$work/folioscribe.1" | grep -cE '^\\fB\\-.*\\fR$')
[ "$options" -eq "$items" ] || { echo "$options options, $items manual paragraphs"; exit 1; }
for section in 'EXIT STATUS' FILES; do
  grep -qE "^\.SH \"?$section\"?$" "$work/folioscribe.1" || { echo "no section $section"; exit 1; }
done
completions() {
  bash -c '. "$1"; shift; COMP_WORDS=("$@"); COMP_CWORD=$(($# - 1)); _folioscribe folioscribe
           echo "${COMPREPLY[@]}"' completion "$prefix/share/bash-completion/completions/folioscribe" "$@"
}
[ "$(completions folioscribe --list)" = "--list-profiles" ] || { echo "option not completed"; exit 1; }
[ "$(completions folioscribe -p xml)" = "xml-sitemap" ] || { echo "profile not completed"; exit 1; }
[ "$(completions folioscribe --log=e)" = "errors" ] || { echo "log detail not completed"; exit 1; }
echo "installed and ran from $prefix"
