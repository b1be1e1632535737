#!/usr/bin/env bash
# Pictures of every window and dialog of the application, with the example
# project loaded, as PNG files in screenshots/ (or the folder given). They
# are drawn under Xvfb by the picture test of the application.
set -euo pipefail
cd "$(dirname "$0")/.."
ordner=$(realpath -m "${1:-screenshots}")
bash scripts/install-deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build -j"$(nproc)" --target test_app_bilder
mkdir -p "$ordner"
T21_BILDER="$ordner" xvfb-run -a -s "-screen 0 1600x1000x24" ./build/tests/app/test_app_bilder
ls "$ordner"/*.png
