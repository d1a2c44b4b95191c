// The low-noise design against the finished amplifier rebuilt here from its
// six element values: the pair's Y written out, the networks' impedances
// from nH and pF, the source and load they present, GT, GA and the output
// match from the Y-parameter formulas, NF from the classic formula.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <variant>

#include "model/arithmetic.h"
#include "model/quantities.h"
#include "noise/low_noise_design.h"
#include "noise/noise_cascade.h"
#include "noise/noise_circles.h"
#include "session/session.h"
#include "session/session_batch.h"
#include "text/utf16.h"
#include "touchstone/fields.h"
#include "touchstone/touchstone.h"

namespace {


TouchstoneData ReadData(const char* name) {
  TouchstoneResult r = ReadTouchstoneFile(std::string(BJT_TEST_DATA_DIR "/") + name);
  EXPECT_TRUE(std::holds_alternative<TouchstoneData>(r)) << name;
  return std::get<TouchstoneData>(std::move(r));
}

// The design state after Calculate, as the windows make it from the file's
// values at fMHz with the feedback typed.
struct Case {
  const char* file;
  double fMHz;
  int option;            // 1 Rf, 2 Rf//Lf, 3 Rf//Cf
  const char* rfKohm;
  const char* reactive;  // Lf [uH] or Cf [pF]
};

struct Prepared {
  DesignState state;
  NoiseParameters noise;
};

Prepared Prepare(const Case& c) {
  const TouchstoneData data = ReadData(c.file);
  SessionInput input;
  input.fields = TouchstoneFieldTexts(std::get<SParamFields>(FieldsAtFrequency(data, c.fMHz)));
  input.fields.push_back({ControlOf(Quantity::RfKohm), Utf8ToUtf16(c.rfKohm)});
  if (c.option == 2) input.fields.push_back({ControlOf(Quantity::LfMicroH), Utf8ToUtf16(c.reactive)});
  if (c.option == 3) input.fields.push_back({ControlOf(Quantity::CfPicoF), Utf8ToUtf16(c.reactive)});
  input.feedbackOption = c.option;
  const SessionResult session = RunSession(input);
  EXPECT_TRUE(session.designed) << c.file << " " << c.fMHz;
  const std::optional<NoiseParameters> noise = FileNoiseAt(data, c.fMHz);
  EXPECT_TRUE(noise.has_value());
  return {session.state, *noise};
}

// 2×2 complex arithmetic of our own.
struct M {
  Cx a, b, c, d;
};
M Mul(const M& x, const M& y) {
  return {x.a * y.a + x.b * y.c, x.a * y.b + x.b * y.d, x.c * y.a + x.d * y.c, x.c * y.b + x.d * y.d};
}
M Inv(const M& x) {
  const Cx det = x.a * x.d - x.b * x.c;
  return {x.d / det, -x.b / det, -x.c / det, x.a / det};
}

// Y = (1/r0)·(I − S)·(I + S)⁻¹, then the feedback across.
M PairY(const DesignState& s) {
  const Cx s11 = std::polar(s.S11mag, s.S11ang), s12 = std::polar(s.S12mag, s.S12ang);
  const Cx s21 = std::polar(s.S21mag, s.S21ang), s22 = std::polar(s.S22mag, s.S22ang);
  const M y = Mul(M{1.0 - s11, -s12, -s21, 1.0 - s22}, Inv(M{1.0 + s11, s12, s21, 1.0 + s22}));
  const Cx yf{s.Gf, s.Bf};
  return {y.a / s.Ro + yf, y.b / s.Ro - yf, y.c / s.Ro - yf, y.d / s.Ro + yf};
}

Cx Inductor(double nH, double fMHz) { return {0.0, 2 * kPi * fMHz * 1e6 * nH * 1e-9}; }
Cx Capacitor(double pF, double fMHz) { return {0.0, -1.0 / (2 * kPi * fMHz * 1e6 * pF * 1e-12)}; }
Cx Parallel(Cx a, Cx b) { return a * b / (a + b); }

// What a T network presents at its inner arm when its outer arm sees r.
Cx Presented(const TeeNetwork& n, double r, double fMHz) {
  const bool lcl = n.kind == NetworkKind::LCL;
  const Cx outer = lcl ? Inductor(n.outer, fMHz) : Capacitor(n.outer, fMHz);
  const Cx shunt = lcl ? Capacitor(n.shunt, fMHz) : Inductor(n.shunt, fMHz);
  const Cx inner = lcl ? Inductor(n.inner, fMHz) : Capacitor(n.inner, fMHz);
  return Parallel(r + outer, shunt) + inner;
}

struct Rebuilt {
  Cx zs, zl, zout, zin;
  double gtDb, gaDb, nfDb, outputReturnLossDb;
};

Rebuilt Rebuild(const LowNoiseDesign& d, const DesignState& state) {
  const AmplifierDesign& a = d.design;
  const M y = PairY(state);
  Rebuilt r;
  r.zs = Presented(a.input, a.RE, a.fMHz);
  r.zl = Presented(a.output, a.RL, a.fMHz);
  const Cx ys = 1.0 / r.zs, yl = 1.0 / r.zl;
  const Cx yout = y.d - y.b * y.c / (y.a + ys);
  r.zout = 1.0 / yout;
  r.zin = 1.0 / (y.a - y.b * y.c / (y.d + yl));
  // Lossless networks pass all power: the amplifier's GT is the pair's with
  // the terminations the networks present.
  const double gt = 4 * ys.real() * yl.real() * std::norm(y.c) / std::norm((y.a + ys) * (y.d + yl) - y.b * y.c);
  const double ga = ys.real() * std::norm(y.c) / (std::norm(y.a + ys) * yout.real());
  r.gtDb = 10 * std::log10(gt);
  r.gaDb = 10 * std::log10(ga);
  const Cx yopt = (1.0 - d.pair.gammaOpt) / (1.0 + d.pair.gammaOpt) / state.Ro;
  r.nfDb = 10 * std::log10(d.pair.fMin + d.pair.rnOhm / ys.real() * std::norm(ys - yopt));
  r.outputReturnLossDb = -20 * std::log10(std::abs((r.zout - std::conj(r.zl)) / (r.zout + r.zl)));
  return r;
}

const Case kCases[] = {
    {"bfr_maker_ma_mhz.s2p", 900, 1, "1", ""},
    {"bfr_maker_ma_mhz.s2p", 1000, 2, "0.5", "0.5"},
    {"maker_db_ghz_noise.s2p", 1800, 1, "2.2", ""},
    {"maker_db_ghz_noise.s2p", 1200, 3, "0.5", "0.1"},
    {"v2_data.s2p", 1000, 1, "1", ""},
};

LowNoiseDesign Designed(const Prepared& p, const LowNoiseTarget& t) {
  auto r = DesignLowNoise(p.state, p.noise, t);
  if (auto* message = std::get_if<std::string>(&r)) ADD_FAILURE() << *message;
  return std::get<LowNoiseDesign>(std::move(r));
}

TEST(LowNoiseDesign, LeastNoiseGivesNFminWithTheOutputMatched) {
  for (const Case& c : kCases) {
    SCOPED_TRACE(std::string(c.file) + " at " + std::to_string(c.fMHz));
    const Prepared p = Prepare(c);
    const LowNoiseDesign d = Designed(p, {});
    const Rebuilt r = Rebuild(d, p.state);
    EXPECT_NEAR(r.nfDb, d.nfMinPairDb, 1e-9);
    EXPECT_NEAR(d.nfDb, d.nfMinPairDb, 1e-9);
    EXPECT_NEAR(d.nfAboveMinDb, 0, 1e-9);
    EXPECT_GT(r.outputReturnLossDb, 100);
    EXPECT_GT(d.outputReturnLossDb, 100);
    EXPECT_NEAR(r.gtDb, r.gaDb, 1e-9);
    EXPECT_NEAR(d.gtDb, r.gaDb, 1e-9);
    EXPECT_NEAR(d.gaDb, r.gaDb, 1e-9);
    EXPECT_NEAR(std::abs(d.zs - r.zs), 0, 1e-9 * std::abs(r.zs));
    EXPECT_EQ(std::conj(d.design.zi), d.zs);
    EXPECT_EQ(std::conj(d.design.zo), d.zl);
    // A noise match is an input mismatch, shown as it is: |S11| of the
    // amplifier is the mismatch between Zs and the pair's input.
    const double s11 = std::abs((r.zin - std::conj(r.zs)) / (r.zin + r.zs));
    EXPECT_NEAR(d.inputReturnLossDb, -20 * std::log10(s11), 1e-6);
    EXPECT_NEAR(d.inputVswr, (1 + s11) / (1 - s11), 1e-6);
    EXPECT_GT(d.mu, 1);
    EXPECT_EQ(d.design.PoPi, d.design.state.PoPi);
  }
}

TEST(LowNoiseDesign, AFewDecibelsAboveTheMinimumBuyTheMostGainOnTheCircle) {
  for (const Case& c : kCases) {
    SCOPED_TRACE(std::string(c.file) + " at " + std::to_string(c.fMHz));
    const Prepared p = Prepare(c);
    const LowNoiseDesign least = Designed(p, {});
    for (double delta : {0.5, 1.0}) {
      LowNoiseTarget t;
      t.goal = LowNoiseGoal::NoiseAboveMinimum;
      t.deltaDb = delta;
      const LowNoiseDesign d = Designed(p, t);
      const Rebuilt r = Rebuild(d, p.state);
      EXPECT_NEAR(r.nfDb, d.nfMinPairDb + delta, 1e-7);
      EXPECT_NEAR(d.nfAboveMinDb, delta, 1e-7);
      EXPECT_GT(r.outputReturnLossDb, 100);
      EXPECT_NEAR(d.gtDb, r.gaDb, 1e-9);
      EXPECT_GT(d.gtDb, least.gtDb);
      // No point of the circle gives more.
      const std::optional<Circle> circle = NoiseCircle(d.pair, d.pair.fMin * std::pow(10.0, delta / 10));
      ASSERT_TRUE(circle);
      for (int k = 0; k < 3600; ++k) {
        const Cx g = circle->centre + std::polar(circle->radius, 2 * kPi * k / 3600);
        const std::optional<SourceGain> ga = AvailableGain(*WithFeedback(d.design.transistor, d.design.Ro,
                                                                        {p.state.Gf, p.state.Bf}),
                                                           g);
        ASSERT_TRUE(ga);
        EXPECT_LE(10 * std::log10(ga->ga), r.gaDb + 1e-9) << k;
      }
    }
  }
}

TEST(LowNoiseDesign, AChosenPointIsWhereTheSourceIs) {
  const Prepared p = Prepare(kCases[0]);
  const LowNoiseTarget gamma = std::get<LowNoiseTarget>(ParseLowNoiseTarget("gamma:0.3,60"));
  const LowNoiseDesign d = Designed(p, gamma);
  EXPECT_NEAR(std::abs(d.gammaS - std::polar(0.3, kPi / 3)), 0, 1e-12);
  const Rebuilt r = Rebuild(d, p.state);
  EXPECT_NEAR(std::abs(r.zs - d.zs), 0, 1e-9 * std::abs(d.zs));
  EXPECT_GT(r.outputReturnLossDb, 100);
  EXPECT_GE(d.nfDb, d.nfMinPairDb);

  const LowNoiseTarget zs = std::get<LowNoiseTarget>(ParseLowNoiseTarget("zs:30,-12.5"));
  const LowNoiseDesign dz = Designed(p, zs);
  EXPECT_NEAR(std::abs(Rebuild(dz, p.state).zs - Cx{30, -12.5}), 0, 1e-9);
  // −Im Zs > 0 in place of ImZi: a C-L-C input, as Form4 and Form5 design.
  EXPECT_EQ(dz.design.kinds.input, NetworkKind::CLC);
}

// A transistor that oscillates with most passive terminations, without
// feedback.
DesignState UnstableState() {
  DesignState s;
  s.S11mag = 0.95, s.S11ang = -60 * kPi / 180;
  s.S21mag = 6.0, s.S21ang = 100 * kPi / 180;
  s.S12mag = 0.25, s.S12ang = 40 * kPi / 180;
  s.S22mag = 0.9, s.S22ang = -40 * kPi / 180;
  s.Ro = s.RE = s.RL = 50;
  s.fMHz = 900;
  return s;
}

TEST(LowNoiseDesign, UnstableTerminationsAreRefusedNamingWhich) {
  const DesignState s = UnstableState();
  const SMatrix sm{std::polar(s.S11mag, s.S11ang), std::polar(s.S12mag, s.S12ang),
                   std::polar(s.S21mag, s.S21ang), std::polar(s.S22mag, s.S22ang)};
  // Scan the chart for a source of each kind of refusal.
  bool sourceSeen = false, loadSeen = false;
  for (int i = 1; i < 40 && !(sourceSeen && loadSeen); ++i) {
    for (int k = 0; k < 72; ++k) {
      const Cx g = std::polar(i / 40.0, 2 * kPi * k / 72);
      const Cx gout = *GammaOut(sm, g);
      const bool sourceUnstable = std::abs(gout) >= 1;
      const bool loadUnstable = !sourceUnstable && std::abs(*GammaIn(sm, std::conj(gout))) >= 1;
      if (!sourceUnstable && !loadUnstable) continue;
      LowNoiseTarget t;
      t.goal = LowNoiseGoal::GammaPoint;
      t.gammaMag = std::abs(g);
      t.gammaDeg = std::arg(g) * 180 / kPi;
      const NoiseParameters n = *NoiseFromDb(1.0, g, 10, 50);
      auto r = DesignLowNoise(s, n, t);
      ASSERT_TRUE(std::holds_alternative<std::string>(r));
      const std::string& message = std::get<std::string>(r);
      if (sourceUnstable) {
        EXPECT_NE(message.find("Γs cade nella regione instabile"), std::string::npos) << message;
        sourceSeen = true;
      } else {
        EXPECT_NE(message.find("ΓL = conj(Γout) cade nella regione instabile"), std::string::npos) << message;
        loadSeen = true;
      }
      // Least noise at the same Γopt is refused the same way.
      EXPECT_EQ(std::get<std::string>(DesignLowNoise(s, n, {})), message);
    }
  }
  EXPECT_TRUE(sourceSeen);
  EXPECT_TRUE(loadSeen);
}

TEST(LowNoiseDesign, TargetWordsReadBackTheSame) {
  for (const char* words : {"min", "+0.5", "+1.25", "+0", "gamma:0.3,45", "gamma:0,-170.5", "zs:25,-10", "zs:12.5,40"}) {
    auto t = ParseLowNoiseTarget(words);
    ASSERT_TRUE(std::holds_alternative<LowNoiseTarget>(t)) << words;
    EXPECT_EQ(LowNoiseTargetText(std::get<LowNoiseTarget>(t)), words);
  }
  for (const char* bad : {"", "minimo", "+", "+-1", "+x", "0.5", "gamma:0.3", "gamma:1,0", "gamma:-0.1,0",
                          "gamma:0.3,45,1", "zs:0,10", "zs:-5,1", "zs:5;1", "gamma:nan,0", "+inf"})
    EXPECT_TRUE(std::holds_alternative<std::string>(ParseLowNoiseTarget(bad))) << bad;
  EXPECT_EQ(LowNoiseTargetCaption(std::get<LowNoiseTarget>(ParseLowNoiseTarget("+0.5"))),
            "rumore a +0.5 dB dal minimo, massimo guadagno");
  EXPECT_EQ(LowNoiseTargetCaption(std::get<LowNoiseTarget>(ParseLowNoiseTarget("zs:25,-10"))),
            "punto scelto: Zs = 25 − j10 ohm");
}

}  // namespace
