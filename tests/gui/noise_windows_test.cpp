// Noise in the windows as a user meets it: "Rumore…" with and without noise
// data, the four fields typed by hand (and refused), the response window's
// noise panel and Q fields, the Smith chart's circles, the project keeping
// the typed data, and the low-noise design opened from the noise window.
#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <gtest/gtest.h>

#include <cmath>

#include "forms/result_commands.h"
#include "gui/low_noise_window.h"
#include "gui/menus.h"
#include "gui/noise_settings.h"
#include "gui/noise_window.h"
#include "gui/project_io.h"
#include "gui/response_window.h"
#include "gui/smith_window.h"
#include "tests/gui/fresh_windows.h"

namespace {

template <typename Window>
Window* Newest(const char* name) {
  Window* found = nullptr;
  for (QWidget* w : QApplication::topLevelWidgets())
    if (w->objectName() == QLatin1String(name) && w->isVisible()) found = static_cast<Window*>(w);
  return found;
}

void Type(QWidget* window, const char* name, const char* text) {
  auto* edit = window->findChild<QLineEdit*>(QString::fromLatin1(name));
  ASSERT_NE(edit, nullptr) << name;
  edit->setText(QString::fromUtf8(text));
}

void Press(QWidget* window, const char* name) {
  auto* button = window->findChild<QAbstractButton*>(QString::fromLatin1(name));
  ASSERT_NE(button, nullptr) << name;
  button->click();
}

class NoiseWindows : public ::testing::Test {
 protected:
  void SetUp() override {
    OpenFreshWindows(design_);
    SetTouchstoneSourceProvider({});
    // The stored test values with Rf feedback, computed in Form2.
    for (const char* name : {"Command2", "Option1", "Command1"})
      static_cast<QAbstractButton*>(FindControl(FormId::Form1, name))->click();
    ASSERT_NE(FormFrame(FormId::Form2), nullptr);
    static_cast<QAbstractButton*>(FindControl(FormId::Form2, "Command1"))->click();
  }
  void TearDown() override {
    CloseAnalysisWindows();
  }
  static NoiseWindow* OpenNoise() {
    EXPECT_EQ(TriggerMenuEntry(FormId::Form2, QStringLiteral("Analisi/Rumore...")), "");
    return Newest<NoiseWindow>("NoiseWindow");
  }
  static DesignState design_;
};
DesignState NoiseWindows::design_;

TEST_F(NoiseWindows, WithoutDataItSaysSoAndTakesTheFourFields) {
  NoiseWindow* window = OpenNoise();
  ASSERT_NE(window, nullptr);
  EXPECT_EQ(window->summary().toStdString(), kNoNoiseData);
  const QString smithEntry = QStringLiteral("Analisi/Carta di Smith...");
  ASSERT_EQ(TriggerMenuEntry(FormId::Form2, smithEntry), "");
  auto* smith = Newest<SmithWindow>("SmithWindow");
  ASSERT_NE(smith, nullptr);
  EXPECT_FALSE(smith->findChild<QCheckBox*>(QStringLiteral("noiseCircles"))->isEnabled());

  // A bad field is told and changes nothing.
  Type(window, "nfMin", "0,9");
  Type(window, "gammaOptMag", "1.2");
  Type(window, "gammaOptDeg", "40");
  Type(window, "rn", "8");
  g_messages.clear();
  EXPECT_FALSE(window->applyTyped());
  ASSERT_EQ(g_messages.size(), 1u);
  EXPECT_EQ(g_messages[0], "|Γopt| deve essere un numero maggiore o uguale a zero e minore di 1");
  EXPECT_FALSE(CurrentNoiseSettings().typed);
  Type(window, "gammaOptMag", "abc");
  EXPECT_FALSE(window->applyTyped());
  EXPECT_EQ(g_messages.back(), "|Γopt| non è un numero");

  // Good fields: the transistor, the pair and the amplifier at f.
  Type(window, "gammaOptMag", "0.3");
  Press(window, "applyNoise");
  ASSERT_TRUE(CurrentNoiseSettings().typed);
  EXPECT_EQ(CurrentNoiseSettings().typed->nfMinDb, 0.9);
  const QString summary = window->summary();
  EXPECT_TRUE(summary.startsWith(QStringLiteral("Transistor a 100 MHz: NFmin = 0.90 dB, Γopt = 0.300 ∠ 40.0°, Rn = 8.00 ohm")))
      << summary.toStdString();
  EXPECT_TRUE(summary.contains(QStringLiteral("Transistor con la reazione: NFmin = ")));
  EXPECT_TRUE(summary.contains(QStringLiteral(" dB dal minimo"))) << summary.toStdString();

  // The amplifier's NF agrees with the noise core's.
  const AmplifierDesign d = *CaptureDesign(FormId::Form2, DesignOfWindow(FormId::Form2)->state);
  const auto typed = DesignNoiseSource(CurrentNoiseSettings().typed, d.Ro, nullptr);
  const auto nf = NoiseOfDesign(d, typed);
  ASSERT_TRUE(nf);
  char text[32];
  std::snprintf(text, sizeof text, "NF = %.2f dB", nf->nfDb);
  EXPECT_TRUE(summary.contains(QString::fromLatin1(text))) << summary.toStdString();

  // The open chart now draws Γopt and the circles.
  auto* circles = smith->findChild<QCheckBox*>(QStringLiteral("noiseCircles"));
  ASSERT_TRUE(circles->isEnabled());
  circles->click();
  const Panel& panel = smith->figure().panels[0];
  int noiseCircles = 0;
  for (const auto& c : panel.circles) noiseCircles += c.label.rfind("NFmin + ", 0) == 0;
  EXPECT_EQ(noiseCircles, 4);
  bool optimum = false;
  for (const auto& m : panel.markers) optimum = optimum || m.label == "Γopt";
  EXPECT_TRUE(optimum);

  // Back to the file's data: there are none.
  Press(window, "useFileNoise");
  EXPECT_EQ(window->summary().toStdString(), kNoNoiseData);
}

TEST_F(NoiseWindows, ResponseShowsTheNoisePanelAndTakesQ) {
  SetTypedNoise(NoiseEntry{1.0, 0.4, 60, 10});
  ASSERT_EQ(TriggerMenuEntry(FormId::Form2, QStringLiteral("Analisi/Risposta in frequenza...")), "");
  auto* window = Newest<ResponseWindow>("ResponseWindow");
  ASSERT_NE(window, nullptr);
  ASSERT_EQ(window->figure().panels.size(), 3u);
  ASSERT_EQ(window->noise().size(), window->sweep().points.size());
  const Panel& nfPanel = window->figure().panels[2];
  EXPECT_EQ(nfPanel.y.title, "NF [dB]");
  ASSERT_EQ(nfPanel.markers.size(), 1u);
  const double idealNf = nfPanel.markers[0].at.y;
  const double idealGain = window->figure().panels[0].markers[0].at.y;

  g_messages.clear();
  Type(window, "qInductors", "0");
  EXPECT_FALSE(window->applySweep());
  EXPECT_EQ(g_messages, std::vector<std::string>{"Il fattore di merito Q deve essere un numero maggiore di zero"});
  // Lossy inductors: less gain, more noise, and every window knows the Q.
  Type(window, "qInductors", "25");
  ASSERT_TRUE(window->applySweep());
  EXPECT_EQ(CurrentNoiseSettings().losses.inductorQ, 25);
  EXPECT_GT(window->figure().panels[2].markers[0].at.y, idealNf + 0.05);
  EXPECT_LT(window->figure().panels[0].markers[0].at.y, idealGain - 0.05);
  EXPECT_NE(window->figure().notes.back().text.find("perdite"), std::string::npos);
}

TEST_F(NoiseWindows, LowNoiseDesignTakesTheNoiseWindowsDataAndDesign) {
  NoiseWindow* window = OpenNoise();
  ASSERT_NE(window, nullptr);
  auto* button = window->findChild<QPushButton*>(QStringLiteral("lowNoiseDesign"));
  ASSERT_NE(button, nullptr);
  // No noise data: the button says why it cannot act, and a press anyway is
  // told in a message, with no window.
  EXPECT_FALSE(button->isEnabled());
  EXPECT_TRUE(button->toolTip().startsWith(QStringLiteral("Servono dati di rumore"))) << button->toolTip().toStdString();
  g_messages.clear();
  EXPECT_EQ(window->openLowNoiseDesign(), nullptr);
  EXPECT_EQ(g_messages, std::vector<std::string>{"Progetto a basso rumore: nessun dato di rumore a questa frequenza"});

  Type(window, "nfMin", "1.1");
  Type(window, "gammaOptMag", "0.35");
  Type(window, "gammaOptDeg", "50");
  Type(window, "rn", "9");
  ASSERT_TRUE(window->applyTyped());
  ASSERT_TRUE(button->isEnabled());
  const DesignState shown = DesignOfWindow(FormId::Form2)->state;
  // The result window computed again at another frequency: the noise
  // window's design stays the one it shows, and so does the low-noise one.
  static_cast<QLineEdit*>(FindControl(FormId::Form1, "Text14"))->setText(QStringLiteral("120"));
  static_cast<QAbstractButton*>(FindControl(FormId::Form1, "Command1"))->click();
  static_cast<QAbstractButton*>(FindControl(FormId::Form2, "Command1"))->click();
  ASSERT_EQ(DesignOfWindow(FormId::Form2)->state.fMHz, 120);

  g_messages.clear();
  button->click();
  auto* lowNoise = Newest<LowNoiseWindow>("LowNoiseWindow");
  ASSERT_NE(lowNoise, nullptr);
  ASSERT_TRUE(lowNoise->shown()) << (g_messages.empty() ? "" : g_messages.back());
  EXPECT_EQ(lowNoise->shown()->design.fMHz, shown.fMHz);
  // Least noise, from the typed data: the pair's Γopt and NFmin as the
  // noise core gives them for the design the noise window shows.
  const auto expected =
      NoiseAtState(shown, DesignNoiseSource(CurrentNoiseSettings().typed, shown.Ro, nullptr));
  ASSERT_TRUE(expected);
  EXPECT_NEAR(lowNoise->shown()->nfMinPairDb, expected->withFeedback.nfMinDb(), 1e-9);
  EXPECT_NEAR(std::abs(lowNoise->shown()->gammaS - expected->withFeedback.gammaOpt), 0, 1e-9);
  EXPECT_TRUE(lowNoise->findChild<QLabel*>(QStringLiteral("pairNoise"))->text().contains(QStringLiteral("a mano")));
}

TEST_F(NoiseWindows, ProjectKeepsTheTypedNoise) {
  SetTypedNoise(NoiseEntry{0.75, 0.25, -135, 6.5});
  const Project saved = ProjectOfInputWindow(std::nullopt);
  ASSERT_TRUE(saved.noise);
  SetTypedNoise(std::nullopt);
  ApplyProjectToInputWindow(saved);
  ASSERT_TRUE(CurrentNoiseSettings().typed);
  EXPECT_EQ(CurrentNoiseSettings().typed->gammaOptDeg, -135);
  EXPECT_EQ(CurrentNoiseSettings().typed->rnOhm, 6.5);
  // A project without noise data clears the typed ones, as its texts replace the window's.
  Project plain = saved;
  plain.noise.reset();
  ApplyProjectToInputWindow(plain);
  EXPECT_FALSE(CurrentNoiseSettings().typed);
}

}  // namespace
