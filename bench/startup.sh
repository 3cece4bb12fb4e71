#!/usr/bin/env bash
# Start-up of the tool's window against a bare Qt window, whole processes timed by hyperfine.
#   bench/startup.sh [build-folder]     (QT_QPA_PLATFORM defaults to offscreen)
set -euo pipefail
build=${1:-build}
export QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen}
probe="$build/bench/startup_probe"
hyperfine --warmup 5 --runs 40 -N "$probe bare" "$probe form"
