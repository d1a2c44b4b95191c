#pragma once
// Project files (.bjtp): the input window's fifteen texts exactly as typed,
// the feedback option and where the S-parameters came from, as JSON:
//   {"format": "adattamento-bjt", "version": 1, "fields": {...},
//    "feedback": "Rf" | "Rf//Lf" | "Rf//Cf" | "nessuna" | null,
//    "touchstone": {"path": "...", "fMHz": 2140},   (touchstone optional)
//    "noise": {"nfMinDb": 0.9, "gammaOptMag": 0.3, "gammaOptDeg": 45, "rnOhm": 12},
//    "lowNoise": "+0.5"}   (the low-noise design's target)
// Version 2 added "noise" (typed noise data) and "lowNoise"; a file without
// either is written as version 1, so a program that reads only version 1
// still opens it.
#include <map>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <variant>

#include "model/quantities.h"

inline constexpr const char* kProjectFormat = "adattamento-bjt";
inline constexpr int kProjectVersion = 2;
inline constexpr const char* kProjectExtension = ".bjtp";

// The project keys and the input window's controls, from the table of its
// quantities.
using ProjectFieldKey = QuantitySpec;
std::span<const ProjectFieldKey> ProjectFieldKeys();
// The control of a key ("s11_mag" -> "Text1"), or nullptr for an unknown key.
const char* ControlOfFieldKey(std::string_view key);

using FeedbackOption = FeedbackOptionSpec;
std::span<const FeedbackOption> FeedbackOptions();
const char* ControlOfFeedback(std::string_view name);

struct TouchstoneRef {
  std::string path;
  double fMHz = 0;
};

// Noise data typed by hand at the design frequency: NFmin [dB], |Γopt|, the
// angle of Γopt [°], Rn [ohm]; they override a file's noise block.
struct ProjectNoise {
  double nfMinDb = 0, gammaOptMag = 0, gammaOptDeg = 0, rnOhm = 0;
};

struct Project {
  // Key -> the field's text as typed. A key absent here was absent from the
  // file: the window keeps its text for it.
  std::map<std::string, std::u16string> fields;
  std::optional<std::string> feedback;  // one of FeedbackOptions()' names, or none
  std::optional<TouchstoneRef> touchstone;
  std::optional<ProjectNoise> noise;  // since version 2
  // The low-noise design's target in bjt-design's words ("min", "+0.5",
  // "gamma:0.3,45", "zs:25,-10"), checked where it is used.
  std::optional<std::string> lowNoiseTarget;
};

// Refuses (with an Italian message) malformed JSON, a foreign format, a newer
// version, an unknown field key, a field that is not a string, an unknown
// feedback name.
std::variant<Project, std::string> ParseProject(std::string_view json);
// The file's Touchstone path comes back resolved against the project's folder
// (project/linked_file.h).
std::variant<Project, std::string> ReadProjectFile(const std::string& path);

struct ProjectError {
  std::string message;  // Italian, ready to show
};

// The JSON text. A text holding a lone surrogate (which UTF-8 JSON cannot
// carry unchanged) or an unknown key or feedback name is refused rather than
// saved altered.
std::variant<std::string, ProjectError> SerializeProject(const Project& project);
// Writes atomically (project/atomic_file.h); an Italian message on failure.
// The Touchstone path is stored relative to the project's folder when the
// file lies in it or below it.
std::optional<std::string> WriteProjectFile(const std::string& path, const Project& project);
