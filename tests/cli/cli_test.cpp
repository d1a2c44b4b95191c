// bjt-design run as a user runs it: status codes, agreement with the real
// windows, sweeps on any number of threads, and its netlist under ngspice.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <map>
#include <nlohmann/json.hpp>
#include <sstream>
#include <set>
#include <string>
#include <vector>

namespace {

using nlohmann::json;

struct Outcome {
  int status = -1;
  std::string out, err;
};

std::string Quoted(const std::string& arg) {
  std::string q = "'";
  for (char c : arg) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return q + "'";
}

std::string Slurp(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

// Each test process has its own files: CTest runs several at once.
std::string TempPath(const std::string& name) {
  return ::testing::TempDir() + "bjt_cli_" + std::to_string(::getpid()) + "_" + name;
}

void WriteText(const std::string& path, const std::string& text) {
  std::ofstream(path, std::ios::binary) << text;
}

Outcome RunCommand(const std::string& command, const std::string& input = "") {
  const std::string errPath = TempPath("stderr.txt");
  std::string line = command + " 2>" + Quoted(errPath);
  if (!input.empty()) {
    WriteText(TempPath("stdin.txt"), input);
    line += " <" + Quoted(TempPath("stdin.txt"));
  }
  Outcome r;
  FILE* pipe = popen(line.c_str(), "r");
  if (!pipe) return r;
  char buf[65536];
  for (size_t n; (n = fread(buf, 1, sizeof buf, pipe)) > 0;) r.out.append(buf, n);
  const int raw = pclose(pipe);
  r.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  r.err = Slurp(errPath);
  return r;
}

Outcome Design(const std::vector<std::string>& args) {
  std::string command = BJT_DESIGN;
  for (const std::string& a : args) command += " " + Quoted(a);
  return RunCommand(command);
}

// The stored transistor at three frequencies around 500 MHz.
const char* kTransistorFile =
    "! test transistor\n# MHz S MA R 50\n"
    "400 0.08 -140 6.5 88 0.05 72 0.6 -17\n"
    "500 0.06 -146.3 6.02 84 0.06 70.7 0.57 -19.2\n"
    "600 0.05 -150 5.6 80 0.07 69 0.55 -21\n";

TEST(BjtDesign, StatusTellsDesignRefusalAndBadInput) {
  const std::string s2p = TempPath("t.s2p");
  WriteText(s2p, kTransistorFile);
  const std::string badProject = TempPath("bad.bjtp");
  WriteText(badProject, "{\"format\": \"adattamento-bjt\", \"version\": 1, \"fields\": {\"s11_mag\": ");
  struct Case {
    std::vector<std::string> args;
    int status;
  } cases[] = {
      {{"--feedback", "Rf"}, 0},
      {{"--touchstone", s2p, "--freq", "450", "--feedback", "Rf"}, 0},
      {{"--field", "s11_mag="}, 1},                     // the empty-field message
      {{"--feedback", "Rf", "--field", "rf_kohm=0"}, 1},  // a fault: Rf = 0
      {{"--feedback", "Rf", "--field", "re=0"}, 1},       // a window opens, its compute fails
      {{"--help"}, 0},
      {{TempPath("missing.bjtp")}, 2},
      {{badProject}, 2},
      {{"--field", "s99_mag=1"}, 2},
      {{"--feedback", "Rf//X"}, 2},
      {{"--touchstone", s2p, "--freq", "700"}, 2},       // outside the file
      {{"--touchstone", TempPath("missing.s2p"), "--freq", "500"}, 2},
      {{"--freq", "abc"}, 2},
      {{"--sweep"}, 2},
      {{"--bogus"}, 2},
  };
  for (const Case& c : cases) {
    std::string line;
    for (const std::string& a : c.args) line += a + " ";
    const Outcome r = Design(c.args);
    EXPECT_EQ(r.status, c.status) << line << "\n" << r.err;
    // A usage error or unreadable file says why, on standard error only.
    if (c.status == 2) {
      EXPECT_NE(r.err.find("bjt-design: "), std::string::npos) << line;
      EXPECT_EQ(r.out, "") << line;
    }
  }
}

TEST(BjtDesign, LaterSourceWinsAndFieldsKeepStartTexts) {
  const std::string project = TempPath("p.bjtp");
  WriteText(project,
            R"({"format": "adattamento-bjt", "version": 1, "fields": {"re": "75", "s11_mag": "0.2"},
                "feedback": "Rf//Cf"})");
  const std::string s2p = TempPath("w.s2p");
  WriteText(s2p, kTransistorFile);
  const Outcome r = Design({project, "--touchstone", s2p, "--freq", "500", "--field", "s21_mag=6.5", "--json"});
  ASSERT_EQ(r.status, 0) << r.err;
  const json j = json::parse(r.out);
  EXPECT_EQ(j["fields"]["Text10"], "75");      // project
  EXPECT_EQ(j["fields"]["Text1"], "0.06");     // the file over the project
  EXPECT_EQ(j["fields"]["Text3"], "6.5");      // --field over the file
  EXPECT_EQ(j["fields"]["Text12"], "50");      // nowhere: the start text
  EXPECT_EQ(j["fields"]["Text15"], "1");
  EXPECT_EQ(j["feedback"], "Rf//Cf");
  EXPECT_GT(j["state"]["Bf"].get<double>(), 0);  // the Cf option was applied
}

#ifdef BJT_SCENARIO_RUNNER
// The same texts and clicks through the real windows.
std::string ScenarioOf(const std::vector<std::pair<std::string, std::string>>& fields, int option) {
  std::string s;
  for (const auto& [control, text] : fields) s += "set Form1." + control + " " + text + "\n";
  if (option) s += "click Form1.Option" + std::to_string(option) + "\n";
  return s + "click Form1.Command1\ndump\n";
}

const char* kProjectKeys[16] = {nullptr,  "s11_mag", "s11_deg", "s21_mag", "s21_deg", "s12_mag",
                                "s12_deg", "s22_mag", "s22_deg", "ro",      "re",      "rf_kohm",
                                "rl",      "lf_uh",   "f_mhz",   "cf_pf"};

TEST(BjtDesign, EveryNumberIsTheOneTheWindowsShow) {
  using Fields = std::vector<std::pair<std::string, std::string>>;
  const Fields testValues = {{"Text1", "0.51"}, {"Text2", "-44.8"}, {"Text3", "24.51"},
                             {"Text4", "142.5"}, {"Text5", "0.01"}, {"Text6", "74.5"},
                             {"Text7", "0.86"},  {"Text8", "-16.7"}, {"Text14", "100"}};
  struct Session {
    Fields fields;
    int option;
  } sessions[] = {
      {testValues, 1},                                                      // Form2
      {{{"Text1", "0.51"}, {"Text8", "40"}, {"Text7", "0.3"}}, 1},          // Form3
      {{{"Text8", "40"}}, 3},                                               // Form4, Rf // Cf
      {{{"Text8", "40"}}, 4},                                               // Form4, no feedback
      {{{"Text13", "10"}}, 2},                                              // Form5, Rf // Lf
      {testValues, 0},                                                      // refused: no match
      {{{"Text11", "0.3"}, {"Text10", "1e-3"}, {"Text12", "3e4"}}, 1},
  };
  std::set<std::string> windows;
  for (const Session& s : sessions) {
    std::vector<std::string> args = {"--json"};
    for (const auto& [control, text] : s.fields)
      args.push_back("--field"), args.push_back(kProjectKeys[std::stoi(control.substr(4))] + std::string("=") + text);
    const char* options[] = {"", "Rf", "Rf//Lf", "Rf//Cf", "nessuna"};
    if (s.option) args.push_back("--feedback"), args.push_back(options[s.option]);
    const Outcome cli = Design(args);
    ASSERT_NE(cli.status, 2) << cli.err;
    const json mine = json::parse(cli.out);

    std::string script = ScenarioOf(s.fields, s.option);
    for (const json& d : mine["designs"]) {
      const std::string w = d["window"];
      script += "click " + w + ".Command1\nclick " + w + ".Command2\ndump\n";
    }
    const Outcome real = RunCommand(std::string(BJT_SCENARIO_RUNNER) + " -", script);
    ASSERT_EQ(real.status, 0) << real.err;
    std::vector<json> dumps;
    std::istringstream lines(real.out);
    for (std::string line; std::getline(lines, line);) dumps.push_back(json::parse(line));
    ASSERT_EQ(dumps.size(), 1 + mine["designs"].size());

    // dump() writes each double to the bit, -0 included.
    EXPECT_EQ(mine["state"].dump(), dumps[0]["state"].dump());
    json messages = dumps[0]["messages"];
    std::vector<std::string> opened;
    for (auto& [name, window] : dumps[0]["windows"].items())
      if (name != "Form1") opened.push_back(name);
    EXPECT_EQ(mine["windows"], json(opened));
    for (size_t i = 0; i < mine["designs"].size(); ++i) {
      const json& d = mine["designs"][i];
      const json& shown = dumps[i + 1];
      windows.insert(d["window"].get<std::string>());
      EXPECT_EQ(d["state"].dump(), shown["state"].dump()) << d["window"];
      EXPECT_EQ(d["messages"], shown["messages"]);
      for (const json& m : shown["messages"]) messages.push_back(m);
      const json& controls = shown["windows"][d["window"].get<std::string>()]["controls"];
      ASSERT_FALSE(d["values"].empty());
      for (auto& [control, text] : d["values"].items())
        EXPECT_EQ(text, controls[control]["text"]) << d["window"] << "." << control;
    }
    EXPECT_EQ(mine["messages"], messages);
  }
  EXPECT_EQ(windows, (std::set<std::string>{"Form2", "Form3", "Form4", "Form5"}));
}
#endif

TEST(BjtDesign, SweepIsTheSameOnOneOrTwoThreads) {
  const std::string s2p = TempPath("sweep.s2p");
  WriteText(s2p, kTransistorFile);
  const std::vector<std::string> base = {"--touchstone", s2p, "--sweep", "--from", "400", "--to",
                                         "600", "--points", "9", "--feedback", "Rf"};
  auto with = [&](std::vector<std::string> extra) {
    std::vector<std::string> args = base;
    args.insert(args.end(), extra.begin(), extra.end());
    return Design(args);
  };
  const Outcome one = with({"--jobs", "1"}), two = with({"--jobs", "2"});
  ASSERT_EQ(one.status, 0) << one.err;
  EXPECT_EQ(one.out, two.out);
  std::istringstream lines(one.out);
  std::vector<std::string> rows;
  for (std::string line; std::getline(lines, line);) rows.push_back(line);
  ASSERT_EQ(rows.size(), 10u);  // the header and one line a frequency
  const size_t columns = std::count(rows[0].begin(), rows[0].end(), ',');
  for (const std::string& row : rows) EXPECT_EQ(std::count(row.begin(), row.end(), ','), columns) << row;
  EXPECT_EQ(rows[5].rfind("500,", 0), 0u);

  // The line at a file frequency is the single design there, to the bit.
  const json j1 = json::parse(with({"--json", "--jobs", "2"}).out);
  const json single = json::parse(Design({"--touchstone", s2p, "--freq", "500", "--feedback", "Rf", "--json"}).out);
  ASSERT_EQ(j1.size(), 9u);
  EXPECT_EQ(j1[4].dump(), single.dump());
}

// The netlist's test bench under ngspice: the source sees RE and the voltage
// gain is the window's |Vo/Vi|.
TEST(BjtDesign, SpiceBenchReproducesTheDesign) {
  if (RunCommand("ngspice --version >/dev/null").status != 0) GTEST_SKIP() << "no ngspice";
  struct Case {
    std::vector<std::string> args;
    const char* window;
  } cases[] = {
      {{"--field", "s11_mag=0.51", "--field", "s11_deg=-44.8", "--field", "s21_mag=24.51",
        "--field", "s21_deg=142.5", "--field", "s12_mag=0.01", "--field", "s12_deg=74.5",
        "--field", "s22_mag=0.86", "--field", "s22_deg=-16.7", "--field", "f_mhz=100",
        "--feedback", "Rf"}, "Form2"},
      {{"--field", "s11_mag=0.51", "--field", "s22_deg=40", "--field", "s22_mag=0.3",
        "--field", "re=75", "--feedback", "Rf"}, "Form3"},
      {{"--field", "s22_deg=40", "--feedback", "Rf//Cf"}, "Form4"},
      {{"--field", "lf_uh=10", "--field", "rl=120", "--feedback", "Rf//Lf"}, "Form5"},
  };
  for (const Case& c : cases) {
    const std::string netlist = TempPath(std::string(c.window) + ".cir");
    std::vector<std::string> args = c.args;
    for (const char* a : {"--json", "--export-spice"}) args.push_back(a);
    args.push_back(netlist);
    const Outcome r = Design(args);
    ASSERT_EQ(r.status, 0) << r.err;
    const json j = json::parse(r.out);
    ASSERT_EQ(j["windows"][0], c.window);
    const json& state = j["designs"][0]["state"];
    const double RE = state["RE"], RL = state["RL"], PoPi = state["PoPi"];
    const double gain = std::sqrt(RL * PoPi / RE);  // what Label37 shows

    const Outcome spice = RunCommand("ngspice -b " + Quoted(TempPath(std::string(c.window) + "_banco.cir")));
    ASSERT_EQ(spice.status, 0) << spice.out << spice.err;
    auto value = [&](const std::string& name) {
      const size_t at = spice.out.find(name + " = ");
      EXPECT_NE(at, std::string::npos) << name << "\n" << spice.out;
      return at == std::string::npos ? NAN : std::stod(spice.out.substr(at + name.size() + 3));
    };
    EXPECT_NEAR(value("real(zin)"), RE, 1e-6 * RE) << c.window;
    EXPECT_NEAR(value("imag(zin)"), 0, 1e-6 * RE) << c.window;
    EXPECT_NEAR(value("guadagno"), gain, 1e-6 * gain) << c.window;
  }
}

// Fields of one CSV line, quotes honoured.
std::vector<std::string> CsvFields(const std::string& line) {
  std::vector<std::string> fields(1);
  bool quoted = false;
  for (size_t i = 0; i < line.size(); ++i) {
    const char c = line[i];
    if (c == '"') {
      if (quoted && i + 1 < line.size() && line[i + 1] == '"') fields.back() += line[++i];
      else quoted = !quoted;
    } else if (c == ',' && !quoted) {
      fields.emplace_back();
    } else {
      fields.back() += c;
    }
  }
  return fields;
}

TEST(BjtDesign, LowNoiseDesignInJsonSweepAndExports) {
  const std::string file = std::string(BJT_TEST_DATA_DIR) + "/bfr_maker_ma_mhz.s2p";
  const std::vector<std::string> base{"--touchstone", file, "--field", "rf_kohm=1", "--feedback", "Rf"};
  auto with = [&](std::vector<std::string> more) {
    std::vector<std::string> args = base;
    args.insert(args.end(), more.begin(), more.end());
    return args;
  };
  const std::string netlist = TempPath("low_noise.cir");
  const Outcome least = Design(with({"--freq", "900", "--low-noise", "min", "--json", "--export-spice", netlist}));
  ASSERT_EQ(least.status, 0) << least.err;
  const json low = json::parse(least.out)["lowNoise"];
  EXPECT_EQ(low["target"], "min");
  EXPECT_NEAR(low["nfDb"].get<double>(), low["nfMinDb"].get<double>(), 1e-9);
  EXPECT_GT(low["outputReturnLossDb"].get<double>(), 100);
  EXPECT_LT(low["inputReturnLossDb"].get<double>(), 20);  // a noise match is no input match
  EXPECT_GT(low["gammaS"]["mag"].get<double>(), 0);
  // The netlist carries the very values the JSON gives.
  const std::string spice = Slurp(netlist);
  EXPECT_NE(spice.find("basso rumore (minimo rumore)"), std::string::npos);
  for (const char* side : {"input", "output"}) {
    ASSERT_EQ(low[side]["elements"].size(), 3u);
    for (const auto& [name, value] : low[side]["elements"].items()) {
      const std::string unit = low[side]["units"][name];
      EXPECT_NE(spice.find(" " + value.dump() + (unit == "nH" ? "n" : "p")), std::string::npos) << name;
    }
  }

  const Outcome more = Design(with({"--freq", "900", "--low-noise", "+0.5", "--json"}));
  ASSERT_EQ(more.status, 0) << more.err;
  const json lowMore = json::parse(more.out)["lowNoise"];
  EXPECT_NEAR(lowMore["nfDb"].get<double>(), low["nfMinDb"].get<double>() + 0.5, 1e-7);
  EXPECT_GT(lowMore["gtDb"].get<double>(), low["gtDb"].get<double>());

  // No noise data: refused with a message, status 1; bad words: status 2.
  const Outcome none = Design({"--feedback", "Rf", "--low-noise", "min", "--json"});
  EXPECT_EQ(none.status, 1);
  EXPECT_EQ(json::parse(none.out)["lowNoise"]["refused"], "nessun dato di rumore a questa frequenza");
  EXPECT_EQ(Design(with({"--freq", "900", "--low-noise", "gamma:1.2,0"})).status, 2);

  // Every sweep row gains the same columns, designed where the noise block
  // reaches.
  const Outcome sweep = Design(with({"--sweep", "--low-noise", "+0.5"}));
  ASSERT_EQ(sweep.status, 0) << sweep.err;
  std::istringstream lines(sweep.out);
  std::string line;
  std::getline(lines, line);
  const std::vector<std::string> header = CsvFields(line);
  const size_t outcome = std::find(header.begin(), header.end(), "bn_esito") - header.begin();
  ASSERT_LT(outcome, header.size());
  std::map<std::string, std::string> outcomes;
  while (std::getline(lines, line)) {
    const std::vector<std::string> row = CsvFields(line);
    ASSERT_EQ(row.size(), header.size()) << line;
    outcomes[row[0]] = row[outcome];
  }
  EXPECT_EQ(outcomes["100"], "rifiutato");
  EXPECT_EQ(outcomes["1000"], "progettato");
}

}  // namespace
