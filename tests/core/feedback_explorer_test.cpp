// The feedback explorer: each row is what a single design with that field
// text gives through the program's own paths, the same on any number of
// threads.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <variant>

#include "figures/feedback_figure.h"
#include "forms/result_commands.h"
#include "noise/noise_cascade.h"
#include "model/quantities.h"
#include "session/feedback_explorer.h"
#include "session/session_output.h"
#include "text/number_text.h"
#include "text/utf16.h"
#include "touchstone/fields.h"
#include "touchstone/touchstone.h"

namespace {

std::shared_ptr<const TouchstoneData> ReadData(const char* name) {
  TouchstoneResult read = ReadTouchstoneFile(std::string(BJT_TEST_DATA_DIR) + "/" + name);
  EXPECT_TRUE(std::holds_alternative<TouchstoneData>(read));
  return std::make_shared<const TouchstoneData>(std::get<TouchstoneData>(std::move(read)));
}

// The maker's file at 900 MHz with Rf feedback, as the input window holds it
// after the chooser.
ExplorerInput MakerInput(SweptElement element = SweptElement::Rf, int option = 1) {
  ExplorerInput input;
  input.touchstone = ReadData("bfr_maker_ma_mhz.s2p");
  const auto fields = FieldsAtFrequency(*input.touchstone, 900);
  input.base.fields = TouchstoneFieldTexts(std::get<SParamFields>(fields));
  input.base.feedbackOption = option;
  input.element = element;
  return input;
}

SessionResult SingleDesign(const ExplorerInput& input, const std::string& control, const std::string& text) {
  SessionInput session = input.base;
  session.fields.push_back({control, Utf8ToUtf16(text)});
  return RunSession(session);
}

TEST(FeedbackExplorer, ValuesAreLogSpacedWithBothEndsExact) {
  const std::vector<double> v = ExplorerValues({0.01, 100, 201});
  ASSERT_EQ(v.size(), 201u);
  EXPECT_EQ(v.front(), 0.01);
  EXPECT_EQ(v.back(), 100);
  EXPECT_NEAR(v[50], 0.1, 1e-15);  // 50 values a decade
  EXPECT_NEAR(v[100], 1, 1e-14);

  EXPECT_EQ(CheckExplorerRange({0.01, 100, 201}, SweptElement::Rf), "");
  EXPECT_NE(CheckExplorerRange({0, 100, 201}, SweptElement::Rf), "");
  EXPECT_NE(CheckExplorerRange({5, 1, 201}, SweptElement::Lf).find("uH"), std::string::npos);
  EXPECT_NE(CheckExplorerRange({1, 5, 1}, SweptElement::Cf), "");
  EXPECT_NE(CheckExplorerRange({1, 5, kMaxExplorerValues + 1}, SweptElement::Cf), "");

  // Writing a value makes that design only where the option uses the field.
  EXPECT_EQ(CheckExplorerFeedback(SweptElement::Rf, 3), "");
  EXPECT_NE(CheckExplorerFeedback(SweptElement::Rf, 4), "");
  EXPECT_NE(CheckExplorerFeedback(SweptElement::Rf, 0), "");
  EXPECT_EQ(CheckExplorerFeedback(SweptElement::Lf, 2), "");
  EXPECT_NE(CheckExplorerFeedback(SweptElement::Lf, 3), "");
  EXPECT_EQ(SweptControl(SweptElement::Cf), ControlOf(Quantity::CfPicoF));
}

// Every column against what one design with the same text gives: the
// session's stability figures, the response window's sweep and bandwidth,
// the noise core's NF.
TEST(FeedbackExplorer, EachColumnIsWhatOneDesignGives) {
  const ExplorerInput input = MakerInput();
  const FeedbackExplorer explorer(input);
  EXPECT_FALSE(explorer.constantTransistor());
  const SweepSource response = DefaultSweepSource(AmplifierDesign{}, input.touchstone);
  int designed = 0;
  for (double value : {0.2, 1.0, 5.0, 50.0}) {
    const FeedbackScanRow row = explorer.Run(value);
    const std::string text = ShortestNumberText(value);
    SCOPED_TRACE(text);
    EXPECT_EQ(row.text, text);
    const SessionResult single = SingleDesign(input, ControlOf(Quantity::RfKohm), text);
    ASSERT_TRUE(row.band.has_value());
    EXPECT_EQ(row.fMHz, 900);

    const SessionStability stability = StabilityOfSession(single.state);
    ASSERT_TRUE(stability.withFeedback && row.atDesignFrequency);
    EXPECT_EQ(row.atDesignFrequency->gainDb, stability.withFeedback->gainDb);
    EXPECT_EQ(row.atDesignFrequency->gainIsMag, stability.withFeedback->gainIsMag);

    // esito and Po/Pi as the sweep's CSV writes them.
    const std::string sweepLine = SweepCsvLine({900, single});
    EXPECT_EQ(row.designed, sweepLine.find(",progettato,") != std::string::npos);
    const WindowDesignResult* made = single.firstDesign();
    ASSERT_EQ(row.designed, made != nullptr);
    if (!made) {
      EXPECT_FALSE(row.poPiDb || row.bandLowMHz || row.bandHighMHz || row.nfDb);
      continue;
    }
    ++designed;
    const auto design = CaptureDesign(made->window, made->state);
    ASSERT_TRUE(design);
    ASSERT_TRUE(row.poPiDb);
    EXPECT_EQ(*row.poPiDb, 10 * std::log10(made->state.PoPi));
    EXPECT_NE(sweepLine.find("," + FileNumberText(*row.poPiDb) + ","), std::string::npos);

    // The response window's sweep of this design: μ of the pair and the band.
    const SweepResult sweep = RunSweep(*design, response.transistor, response.plan);
    ASSERT_EQ(sweep.points.size(), 401u);
    const auto least = std::min_element(sweep.points.begin(), sweep.points.end(),
                                        [](const auto& a, const auto& b) { return a.muTransistor < b.muTransistor; });
    EXPECT_EQ(row.band->muMin, least->muTransistor);
    EXPECT_EQ(row.band->fMuMinMHz, least->fMHz);
    const bool stable = std::all_of(sweep.points.begin(), sweep.points.end(),
                                    [](const auto& p) { return p.muTransistor > 1; });
    EXPECT_EQ(row.band->stableEverywhere, stable);
    const Bandwidth band = BandwidthOf(sweep, 900, 1.0);
    EXPECT_EQ(row.bandLowMHz.has_value(), band.lowFound);
    EXPECT_EQ(row.bandHighMHz.has_value(), band.highFound);
    if (band.lowFound) {
      EXPECT_EQ(*row.bandLowMHz, band.lowMHz);
    }
    if (band.highFound) {
      EXPECT_EQ(*row.bandHighMHz, band.highMHz);
    }

    // The noise core's figures for this design at f.
    const auto noise = FileNoiseAt(*input.touchstone, 900);
    ASSERT_TRUE(noise);
    const auto amplifier = AmplifierNoiseAt(900, design->transistor, *noise, NoiseNetworksOf(*design));
    ASSERT_TRUE(amplifier && row.nfDb && row.nfMinPairDb);
    EXPECT_EQ(*row.nfDb, amplifier->nfDb);
    EXPECT_EQ(*row.nfMinPairDb, amplifier->nfMinPairDb);
  }
  EXPECT_GT(designed, 0);
}

TEST(FeedbackExplorer, RowsAreTheSameOnAnyNumberOfThreads) {
  const FeedbackExplorer explorer(MakerInput());
  const std::vector<double> values = ExplorerValues({0.05, 20, 9});
  std::string one, three;
  for (const FeedbackScanRow& r : explorer.RunAll(values, 1)) one += ExplorerCsvLine(r);
  for (const FeedbackScanRow& r : explorer.RunAll(values, 3)) three += ExplorerCsvLine(r);
  EXPECT_EQ(one, three);
  EXPECT_EQ(std::count(one.begin(), one.end(), '\n'), 9);
}

TEST(FeedbackExplorer, ProgressThatThrowsStopsTheWork) {
  const FeedbackExplorer explorer(MakerInput());
  const std::vector<double> values = ExplorerValues({0.05, 20, 40});
  std::size_t seen = 0;
  struct Stop {};
  EXPECT_THROW(explorer.RunAll(values, 2,
                               [&](std::size_t done, std::size_t) {
                                 seen = done;
                                 if (done >= 3) throw Stop{};
                               }),
               Stop);
  EXPECT_LT(seen, values.size());
}

// Lf swept with Rf held: the Rf field keeps its text, Lf takes the value.
TEST(FeedbackExplorer, SweepsLfWithRfHeld) {
  ExplorerInput input = MakerInput(SweptElement::Lf, 2);
  input.base.fields.push_back({ControlOf(Quantity::RfKohm), u"1"});
  const FeedbackExplorer explorer(input);
  const SessionInput session = explorer.SessionFor(0.25);
  EXPECT_EQ(session.fields.back().control, ControlOf(Quantity::LfMicroH));
  EXPECT_EQ(session.fields.back().text, u"0.25");
  const FeedbackScanRow row = explorer.Run(0.25);
  const SessionResult single = SingleDesign(input, ControlOf(Quantity::LfMicroH), "0.25");
  EXPECT_EQ(row.designed, single.firstDesign() != nullptr);
  ASSERT_TRUE(row.atDesignFrequency);
  EXPECT_EQ(row.atDesignFrequency->gainDb, StabilityOfSession(single.state).withFeedback->gainDb);
}

// Without a file the entered S-parameters are held from 0.5 to 1.5 f, and a
// field Calculate refuses leaves the stability columns empty.
TEST(FeedbackExplorer, WithoutFileAndWithARefusedField) {
  ExplorerInput input;  // the input window's start texts
  input.base.feedbackOption = 1;
  const FeedbackExplorer explorer(input);
  EXPECT_TRUE(explorer.constantTransistor());
  const FeedbackScanRow row = explorer.Run(5);
  ASSERT_TRUE(row.band);
  EXPECT_EQ(row.band->points, 401);
  EXPECT_FALSE(row.nfMinPairDb || row.nfDb);
  const std::string line = ExplorerCsvLine(row);
  EXPECT_EQ(line.substr(0, 2), "5,");
  EXPECT_EQ(line.substr(line.size() - 3), ",,\n");  // no noise data

  input.base.fields.push_back({ControlOf(Quantity::RE), u"abc"});
  const FeedbackScanRow refused = FeedbackExplorer(input).Run(5);
  EXPECT_FALSE(refused.band || refused.atDesignFrequency || refused.designed);
  EXPECT_FALSE(refused.messages.empty());
  EXPECT_EQ(ExplorerCsvLine(refused), "5,,,no,,rifiutato,,,,,\n");
}

TEST(FeedbackExplorer, CsvAndJsonCarryTheSameKeys) {
  const std::string header = ExplorerCsvHeader();
  EXPECT_EQ(header,
            "valore,mu_min_banda,f_mu_min_MHz,stabile_in_banda,guadagno_max_dB_Yf,esito,Po_Pi_dB,"
            "banda_1dB_da_MHz,banda_1dB_a_MHz,NFmin_Yf_dB,NF_dB\n");
  FeedbackScanRow row;
  row.text = "0.5";
  const std::string json = ExplorerJson(std::span<const FeedbackScanRow>(&row, 1));
  std::size_t from = 0;
  for (std::size_t comma; from < header.size() - 1; from = comma + 1) {
    comma = header.find_first_of(",\n", from);
    const std::string key = std::string("\"").append(header, from, comma - from).append("\":");
    EXPECT_NE(json.find(key), std::string::npos);
  }
  EXPECT_NE(json.find("\"valore\":\"0.5\""), std::string::npos);
  EXPECT_NE(json.find("\"NF_dB\":null"), std::string::npos);
}

TEST(PairStability, BandsWhereMuIsNotAboveOne) {
  // A transistor that is stable alone, made unstable between 2 and 3 MHz by
  // a source that gives no data there.
  const SMatrix s{{0.3, 0}, {0.02, 0}, {2, 0}, {0.3, 0}};
  TransistorSource source{[s](double f) -> std::optional<SMatrix> {
                            if (f >= 2 && f <= 3) return std::nullopt;
                            return s;
                          },
                          50};
  const std::vector<double> f{1, 2, 3, 4, 5};
  const BandStability band = PairStabilityOver(source, 50, {}, f);
  EXPECT_EQ(band.points, 3);
  EXPECT_GT(band.muMin, 1);
  EXPECT_EQ(band.fMuMinMHz, 1);
  EXPECT_FALSE(band.stableEverywhere);
  ASSERT_EQ(band.unstable.size(), 1u);
  EXPECT_EQ(band.unstable[0].fromMHz, 2);
  EXPECT_EQ(band.unstable[0].toMHz, 3);
  EXPECT_TRUE(PairStabilityOver(source, 50, {}, std::vector<double>{4, 5}).stableEverywhere);
  EXPECT_FALSE(PairStabilityOver(source, 50, {}, std::vector<double>{}).stableEverywhere);
}

TEST(ExplorerFigure, ShadesStableValuesAndReadsTheNearestRow) {
  std::vector<FeedbackScanRow> rows(4);
  const double values[] = {0.1, 1, 10, 100};
  for (int i = 0; i < 4; ++i) {
    rows[i].value = values[i];
    rows[i].text = ShortestNumberText(values[i]);
    rows[i].band = BandStability{401, i < 2 ? 1.2 : 0.8, 200, i < 2, {}};
    rows[i].fMHz = 900;
  }
  rows[1].designed = true;
  rows[1].poPiDb = 12.5;
  const Figure figure = BuildExplorerFigure({rows, "Rf", "kohm", 900, 1.0});
  ASSERT_GE(figure.panels.size(), 3u);
  EXPECT_TRUE(figure.panels[0].x.logarithmic);
  for (const Panel& panel : figure.panels) {
    ASSERT_EQ(panel.bands.size(), 1u);
    EXPECT_EQ(panel.bands[0].from, 0.1);
    EXPECT_EQ(panel.bands[0].to, 1);
  }
  ASSERT_EQ(figure.notes.size(), 2u);  // the shading named, and no noise data
  EXPECT_NE(figure.notes[0].text.find(kStableEverywhereLabel), std::string::npos);

  EXPECT_EQ(NearestRow(rows, 2.9)->value, 1);
  EXPECT_EQ(NearestRow(rows, 3.3)->value, 10);
  const std::string readout = ExplorerReadout(rows[1], "Rf", "kohm");
  EXPECT_NE(readout.find("Rf = 1 kohm"), std::string::npos);
  EXPECT_NE(readout.find("Po/Pi = 12.50 dB"), std::string::npos);
  EXPECT_NE(ExplorerReadout(rows[3], "Rf", "kohm").find("progetto rifiutato"), std::string::npos);
}

}  // namespace
