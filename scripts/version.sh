#!/usr/bin/env bash
# Prints the program's version, the project's version in CMakeLists.txt.
set -Eeuo pipefail
trap 'echo "${0##*/}: line $LINENO failed (exit $?): $BASH_COMMAND" >&2' ERR
sed -n 's/^project(Brindlemarque VERSION \([0-9.]*\).*/\1/p' "$(dirname "$0")/../CMakeLists.txt"
