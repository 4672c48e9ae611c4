#!/usr/bin/env bash
# Installs what is missing, builds into build/ and runs every test suite.
# GUI suites need a display: without one, the whole run goes under xvfb-run.
set -Eeuo pipefail
trap 'echo "${0##*/}: line $LINENO failed (exit $?): $BASH_COMMAND" >&2' ERR
cd "$(dirname "$0")"
scripts/setup.sh build
# A test that hangs (a dialog nobody answers) fails after 15 minutes instead of holding the run.
exec scripts/with-display.sh ctest --test-dir build --output-on-failure --timeout 900 -j "$(nproc)"
