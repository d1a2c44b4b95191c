// The two-port file reader: each format feature on small files of the kinds
// met in practice, each refusal with its message, the field values and the
// interpolation.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <utility>
#include <charconv>
#include <cstring>
#include <random>
#include <vector>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "touchstone/fields.h"

namespace {

TouchstoneData Parsed(std::string_view text) {
  auto result = ParseTouchstone(text);
  if (auto* error = std::get_if<TouchstoneError>(&result)) {
    ADD_FAILURE() << error->message;
    return {};
  }
  return std::get<TouchstoneData>(std::move(result));
}

TouchstoneError Refused(std::string_view text) {
  auto result = ParseTouchstone(text);
  if (std::holds_alternative<TouchstoneData>(result)) {
    ADD_FAILURE() << "accepted:\n" << text;
    return {};
  }
  return std::get<TouchstoneError>(result);
}

// A maker's file: MHz, MA, a noise block after the network data.
const char kMakerFile[] =
    "! BFP420 VCE=2V IC=5mA\n"
    "! freq  S11  S21  S12  S22\n"
    "# MHz S MA R 50\n"
    "100   0.8123 -23.4  12.345 160.2  0.0200 75.1  0.9507 -10.3\n"
    "500\t0.7000 -80.0  10.000 120.0  0.0512 50.0  0.8000 -30.0 ! inline comment\n"
    "1000  0.5500 -130.5 6.1000 95.25  0.0700 40.0  0.6000 -45.0\n"
    "! noise parameters\n"
    "500   0.95  0.41  23.5  0.22\n"
    "1000  1.10  0.33  55.0  0.18\n";

// fMHz, Ro, then magnitude and degrees of S11, S21, S12, S22.
void ExpectFields(const SParamFields& f, std::array<double, 10> expected) {
  EXPECT_EQ((std::array{f.fMHz, f.ro, f.s11Mag, f.s11Deg, f.s21Mag, f.s21Deg, f.s12Mag, f.s12Deg,
                        f.s22Mag, f.s22Deg}),
            expected);
}

}  // namespace

TEST(Touchstone, MakerFileInMegahertzWithNoise) {
  const TouchstoneData d = Parsed(kMakerFile);
  ASSERT_EQ(d.records.size(), 3u);
  EXPECT_EQ(d.records[1].fMHz, 500);
  // The fields carry the file's numbers exactly, in S11 S21 S12 S22 order.
  ExpectFields(FieldsAtPoint(d, 0), {100, 50, 0.8123, -23.4, 12.345, 160.2, 0.02, 75.1, 0.9507, -10.3});
  EXPECT_NEAR(std::abs(PointAt(d, 0).s21), 12.345, 1e-12);
  EXPECT_NEAR(std::arg(PointAt(d, 0).s21) * 180 / M_PI, 160.2, 1e-9);
  ASSERT_EQ(d.noise.size(), 2u);
  const NoisePoint& n = d.noise[1];
  EXPECT_EQ((std::array{n.fMHz, n.nfMinDb, n.gammaOptMag, n.gammaOptDeg, n.rnNormalized}),
            (std::array{1000.0, 1.10, 0.33, 55.0, 0.18}));
}

TEST(Touchstone, FrequenciesMoveTheDecimalPointOfTheText) {
  // A simulator's file: Hz, RI, exponents.
  const TouchstoneData ri = Parsed(
      "#hz s ri r 75\n"
      "0.5e9 0.6 -0.8 3 4 0.01 0 -0.3 0.4\n"
      "2140000000 0.1 0.2 0.3 0.4 0.5 0.6 0.7 0.8\n");
  EXPECT_EQ(ri.records[1].fMHz, 2140);
  ExpectFields(FieldsAtPoint(ri, 0), {500, 75, 1, std::atan2(-0.8, 0.6) * 180 / M_PI, 5,
                                      std::atan2(4, 3) * 180 / M_PI, 0.01, 0, 0.5, std::atan2(0.4, -0.3) * 180 / M_PI});

  // DB in GHz: 2.140 × 1000 in doubles would be 2140.0000000000005.
  const TouchstoneData db = Parsed(
      "# GHz S DB R 50\n"
      "2.140 -6.0206 -45 20 90 -40 10 0 -20\n"
      "2.4E0 0 0 0 0 0 0 0 0\n");
  EXPECT_EQ(db.records[1].fMHz, 2400);
  const SParamFields g = FieldsAtPoint(db, 0);
  ExpectFields(g, {2140, 50, g.s11Mag, -45, 10, 90, 0.01, 10, 1, -20});
  EXPECT_NEAR(g.s11Mag, 0.5, 1e-5);
  EXPECT_EQ(Parsed("# khz\n1.5 1 0 1 0 1 0 1 0\n").records[0].fMHz, 0.0015);
  // No option line: GHz, S, MA, 50 ohm.
  ExpectFields(FieldsAtPoint(Parsed("1 0.5 10 2 20 0.1 30 0.4 40\n"), 0), {1000, 50, 0.5, 10, 2, 20, 0.1, 30, 0.4, 40});
}

// Plain decimals are read by the reader's own quick path, the rest by
// from_chars: every number must come out as the very double from_chars
// gives, whatever its shape (long digit strings, leading zeros, exponents,
// signs, "1." and ".5").
TEST(Touchstone, EveryNumberReadsAsFromCharsReadsIt) {
  std::mt19937_64 random(20261209);
  const auto digits = [&](int n) {
    std::string d;
    for (int i = 0; i < n; ++i) d += static_cast<char>('0' + random() % 10);
    return d;
  };
  const auto number = [&](int maxExponent) {
    std::string t = random() % 3 == 0 ? "-" : random() % 8 == 0 ? "+" : "";
    const int whole = static_cast<int>(random() % 12), fraction = static_cast<int>(random() % 14);
    t += digits(whole == 11 ? 22 : whole);
    if (fraction > 0 || whole == 0) {
      t += '.';
      t += digits(std::max(fraction == 13 ? 24 : fraction, whole == 0 ? 1 : 0));
    }
    if (random() % 3 == 0) {
      t += random() % 2 ? "e" : "E";
      const int e = static_cast<int>(random() % (2 * maxExponent + 1)) - maxExponent;
      t += e < 0 ? "-" : random() % 2 ? "+" : "";
      t += std::to_string(std::abs(e));
    }
    return t;
  };
  const auto fromChars = [](const std::string& t) {
    double v = 0;
    const char* p = t.data() + (t[0] == '+' ? 1 : 0);
    std::from_chars(p, t.data() + t.size(), v);
    return v;
  };
  std::string text = "# MHz S MA\n";
  std::vector<std::string> written;
  for (int line = 1; line <= 4000; ++line) {
    text += std::to_string(line);
    for (int i = 0; i < 8; ++i) {
      // Magnitudes stay far below 1e100; angles take any size.
      written.push_back(number(i % 2 == 0 ? 60 : 280));
      text += " " + written.back();
    }
    text += "\n";
  }
  const TouchstoneData d = Parsed(text);
  ASSERT_EQ(d.records.size(), 4000u);
  for (std::size_t r = 0; r < d.records.size(); ++r)
    for (std::size_t i = 0; i < 8; ++i) {
      const FilePair& pair = d.records[r].pairs[i / 2];
      const double got = i % 2 == 0 ? pair.a : pair.b, want = fromChars(written[8 * r + i]);
      EXPECT_EQ(std::memcmp(&got, &want, sizeof got), 0) << written[8 * r + i] << " read as " << got;
    }

  // Frequencies in Hz and GHz: the decimal point moved in the text, then the
  // nearest double, also for digits beyond the quick path.
  for (const auto& [unit, shift] : {std::pair{"Hz", -6}, std::pair{"GHz", 3}}) {
    std::string file = std::string("# ") + unit + "\n";
    std::vector<std::string> frequencies;
    for (int line = 1; line <= 2000; ++line) {
      frequencies.push_back(std::to_string(line) + "." + digits(static_cast<int>(random() % 24)));
      file += frequencies.back() + " 1 2 3 4 5 6 7 8\n";
    }
    const TouchstoneData f = Parsed(file);
    ASSERT_EQ(f.records.size(), frequencies.size());
    for (std::size_t r = 0; r < frequencies.size(); ++r) {
      const double got = f.records[r].fMHz, want = fromChars(frequencies[r] + "e" + std::to_string(shift));
      EXPECT_EQ(std::memcmp(&got, &want, sizeof got), 0) << frequencies[r] << " " << unit << " read as " << got;
    }
  }
}

TEST(Touchstone, LineEndsMarksTabsAndWrappedRecords) {
  const TouchstoneData d = Parsed(
      "\xEF\xBB\xBF! written on Windows\r\n"
      "#\tMHZ\tS\tMA\tR\t50\r\n"
      "  \r\n"
      "100\t0.8 -20\r\n"
      "\t\t5 150! wrapped\r\n"
      "0.02 70 0.9 -10\r\n"
      "200 0.7 -40 4 140 0.03 65 0.85 -15\r"  // a lone CR ends a line too
      "300 0.6 -60 3 130 0.04 60 0.8 -20");   // and the last line needs no end
  ASSERT_EQ(d.records.size(), 3u);
  EXPECT_EQ(FieldsAtPoint(d, 0).s21Mag, 5);
  EXPECT_EQ(FieldsAtPoint(d, 0).s22Deg, -10);
  EXPECT_EQ(FieldsAtPoint(d, 2).s22Deg, -20);
}

TEST(Touchstone, VersionTwoKeywordsAndDataOrder) {
  const std::string head =
      "[Version] 2.0\n"
      "# MHz S MA R 50\n"
      "[Number of Ports] 2\n";
  const std::string tail =
      "[Number of Frequencies] 2\n"
      "[Number of Noise Frequencies] 1\n"
      "[Reference] 75\n"
      "  75\n"
      "[Begin Information]\n"
      "anything 1 2 3 [Network Data]\n"
      "[End Information]\n"
      "[Network Data]\n"
      "100 0.8 -20 0.02 70 5 150 0.9 -10\n"
      "200 0.7 -40 0.03 65\n"
      "    4 140 0.85 -15\n"
      "[Begin Information]\n"
      "an information block may also follow the data\n"
      "[End Information]\n"
      "[Noise Data]\n"
      "100 1.5 0.4 30 0.2\n"
      "[End]\n"
      "this is not read\n";
  const TouchstoneData d12 = Parsed(head + "[Two-Port Data Order] 12_21\n" + tail);
  ASSERT_EQ(d12.records.size(), 2u);
  EXPECT_EQ(d12.version, 2);
  EXPECT_EQ(d12.referenceOhm, 75);
  EXPECT_EQ(FieldsAtPoint(d12, 0).s21Mag, 5);
  EXPECT_EQ(FieldsAtPoint(d12, 0).s12Mag, 0.02);
  EXPECT_EQ(FieldsAtPoint(d12, 1).s21Deg, 140);
  ASSERT_EQ(d12.noise.size(), 1u);
  EXPECT_EQ(d12.noise[0].nfMinDb, 1.5);

  // The same numbers in the order 21_12 swap S21 and S12.
  const TouchstoneData d21 = Parsed(head + "[two-port  data order] 21_12\n" + tail);
  EXPECT_EQ(FieldsAtPoint(d21, 0).s21Mag, 0.02);
  EXPECT_EQ(FieldsAtPoint(d21, 0).s12Mag, 5);

  // A triangle stands for both off-diagonal parameters.
  const TouchstoneData lower = Parsed(head +
                                      "[Two-Port Data Order] 21_12\n"
                                      "[Number of Frequencies] 1\n"
                                      "[Matrix Format] Lower\n"
                                      "[Network Data]\n"
                                      "100 0.8 -20 0.3 10 0.9 -10\n");
  EXPECT_EQ(FieldsAtPoint(lower, 0).s21Mag, 0.3);
  EXPECT_EQ(FieldsAtPoint(lower, 0).s12Mag, 0.3);
  EXPECT_EQ(FieldsAtPoint(lower, 0).s22Mag, 0.9);
}

TEST(Touchstone, RefusalsNameTheLine) {
  const struct {
    std::string text;
    int line;
    const char* message;
  } cases[] = {
      {"# MHz S MA\n100 1 2 3 4 5 6\n", 2, "Riga 2: attesi 9 numeri, trovati 7"},
      {"# MHz S MA\n100 1 2 3 4\n200 1 2 3 4 5 6 7 8\n", 2, "Riga 2: attesi 9 numeri, trovati 5"},
      {"# MHz S MA\n100 1 2 3 4 5 6 7 8 9\n", 2, "Riga 2: attesi 9 numeri, trovati 10"},
      {"# MHz\n100 1 2 3 4 5 6 7 8\n200 1 2 3 4 5 6 7 8\n150 1 2 3 4 5 6 7 8\n", 4,
       "Le frequenze devono crescere: riga 4"},
      {"# MHz\n100 1 2 3 4 5 6 7 8\n50 1 2 3 4\n40 1 2 3 4\n", 4,
       "Le frequenze dei dati di rumore devono crescere: riga 4"},
      {"!\n# MHz Z MA\n", 2, "Il file contiene parametri Z; servono parametri S (riga 2)"},
      {"# MHz S XY\n", 1, "Riga 1: opzione sconosciuta \"XY\""},
      {"# MHz S MA R 0\n", 1, "Riga 1: dopo R serve una resistenza di riferimento positiva"},
      {"# MHz\n100 1 2 3 4 5,0 6 7 8\n", 2, "Riga 2: \"5,0\" non è un numero"},
      {"# MHz\n100 1 2 3 4 nan 6 7 8\n", 2, "Riga 2: \"nan\" non è un numero"},
      {"# MHz\n100 1 2 3 4 1e999 6 7 8\n", 2, "Riga 2: \"1e999\" non è un numero"},
      {"# MHz\n-1 1 2 3 4 5 6 7 8\n", 2, "Riga 2: frequenza negativa"},
      {"# MHz\nabc 1 2 3 4 5 6 7 8\n", 2, "Riga 2: \"abc\" non è una frequenza"},
      {"# MHz DB\n100 3000 0 0 0 0 0 0 0\n", 2, "Riga 2: valore fuori misura"},
      {"# MHz MA\n100 0 0 -1e101 0 0 0 0 0\n", 2, "Riga 2: valore fuori misura"},
      {"# MHz RI\n100 0 0 0 0 1e200 1e200 0 0\n", 2, "Riga 2: valore fuori misura"},
      // A comment may follow a number without a blank; it ends the numbers.
      {"# MHz\n100 1 2 3 4 5 6 7 8 9!c\n", 2, "Riga 2: attesi 9 numeri, trovati 10"},
      {"# GHz\n0.1 1 2 3 4 5x!c 6 7 8\n", 2, "Riga 2: \"5x\" non è un numero"},
      {"! only a comment\n", 0, "Il file non contiene dati di rete"},
      {"[Number of Ports] 2\n", 1, "Riga 1: parola chiave [Number of Ports] in un file senza [Version] 2.0"},
      {"# MHz\n[Version] 2.0\n", 2, "Riga 2: [Version] deve essere la prima riga del file"},
      {"[Version] 3.0\n", 1, "Riga 1: versione 3.0 non gestita (servono 1 o 2.0)"},
      {"[Version] 2.0\n[Number of Ports] 4\n", 2, "Il file descrive 4 porte; servono file a due porte (riga 2)"},
      {"[Version] 2.0\n[Number of Ports] 2\n[Reference] 50 75\n", 3,
       "Riga 3: le porte hanno riferimenti diversi (50 e 75 ohm); servono riferimenti uguali"},
      {"[Version] 2.0\n[Number of Ports] 2\n[Reference] 50\n[Network Data]\n", 3,
       "Riga 3: [Reference] vuole 2 resistenze, trovate 1"},
      {"[Version] 2.0\n[Number of Ports] 2\n[Number of Frequencies] 1\n[Network Data]\n", 4,
       "Riga 4: manca [Two-Port Data Order] prima di [Network Data]"},
      {"[Version] 2.0\n[Number of Ports] 2\n[Two-Port Data Order] 12_21\n[Number of Frequencies] 2\n"
       "[Network Data]\n1 1 2 3 4 5 6 7 8\n",
       0, "Il file dichiara 2 frequenze ma ne contiene 1"},
      {"[Version] 2.0\n[Number of Ports] 2\n[Two-Port Data Order] 12_21\n[Number of Frequencies] 2\n"
       "[Network Data]\n1 1 2 3 4 5 6 7 8\n1 1 2 3 4 5 6 7 8\n",
       7, "Le frequenze devono crescere: riga 7"},
      {"[Version] 2.0\n[Number of Ports] 2\n1 1 2 3 4 5 6 7 8\n", 3, "Riga 3: dati prima di [Network Data]"},
      {"[Version] 2.0\n[Mixed-Mode Order] D2,1\n", 2, "Riga 2: parola chiave [Mixed-Mode Order] non gestita"},
      {"# MHz\n100 1 2 3 4 5 6 7 8\n# GHz\n", 0, ""},  // a later option line is ignored
  };
  for (const auto& c : cases) {
    if (!*c.message) {
      EXPECT_TRUE(std::holds_alternative<TouchstoneData>(ParseTouchstone(c.text))) << c.text;
      continue;
    }
    const TouchstoneError e = Refused(c.text);
    EXPECT_EQ(e.message, c.message) << c.text;
    EXPECT_EQ(e.line, c.line) << c.text;
  }
  EXPECT_EQ(DescribeError("bfp420.s2p", {14, "Riga 14: attesi 9 numeri, trovati 7"}),
            "bfp420.s2p: Riga 14: attesi 9 numeri, trovati 7");
}

TEST(Touchstone, FieldsBetweenFileFrequenciesAndOutsideTheRange) {
  const TouchstoneData d = Parsed(
      "# MHz S RI\n"
      "100 0 1 2 0 0 0 1 0\n"
      "200 0 3 4 0 0 0 -1 0\n");
  const auto mid = FieldsAtFrequency(d, 150);
  ASSERT_TRUE(std::holds_alternative<SParamFields>(mid));
  // Real and imaginary parts are interpolated, not magnitude and angle.
  ExpectFields(std::get<SParamFields>(mid), {150, 50, 2, 90, 3, 0, 0, 0, 0, 0});
  // At a file frequency the file's own values.
  EXPECT_EQ(std::get<SParamFields>(FieldsAtFrequency(d, 200)).s21Mag, 4);
  const auto outside = FieldsAtFrequency(d, 250.5);
  ASSERT_TRUE(std::holds_alternative<std::string>(outside));
  EXPECT_EQ(std::get<std::string>(outside),
            "La frequenza 250.5 MHz è fuori dall'intervallo del file (100 – 200 MHz)");
  EXPECT_TRUE(std::holds_alternative<std::string>(FieldsAtFrequency(d, NAN)));

  const InterpolatedPoint in = InterpolateAt(ComplexPoints(d), 125);
  EXPECT_TRUE(in.inRange);
  EXPECT_EQ(in.point.s11, std::complex<double>(0, 1.5));
  const InterpolatedPoint below = InterpolateAt(ComplexPoints(d), 50);
  EXPECT_FALSE(below.inRange);
  EXPECT_EQ(below.point.fMHz, 50);
  EXPECT_EQ(below.point.s21, std::complex<double>(2, 0));
  EXPECT_FALSE(InterpolateAt(ComplexPoints(d), 300).inRange);
}

TEST(Touchstone, FileReadInChunksMatchesTheText) {
  // A mark at the start, and a CR LF cut by the end of the first 1 MiB chunk:
  // a cut counted as two line ends would move the line of the last error.
  std::string text = "\xEF\xBB\xBF# MHz S MA\r\n";
  int lines = 1;
  const auto addRecords = [&](std::size_t upTo) {
    while (text.size() < upTo) text += std::to_string(++lines) + " 0.5 10 2 20 0.1 30 0.4 40\r\n";
  };
  addRecords((1u << 20) - 100);
  const std::size_t filler = (1u << 20) - 2 - text.size();
  text += '!';
  text += std::string(filler, 'x');
  text += "\r\n";
  ++lines;
  addRecords(3u << 20);
  text += "x\r\n";
  const std::string lastError = "Riga " + std::to_string(lines + 1) + ": \"x\" non è una frequenza";
  const auto path = std::filesystem::temp_directory_path() / "bjt_touchstone_chunks.s2p";
  std::ofstream(path, std::ios::binary) << text;
  double last = 0;
  const auto fromFile = ReadTouchstoneFile(path.string(), [&](double f) {
    EXPECT_GE(f, last);
    last = f;
    return true;
  });
  EXPECT_EQ(std::get<TouchstoneError>(fromFile).message, lastError);
  EXPECT_EQ(Refused(text).message, lastError);
  EXPECT_GT(last, 0.9);

  const auto cancelled = ReadTouchstoneFile(path.string(), [](double) { return false; });
  EXPECT_EQ(std::get<TouchstoneError>(cancelled).message, "Lettura annullata");
  std::filesystem::remove(path);
  EXPECT_EQ(std::get<TouchstoneError>(ReadTouchstoneFile(path.string())).message, "Il file non esiste");
}
