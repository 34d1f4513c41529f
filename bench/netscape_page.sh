#!/usr/bin/env bash
# Data for bench_netscape_page: the 100,000-cookie profile and Python's load
# time of it, as cookies_txt.sh makes them.
set -euo pipefail
bash "$(dirname "$0")/cookies_txt.sh"
