#!/usr/bin/env bash
# Data for bench_page_ie: the cookie folder of the store's own benchmark.
set -euo pipefail
bash "$(dirname "$0")/ie_folder.sh"
