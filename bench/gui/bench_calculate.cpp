// Time from the click on "Trova le reti di adattamento " to the result window
// shown, through the real widgets (offscreen unless a platform is chosen):
// once with the result window created anew, once with it already open.
#include <QAbstractButton>
#include <QApplication>
#include <QLineEdit>

#include <benchmark/benchmark.h>

#include "gui/program.h"
#include "gui/qt_ui.h"
#include "model/design_state.h"

namespace {

DesignState g_design;

void IgnoreMessage(const std::string&) {}

void Click(FormId form, const char* name) {
  qobject_cast<QAbstractButton*>(FindControl(form, name))->click();
}

void PrepareWorkedExample() {
  Click(FormId::Form1, "Command2");
  Click(FormId::Form1, "Option1");
}

void CloseForm2() {
  if (QWidget* w = FormFrame(FormId::Form2)) w->close();
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

void CalculateToNewWindow(benchmark::State& state) {
  PrepareWorkedExample();
  for (auto _ : state) {
    state.PauseTiming();
    CloseForm2();
    state.ResumeTiming();
    Click(FormId::Form1, "Command1");
    QCoreApplication::processEvents();
    if (!FormWidget(FormId::Form2) || !FormWidget(FormId::Form2)->isVisible())
      state.SkipWithError("Form2 did not open");
  }
}
BENCHMARK(CalculateToNewWindow)->Unit(benchmark::kMillisecond);

void CalculateToOpenWindow(benchmark::State& state) {
  PrepareWorkedExample();
  Click(FormId::Form1, "Command1");
  for (auto _ : state) {
    Click(FormId::Form1, "Command1");
    QCoreApplication::processEvents();
  }
}
BENCHMARK(CalculateToOpenWindow)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  NameApplication();
  QtProgram program(g_design);
  SetMessageHandler(IgnoreMessage);
  OpenStartWindow();
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
