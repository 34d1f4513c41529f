#!/usr/bin/env bash
# Data for bench_main_window: the 100,000-cookie profile the Firefox page
# loads, as cookies_txt.sh makes it.
set -euo pipefail
bash "$(dirname "$0")/cookies_txt.sh"
