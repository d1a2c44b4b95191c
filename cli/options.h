#pragma once
// The command line of bjt-design.
#include <array>
#include <optional>
#include <string>
#include <utility>
#include <variant>
#include <vector>

#include "noise/low_noise_design.h"

struct CliOptions {
  std::optional<std::string> project;
  std::optional<std::string> touchstone;
  std::optional<double> freqMHz;
  std::vector<std::pair<std::string, std::string>> fields;  // project key, text
  std::optional<std::string> feedback;                      // "Rf", "Rf//Lf", ...
  bool json = false, sweep = false, help = false;
  std::optional<double> fromMHz, toMHz;
  std::optional<int> points;
  std::optional<std::string> out, exportS2p, exportSpice;
  int jobs = 0;  // 0: one per core
  // --noise NFMIN_DB,GOPT_MAG,GOPT_DEG,RN_OHM: noise data at the design
  // frequency, over a file's noise block and a project's.
  std::optional<std::array<double, 4>> noise;
  std::optional<double> inductorQ, capacitorQ;  // --q-l, --q-c
  // --explore-feedback FROM:TO:N, in the swept field's unit; --explore-field Rf|Lf|Cf
  struct ExploreRange {
    double from = 0, to = 0;
    int count = 0;
  };
  std::optional<ExploreRange> explore;
  std::string exploreField = "Rf";
  std::optional<LowNoiseTarget> lowNoise;  // --low-noise: the low-noise design too
};

struct UsageError {
  std::string message;  // Italian
};

std::variant<CliOptions, UsageError> ParseArguments(const std::vector<std::string>& args);
std::string HelpText();
