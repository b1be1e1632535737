// Painting a generated drawing of about 2,000 shapes (20 discharge points
// with 50 catchments and 50 tanks each, and their links) into a 1920 x 1080
// image, all of it visible: the time of one repaint of the drawing view.
#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include "cad/ansicht.h"
#include "painting/maler.h"
#include "support/bench_netz.h"

using namespace t21;

static void BM_Zeichnung2000(benchmark::State& state) {
  TM3Model m;
  test::BaueBenchNetz(m, "", 20, 50);
  TCadView view;
  view.SetGroesse(1920, 1080);
  view.ZoomAll(m);
  QImage bild(1920, 1080, QImage::Format_RGB32);
  for (auto _ : state) {
    QPainter p(&bild);
    MaleAnsicht(p, &m, view, view.Ansicht());
    p.end();
    benchmark::DoNotOptimize(bild.bits());
  }
  state.counters["shapes"] = static_cast<double>(m.Count());
  // To look at what is measured: T21_BILD names a PNG file for the picture.
  if (const QString datei = qEnvironmentVariable("T21_BILD"); !datei.isEmpty()) bild.save(datei);
}
BENCHMARK(BM_Zeichnung2000)->Unit(benchmark::kMillisecond)->UseRealTime();

// Zoomed in to 1 pixel per drawing unit on the middle of the same drawing:
// most shapes lie outside the image, their links still cross it.
static void BM_Ausschnitt(benchmark::State& state) {
  TM3Model m;
  test::BaueBenchNetz(m, "", 20, 50);
  TCadView view;
  view.SetGroesse(1920, 1080);
  view.SetOrgZoom(2000, 1500, 1);
  QImage bild(1920, 1080, QImage::Format_RGB32);
  for (auto _ : state) {
    QPainter p(&bild);
    MaleAnsicht(p, &m, view, view.Ansicht());
    p.end();
    benchmark::DoNotOptimize(bild.bits());
  }
}
BENCHMARK(BM_Ausschnitt)->Unit(benchmark::kMillisecond)->UseRealTime();

// The same view without the shapes: background, grid and origin only.
static void BM_Hintergrund(benchmark::State& state) {
  TM3Model m;
  test::BaueBenchNetz(m, "", 20, 50);
  TCadView view;
  view.SetGroesse(1920, 1080);
  view.ZoomAll(m);
  QImage bild(1920, 1080, QImage::Format_RGB32);
  for (auto _ : state) {
    QPainter p(&bild);
    MaleAnsicht(p, nullptr, view, view.Ansicht());
    p.end();
    benchmark::DoNotOptimize(bild.bits());
  }
}
BENCHMARK(BM_Hintergrund)->Unit(benchmark::kMillisecond)->UseRealTime();

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
