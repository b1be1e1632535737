#!/usr/bin/env bash
# Pictures of every window and dialog of the application, with the example
# project loaded, as PNG files in screenshots/ (or the folder given), and
# the gallery of every shape type. They are drawn under Xvfb by the picture
# tests of the application, the report windows and the painting.
set -euo pipefail
cd "$(dirname "$0")/.."
ordner=$(realpath -m "${1:-screenshots}")
bash scripts/install-deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release >/dev/null
programme=(tests/app/test_app_bilder tests/vorschau/test_vorschau_vorschau
           tests/painting/test_painting_galerie tests/werkzeuge/test_werkzeuge_bilder
           tests/ereignis/test_ereignis_bilder tests/simfenster/test_simfenster_bilder
           tests/app/test_app_editor_bilder tests/app/test_app_ergebnisleiste)
cmake --build build -j"$(nproc)" --target "${programme[@]##*/}"
mkdir -p "$ordner"
for p in "${programme[@]}"; do
  T21_BILDER="$ordner" xvfb-run -a -s "-screen 0 1600x1000x24" "./build/$p"
done
ls "$ordner"/*.png
