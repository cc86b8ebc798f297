#!/bin/bash
# The bash completion of yeli-cli offers every command of `yeli-cli --help`, the words of `cnf` and
# `mode`, and the simulation modes.
#   check_completion.sh COMPLETION_SCRIPT BUILD_FOLDER
set -u
source /usr/share/bash-completion/bash_completion
source "$1"
PATH=$2:$PATH
complete_line() {
  COMP_WORDS=("$@")
  COMP_CWORD=$((${#COMP_WORDS[@]} - 1))
  COMP_LINE="$*"
  COMP_POINT=${#COMP_LINE}
  COMPREPLY=()
  _yeli_cli
  echo "${COMPREPLY[*]}"
}
failed=0
expect() {
  local got
  got=$(complete_line "${@:2}")
  [[ " $got " == *" $1 "* ]] || { echo "completing '${*:2}' offers '$got', not '$1'"; failed=1; }
}
for command in $(yeli-cli --help | awk '/^Commands:$/ { inside = 1; next } /^[A-Z][a-z]*:$/ { inside = 0 } inside && /^  [a-z]/ { print $1 }' | sort -u); do
  expect "$command" yeli-cli ""
done
expect show yeli-cli cnf ""
expect diff yeli-cli cnf ""
expect usbxpress yeli-cli mode ""
expect --simulate=usbxpress yeli-cli --simulate=u
expect --json yeli-cli --j
exit $failed
