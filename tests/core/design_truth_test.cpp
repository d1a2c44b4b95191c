// What the program says about a design beside the design itself: stability
// across the transistor file, texts read as their numeric prefix, the names
// of files and of the transistor, and a project's linked file.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "analysis/file_stability.h"
#include "export/exports.h"
#include "forms/field_check.h"
#include "project/linked_file.h"
#include "project/project.h"
#include "text/number_text.h"

namespace {

TouchstoneData Parsed(const char* text) {
  auto read = ParseTouchstone(text);
  EXPECT_TRUE(std::holds_alternative<TouchstoneData>(read));
  return std::get<TouchstoneData>(std::move(read));
}

// μ below 1 at 100 and 200 MHz, above it higher up (a maker's BFR-type file).
const char* kMaker =
    "# MHz S MA R 50\n"
    "100 0.51 -44.8 24.51 142.5 0.010 74.5 0.86 -16.7\n"
    "200 0.42 -79.3 18.20 121.6 0.018 66.9 0.70 -25.4\n"
    "500 0.30 -128.4 9.06 99.0 0.035 63.2 0.50 -31.1\n"
    "1000 0.27 -166.0 4.83 84.1 0.060 65.0 0.43 -35.8\n";

TEST(FileStability, BandsAreRunsOfTheFilesOwnFrequencies) {
  EXPECT_TRUE(BandsAtOrBelowOne({1, 2, 3}, {1.5, 2, 1.01}).empty());
  const std::vector<FrequencyBand> bands = BandsAtOrBelowOne({1, 2, 3, 4, 5, 6}, {0.5, 1, 1.2, 0.9, 3, 1});
  ASSERT_EQ(bands.size(), 3u);
  EXPECT_EQ(bands[0].fromMHz, 1);
  EXPECT_EQ(bands[0].toMHz, 2);  // μ = 1 is not unconditionally stable
  EXPECT_EQ(bands[1].fromMHz, 4);
  EXPECT_EQ(bands[1].toMHz, 4);
  EXPECT_EQ(bands[2].fromMHz, 6);
  EXPECT_EQ(DescribeBands(bands, 1, 6),
            "attenzione: μ ≤ 1, possibile oscillazione tra 1 e 2 MHz, a 4 MHz e a 6 MHz");
  EXPECT_EQ(DescribeBands({}, 40, 3000), "stabile incondizionatamente in tutto il file (40–3000 MHz)");
}

TEST(FileStability, AFeedbackThatStabilisesTheBandClearsIt) {
  const TouchstoneData file = Parsed(kMaker);
  const FileStability alone = StabilityAcrossFile(file, 50, {});
  ASSERT_EQ(alone.transistor.size(), 1u);
  EXPECT_EQ(alone.transistor[0].fromMHz, 100);
  EXPECT_EQ(alone.transistor[0].toMHz, 200);
  EXPECT_EQ(alone.fromMHz, 100);
  EXPECT_EQ(alone.toMHz, 1000);
  // Rf = 50 kohm hardly changes it; 1 kohm makes the pair stable everywhere.
  EXPECT_EQ(StabilityAcrossFile(file, 50, MakeFeedback(FeedbackKind::R, 50, 0, 0)).withFeedback.size(), 1u);
  const FileStability loaded = StabilityAcrossFile(file, 50, MakeFeedback(FeedbackKind::R, 1, 0, 0));
  EXPECT_TRUE(loaded.withFeedback.empty());
  EXPECT_EQ(loaded.transistor.size(), 1u);  // the transistor alone stays as it is
}

TEST(FileStability, TheDesignLineSaysGainMuAndTheFileOrItsAbsence) {
  DesignState s;
  s.S11mag = 0.27, s.S11ang = -166.0 * 3.14159265358979 / 180;
  s.S21mag = 4.83, s.S21ang = 84.1 * 3.14159265358979 / 180;
  s.S12mag = 0.06, s.S12ang = 65.0 * 3.14159265358979 / 180;
  s.S22mag = 0.43, s.S22ang = -35.8 * 3.14159265358979 / 180;
  s.Ro = 50, s.fMHz = 1000, s.PoPi = 100, s.Gf = 0.001;
  const std::string typed = DesignStabilityLine(s, nullptr);
  EXPECT_EQ(typed.rfind("Guadagno adattato 20.00 dB · μ a 1000 MHz = 1.", 0), 0u) << typed;
  EXPECT_NE(typed.find("(solo a f: nessun file Touchstone)"), std::string::npos);
  const FileStability across = StabilityAcrossFile(Parsed(kMaker), 50, MakeFeedback(FeedbackKind::R, 1, 0, 0));
  EXPECT_NE(DesignStabilityLine(s, &across).find("stabile incondizionatamente in tutto il file (100–1000 MHz)"),
            std::string::npos);
}

TEST(FieldReading, ATextTheCheckAcceptsButIsNotOneNumberIsReadAsItsPrefix) {
  for (const char16_t* plain : {u"0.2", u"-3", u"1E+5", u"+.5", u"5."}) {
    EXPECT_TRUE(IsPlainNumber(plain));
    EXPECT_FALSE(NonPlainReading(plain).has_value());
  }
  const std::pair<const char16_t*, double> readings[] = {
      {u"0.2.07", 0.2}, {u"1..5", 1}, {u"2-", 2}, {u"1E+", 1}, {u"--3", 0}, {u"e5", 0}};
  for (const auto& [text, value] : readings) {
    EXPECT_FALSE(IsPlainNumber(text));
    ASSERT_TRUE(NonPlainReading(text).has_value());
    EXPECT_EQ(*NonPlainReading(text), value);
  }
  // Refused texts and one beyond the double range are not readings.
  for (const char16_t* other : {u"", u"1,5", u"1e999.1"}) EXPECT_FALSE(NonPlainReading(other).has_value());
}

TEST(DesignNames, FilesAreNamedAfterTheTransistorFileAndTheFrequency) {
  AmplifierDesign d;
  d.fMHz = 900;
  d.kinds = {NetworkKind::LCL, NetworkKind::CLC};
  EXPECT_EQ(DesignFileStem(d, "/dati/Spar_BFR520_common emitter 6V 10mA.s2p"),
            "Spar_BFR520_common_emitter_6V_10mA_900MHz");
  EXPECT_EQ(DesignFileStem(d, "/dati/è:*?\\.s2p"), "è_____900MHz");
  EXPECT_EQ(DesignFileStem(d, ""), "reti_LCL_CLC_900MHz");
  EXPECT_EQ(DesignTitle(d.kinds, 431.25), "reti L-C-L / C-L-C, 431.25 MHz");
  const TouchstoneData file = Parsed(kMaker);
  EXPECT_EQ(TransistorSourceText("/a/very/long/folder/Spar_BFR520.s2p", &file), "Spar_BFR520.s2p (100–1000 MHz)");
  EXPECT_EQ(TransistorSourceText("", nullptr), "parametri S inseriti a mano");
}

TEST(LinkedFile, StoredRelativeInsideTheProjectsFolderAndAbsoluteOutside) {
  EXPECT_EQ(StoredLinkedPath("/p/progetto.bjtp", "/p/t.s2p"), "t.s2p");
  EXPECT_EQ(StoredLinkedPath("/p/progetto.bjtp", "/p/dati/./t.s2p"), "dati/t.s2p");
  EXPECT_EQ(StoredLinkedPath("/p/progetto.bjtp", "/q/t.s2p"), "/q/t.s2p");
  EXPECT_EQ(StoredLinkedPath("/p/sub/progetto.bjtp", "/p/t.s2p"), "/p/t.s2p");
  EXPECT_EQ(ResolvedLinkedPath("/r/progetto.bjtp", "dati/t.s2p"), "/r/dati/t.s2p");
  EXPECT_EQ(ResolvedLinkedPath("/r/progetto.bjtp", "/q/t.s2p"), "/q/t.s2p");
}

TEST(LinkedFile, AProjectAndItsFileMovedTogetherStillFindEachOther) {
  namespace fs = std::filesystem;
  const fs::path root = fs::temp_directory_path() / "bjt_linked_file_test";
  fs::remove_all(root);
  fs::create_directories(root / "a" / "dati");
  Project p;
  p.touchstone = TouchstoneRef{(root / "a" / "dati" / "t.s2p").string(), 900};
  ASSERT_FALSE(WriteProjectFile((root / "a" / "p.bjtp").string(), p));
  std::ifstream in(root / "a" / "p.bjtp");
  const std::string text{std::istreambuf_iterator<char>(in), {}};
  const auto stored = ParseProject(text);
  EXPECT_EQ(std::get<Project>(stored).touchstone->path, "dati/t.s2p");
  fs::rename(root / "a", root / "b");
  const auto read = ReadProjectFile((root / "b" / "p.bjtp").string());
  ASSERT_TRUE(std::holds_alternative<Project>(read));
  EXPECT_EQ(std::get<Project>(read).touchstone->path, (root / "b" / "dati" / "t.s2p").string());
  EXPECT_EQ(std::get<Project>(read).touchstone->fMHz, 900);
  fs::remove_all(root);
}

}  // namespace
