#!/usr/bin/env bash
# The full-screen saver left alone, then the dialog with a setting changed each second, MINUTES (10) each; its
# memory, objects, windows and handles must stay flat after start-up. tests/e2e/soak.sh [MINUTES] [BUILD_DIR]
root=$(cd "$(dirname "$0")/../.." && pwd)
TINDLBRG_SOAK_MINUTES=${1:-10} exec "$root/tests/e2e/run-e2e.sh" "${2:-$root/build/mingw64}"
