#!/usr/bin/env bash
# The demo machine in the benchmark prefix, for bench_page_switch (the same
# seeding as bench_startup's, done once).
set -euo pipefail
bash "$(dirname "$0")/startup.sh"
