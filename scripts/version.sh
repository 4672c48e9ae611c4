#!/usr/bin/env bash
# Prints the program's version, the project's version in CMakeLists.txt.
set -euo pipefail
sed -n 's/^project(Brindlemarque VERSION \([0-9.]*\).*/\1/p' "$(dirname "$0")/../CMakeLists.txt"
