// The response figure of a sweep, built and painted, at the default 401
// points and at the longest sweep the window accepts: what a user waits for
// after "Ricalcola" (the sweep itself is timed in bench_sweep.cpp).
#include <QImage>
#include <QPainter>

#include <map>

#include <benchmark/benchmark.h>

#include "figures/response_figure.h"
#include "forms/result_commands.h"
#include "gui/figure_view.h"
#include "session/session.h"

namespace {

struct SweptDesign {
  AmplifierDesign design;
  SweepResult sweep;
};

const SweptDesign& Swept(int points) {
  static std::map<int, SweptDesign> made;
  auto [entry, added] = made.try_emplace(points);
  if (added) {
    SessionInput input;
    input.feedbackOption = 1;
    const SessionResult session = RunSession(input);
    entry->second.design = *CaptureDesign(session.firstDesign()->window, session.firstDesign()->state);
    SweepPlan plan = DefaultSweep(entry->second.design);
    plan.points = points;
    entry->second.sweep = RunSweep(entry->second.design, ConstantTransistor(entry->second.design), plan);
  }
  return entry->second;
}

Figure ResponseOf(const SweptDesign& s) {
  return BuildResponseFigure({.design = &s.design, .sweep = &s.sweep, .caption = "Form2"});
}

void BuildResponse(benchmark::State& state) {
  const SweptDesign& s = Swept(static_cast<int>(state.range(0)));
  for (auto _ : state) benchmark::DoNotOptimize(ResponseOf(s));
}
BENCHMARK(BuildResponse)->Arg(401)->Arg(kMaxSweepPoints)->Unit(benchmark::kMillisecond);

// Into an image the size of the window's plot, at pixel ratio 1 and 2.
void PaintResponse(benchmark::State& state) {
  const Figure figure = ResponseOf(Swept(static_cast<int>(state.range(0))));
  const qreal ratio = static_cast<qreal>(state.range(1));
  QImage image(QSize(940, 640) * ratio, QImage::Format_ARGB32_Premultiplied);
  image.setDevicePixelRatio(ratio);
  for (auto _ : state) {
    QPainter painter(&image);
    PaintFigure(painter, figure, QRectF(0, 0, 940, 640));
  }
}
BENCHMARK(PaintResponse)->Args({401, 1})->Args({401, 2})->Args({kMaxSweepPoints, 1})->Unit(benchmark::kMillisecond);

}  // namespace
