#pragma once
// What the solver is given for a file frequency and a feedback option, as the
// input window's Calculate forms it; shared by the solver's tests and
// benchmarks.
#include <filesystem>
#include <string>
#include <variant>
#include <vector>

#include "model/arithmetic.h"
#include "model/feedback.h"
#include "model/s_to_y.h"
#include "touchstone/fields.h"
#include "touchstone/touchstone.h"

// Yf as the input window's feedback options form it from Rf (kohm), Lf (uH)
// and Cf (pF); 0 leaves the element out.
struct Feedback {
  const char* name;
  double rfKohm, lfMicroH, cfPicoF;
};
inline void ApplyFeedback(DesignState& s, const Feedback& f) {
  const FeedbackChoice choice = f.lfMicroH > 0 ? FeedbackChoice::RfLf
                                : f.cfPicoF > 0 ? FeedbackChoice::RfCf
                                : f.rfKohm > 0  ? FeedbackChoice::Rf
                                                : FeedbackChoice::None;
  const FeedbackYf yf = FeedbackOf(choice, s.fMHz, f.rfKohm, f.lfMicroH, f.cfPicoF, "ApplyFeedback");
  s.Gf = yf.Gf;
  s.Bf = yf.Bf;
}
inline constexpr Feedback kFeedbacks[] = {
    {"none", 0, 0, 0},          {"Rf 0.5k", 0.5, 0, 0},     {"Rf 5k", 5, 0, 0},
    {"Rf 50k", 50, 0, 0},       {"Rf 5k//Lf", 5, 10, 0},    {"Rf 1k//Lf", 1, 0.05, 0},
    {"Rf 5k//Cf", 5, 0, 1},     {"Rf 0.5k//Cf", 0.5, 0, 20},
};

// The chooser's field texts read back exactly these values, so this is the
// state Calculate has after ConvertSToY; Yf still to set.
inline DesignState StateOfFields(DesignState s, const SParamFields& f) {
  s.S11mag = f.s11Mag, s.S11ang = DegreesToRadians(f.s11Deg);
  s.S12mag = f.s12Mag, s.S12ang = DegreesToRadians(f.s12Deg);
  s.S21mag = f.s21Mag, s.S21ang = DegreesToRadians(f.s21Deg);
  s.S22mag = f.s22Mag, s.S22ang = DegreesToRadians(f.s22Deg);
  s.Ro = f.ro;
  s.fMHz = f.fMHz;
  ConvertSToY(s);
  return s;
}

// Every sample file that reads (one is cut short on purpose).
inline std::vector<TouchstoneData> SampleFiles(const std::filesystem::path& dir) {
  std::vector<TouchstoneData> files;
  for (const auto& entry : std::filesystem::directory_iterator(dir))
    if (entry.path().extension() == ".s2p") {
      TouchstoneResult read = ReadTouchstoneFile(entry.path().string());
      if (auto* data = std::get_if<TouchstoneData>(&read)) files.push_back(std::move(*data));
    }
  return files;
}
