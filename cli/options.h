#pragma once
// The command line of bjt-design.
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
  std::optional<LowNoiseTarget> lowNoise;  // --low-noise: the low-noise design too
};

struct UsageError {
  std::string message;  // Italian
};

std::variant<CliOptions, UsageError> ParseArguments(const std::vector<std::string>& args);
std::string HelpText();
