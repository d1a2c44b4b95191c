// bjt-design run as a user runs it: status codes, agreement with the real
// windows, sweeps on any number of threads, and its netlist under ngspice.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <complex>
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
  for (const std::string& a : args) command.append(" ").append(Quoted(a));
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
  const Outcome r = Design({project, "--touchstone", s2p, "--freq", "500", "--field", "re=60", "--json"});
  ASSERT_EQ(r.status, 0) << r.err;
  const json j = json::parse(r.out);
  // Keyed as --field and the project name them.
  EXPECT_EQ(j["fields"]["re"], "60");         // --field over the project
  EXPECT_EQ(j["fields"]["s11_mag"], "0.06");  // the file over the project
  EXPECT_EQ(j["fields"]["rl"], "50");         // nowhere: the start text
  EXPECT_EQ(j["fields"]["cf_pf"], "1");
  EXPECT_EQ(j["fields"].size(), 15u);
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


// --- files, sources and figures said truthfully -----------------------------

// A maker's transistor from 100 to 2000 MHz whose pair with a high Rf is
// potentially unstable at 100 and 200 MHz and stable above.
const char* kMakerFile =
    "! maker\n# MHz S MA R 50\n"
    "100 0.51 -44.8 24.51 142.5 0.010 74.5 0.86 -16.7\n"
    "200 0.42 -79.3 18.20 121.6 0.018 66.9 0.70 -25.4\n"
    "500 0.30 -128.4 9.06 99.0 0.035 63.2 0.50 -31.1\n"
    "1000 0.27 -166.0 4.83 84.1 0.060 65.0 0.43 -35.8\n"
    "1500 0.29 175.2 3.30 74.7 0.087 64.9 0.41 -42.1\n"
    "2000 0.31 162.0 2.52 66.4 0.113 63.2 0.40 -49.6\n";

std::string Folder(const std::string& name) {
  const std::string dir = TempPath(name);
  RunCommand("rm -rf " + Quoted(dir) + " && mkdir -p " + Quoted(dir));
  return dir;
}

bool Exists(const std::string& path) { return std::ifstream(path).good(); }

TEST(BjtDesign, AnOutputOnAnInputOrAnotherOutputIsRefusedBeforeAnythingIsWritten) {
  const std::string dir = Folder("clash");
  const std::string s2p = dir + "/victim.s2p", project = dir + "/p.bjtp";
  WriteText(s2p, kMakerFile);
  WriteText(project, R"({"format": "adattamento-bjt", "version": 1, "feedback": "Rf"})");
  RunCommand("ln -s victim.s2p " + Quoted(dir + "/link.s2p"));
  const std::vector<std::string> design = {"--touchstone", s2p, "--freq", "900", "--feedback", "Rf"};
  struct Case {
    std::vector<std::string> extra;
    std::string named;  // the other file the message names
  } cases[] = {
      {{"--export-s2p", s2p}, "victim.s2p"},
      {{"--export-s2p", dir + "/./link.s2p"}, "victim.s2p"},  // another spelling, a link
      {{"--out", dir + "/victim.s2p"}, "victim.s2p"},
      {{"--export-spice", project}, "p.bjtp"},
      {{"--export-s2p", dir + "/a.txt", "--out", dir + "/./a.txt"}, "a.txt"},
      {{"--export-spice", dir + "/n.cir", "--out", dir + "/n_banco.cir"}, "n_banco.cir"},
  };
  for (const Case& c : cases) {
    std::vector<std::string> args = design;
    if (c.extra[0] == "--export-spice" && c.named == "p.bjtp") args.insert(args.begin(), project);
    args.insert(args.end(), c.extra.begin(), c.extra.end());
    const Outcome r = Design(args);
    EXPECT_EQ(r.status, 2) << c.extra[1];
    EXPECT_NE(r.err.find(c.named), std::string::npos) << r.err;
    EXPECT_NE(r.err.find(c.extra[0]), std::string::npos) << r.err;
    EXPECT_EQ(r.out, "");
  }
  EXPECT_EQ(Slurp(s2p), kMakerFile);
  for (const char* made : {"/a.txt", "/n.cir", "/n_banco.cir"}) EXPECT_FALSE(Exists(dir + made)) << made;

  // "-" is standard output, not a file named "-".
  std::vector<std::string> args = design;
  for (const char* a : {"--out", "-"}) args.push_back(a);
  const Outcome out = Design(args);
  EXPECT_EQ(out.status, 0) << out.err;
  EXPECT_NE(out.out.find("Dati:"), std::string::npos);

  // A refused design leaves an export's old file as it was, and says so.
  WriteText(dir + "/old.s2p", "old");
  const Outcome refused = Design({"--feedback", "Rf", "--field", "rf_kohm=1,5", "--export-s2p", dir + "/old.s2p"});
  EXPECT_EQ(refused.status, 1);
  EXPECT_NE(refused.err.find("nessun file"), std::string::npos) << refused.err;
  EXPECT_EQ(Slurp(dir + "/old.s2p"), "old");
}

TEST(BjtDesign, TheTouchstoneFileAloneGivesSParametersRoAndFrequency) {
  const std::string dir = Folder("sources");
  const std::string s2p = dir + "/t.s2p";
  WriteText(s2p, kMakerFile);
  // --freq without a file would design the typed S-parameters at another f.
  const Outcome noFile = Design({"--freq", "900"});
  EXPECT_EQ(noFile.status, 2);
  EXPECT_NE(noFile.err.find("--field f_mhz="), std::string::npos) << noFile.err;
  for (const char* field : {"f_mhz=1000", "s21_mag=3", "ro=75"}) {
    const Outcome r = Design({"--touchstone", s2p, "--freq", "900", "--field", field});
    EXPECT_EQ(r.status, 2) << field;
    EXPECT_NE(r.err.find("--field"), std::string::npos) << r.err;
  }
  // A project that names the file: --freq reads the file at the new f, as
  // --touchstone does.
  WriteText(dir + "/p.bjtp", R"({"format": "adattamento-bjt", "version": 1, "feedback": "Rf",
      "fields": {"s11_mag": "0.27", "s11_deg": "-166", "s21_mag": "4.83", "s21_deg": "84.1", "s12_mag": "0.06",
                 "s12_deg": "65", "s22_mag": "0.43", "s22_deg": "-35.8", "ro": "50", "f_mhz": "1000"},
      "touchstone": {"path": "t.s2p", "fMHz": 1000}})");
  const Outcome viaProject = Design({dir + "/p.bjtp", "--freq", "700", "--json"});
  const Outcome viaFile = Design({"--touchstone", s2p, "--freq", "700", "--feedback", "Rf", "--json"});
  ASSERT_EQ(viaProject.status, 0) << viaProject.err;
  EXPECT_EQ(json::parse(viaProject.out)["fields"], json::parse(viaFile.out)["fields"]);
  EXPECT_EQ(json::parse(viaProject.out)["fields"]["f_mhz"], "700");

  // Without a file, a sweep and the amplifier's file say the S-parameters
  // are held constant.
  const Outcome sweep = Design({"--sweep", "--from", "50", "--to", "150", "--points", "3", "--feedback", "Rf"});
  EXPECT_EQ(sweep.status, 0);
  EXPECT_NE(sweep.err.find("costanti"), std::string::npos) << sweep.err;
  const Outcome exported = Design({"--feedback", "Rf", "--export-s2p", dir + "/amp.s2p"});
  EXPECT_EQ(exported.status, 0) << exported.err;
  EXPECT_NE(exported.err.find("costanti"), std::string::npos);
  EXPECT_NE(Slurp(dir + "/amp.s2p").find("costanti"), std::string::npos);
}

TEST(BjtDesign, AProjectKeepsItsFileWhenMovedAndGoesOnWithoutItWhenRemoved) {
  const std::string dir = Folder("linked");
  RunCommand("mkdir -p " + Quoted(dir + "/a/dati"));
  WriteText(dir + "/a/dati/t.s2p", kMakerFile);
  WriteText(dir + "/a/p.bjtp", R"({"format": "adattamento-bjt", "version": 1, "feedback": "Rf",
      "fields": {"s11_mag": "0.3", "s11_deg": "-128.4", "s21_mag": "9.06", "s21_deg": "99", "s12_mag": "0.035",
                 "s12_deg": "63.2", "s22_mag": "0.5", "s22_deg": "-31.1", "ro": "50", "f_mhz": "500",
                 "rf_kohm": "50"},
      "touchstone": {"path": "dati/t.s2p", "fMHz": 500}})");
  const Outcome withFile = Design({dir + "/a/p.bjtp", "--export-s2p", dir + "/amp1.s2p"});
  ASSERT_EQ(withFile.status, 0) << withFile.err;
  EXPECT_EQ(withFile.err, "");
  // The file's range, not 0.5 to 1.5 × f: the first frequency is 100 MHz.
  EXPECT_NE(Slurp(dir + "/amp1.s2p").find("\n1e8 "), std::string::npos);

  RunCommand("mv " + Quoted(dir + "/a") + " " + Quoted(dir + "/b"));
  const Outcome moved = Design({dir + "/b/p.bjtp", "--export-s2p", dir + "/amp2.s2p"});
  ASSERT_EQ(moved.status, 0) << moved.err;
  EXPECT_EQ(moved.err, "");
  EXPECT_EQ(Slurp(dir + "/amp1.s2p"), Slurp(dir + "/amp2.s2p"));

  RunCommand("rm " + Quoted(dir + "/b/dati/t.s2p"));
  const Outcome removed = Design({dir + "/b/p.bjtp", "--json"});
  EXPECT_EQ(removed.status, 0);
  EXPECT_NE(removed.err.find("dati/t.s2p"), std::string::npos) << removed.err;
  EXPECT_NE(removed.err.find("costanti"), std::string::npos) << removed.err;
  EXPECT_TRUE(json::parse(removed.out)["stability"]["withFeedback"]["unstableBandsMHz"].is_null());
}

TEST(BjtDesign, ARefusedInputGivesNoFigureAndANegativeValueIsRefused) {
  const Outcome comma = Design({"--feedback", "Rf", "--field", "rf_kohm=1,5", "--json"});
  EXPECT_EQ(comma.status, 1);
  EXPECT_TRUE(json::parse(comma.out)["stability"].is_null());
  EXPECT_EQ(Design({"--feedback", "Rf", "--field", "rf_kohm=1,5"}).out.find("Stabilità"), std::string::npos);

  for (const char* field : {"f_mhz=-900", "ro=-50", "re=-1", "rl=-1e-3", "rf_kohm=-1"}) {
    const Outcome r = Design({"--feedback", "Rf", "--field", field, "--json"});
    EXPECT_EQ(r.status, 1) << field;
    const json j = json::parse(r.out);
    ASSERT_EQ(j["messages"].size(), 1u) << field;
    EXPECT_NE(j["messages"][0].get<std::string>().find("deve essere positiva"), std::string::npos);
    EXPECT_TRUE(j["designs"].empty()) << field;
    EXPECT_TRUE(j["stability"].is_null()) << field;
  }
  // Lf and Cf count only where the feedback uses them; −0 is zero.
  EXPECT_EQ(Design({"--feedback", "Rf", "--field", "lf_uh=-1", "--field", "cf_pf=-1"}).status, 0);
  EXPECT_EQ(Design({"--feedback", "Rf//Lf", "--field", "lf_uh=-1"}).status, 1);
  EXPECT_EQ(Design({"--feedback", "Rf//Cf", "--field", "cf_pf=-1"}).status, 1);
  EXPECT_EQ(Design({"--feedback", "nessuna", "--field", "rf_kohm=-1"}).out.find("deve essere positiva"),
            std::string::npos);
  EXPECT_EQ(Design({"--feedback", "Rf", "--field", "re=-0"}).status, 1);
  const json zero = json::parse(Design({"--feedback", "Rf", "--field", "re=-0", "--json"}).out);
  EXPECT_EQ(zero["messages"][0].get<std::string>().find("deve essere positiva"), std::string::npos);
}

TEST(BjtDesign, ATextReadAsItsNumericPrefixIsSaid) {
  const Outcome report = Design({"--feedback", "Rf", "--field", "rl=50.0.7", "--field", "rf_kohm=5-"});
  EXPECT_EQ(report.status, 0) << report.err;
  EXPECT_NE(report.out.find("RL [ohm]: 50.0.7 (letto come 50)"), std::string::npos) << report.out;
  EXPECT_NE(report.out.find("Rf [kohm]: 5- (letto come 5)"), std::string::npos);
  const json j = json::parse(Design({"--feedback", "Rf", "--field", "rl=50.0.7", "--json"}).out);
  EXPECT_EQ(j["fieldsReadAs"], json::parse(R"({"rl": 50})"));
}

TEST(BjtDesign, StabilityIsJudgedAcrossTheWholeFile) {
  const std::string s2p = TempPath("bands.s2p");
  WriteText(s2p, kMakerFile);
  auto stability = [&](const char* rf) {
    const Outcome r = Design({"--touchstone", s2p, "--freq", "1000", "--feedback", "Rf", "--field", rf, "--json"});
    EXPECT_EQ(r.status, 0) << r.err;  // information, never a refusal
    return json::parse(r.out)["stability"];
  };
  const json unstableBelow = stability("rf_kohm=50");
  EXPECT_EQ(unstableBelow["withFeedback"]["unstableBandsMHz"], json::parse("[[100, 200]]"));
  EXPECT_GT(unstableBelow["withFeedback"]["mu"].get<double>(), 1);  // stable at f itself
  EXPECT_EQ(unstableBelow["transistor"]["unstableBandsMHz"], json::parse("[[100, 200]]"));
  EXPECT_EQ(stability("rf_kohm=1")["withFeedback"]["unstableBandsMHz"], json::array());

  const Outcome text = Design({"--touchstone", s2p, "--freq", "1000", "--feedback", "Rf", "--field", "rf_kohm=50"});
  EXPECT_NE(text.out.find("possibile oscillazione tra 100 e 200 MHz"), std::string::npos) << text.out;
  const Outcome stable = Design({"--touchstone", s2p, "--freq", "1000", "--feedback", "Rf", "--field", "rf_kohm=1"});
  EXPECT_NE(stable.out.find("stabile incondizionatamente in tutto il file (100–2000 MHz)"), std::string::npos);
  const Outcome typed = Design({"--feedback", "Rf"});
  EXPECT_NE(typed.out.find("(solo a f: nessun file Touchstone)"), std::string::npos);
  EXPECT_TRUE(json::parse(Design({"--feedback", "Rf", "--json"}).out)["stability"]["transistor"]["unstableBandsMHz"]
                  .is_null());
}

TEST(BjtDesign, KIsShownAsComputedAndElementsCarryFullPrecision) {
  const json nearlyUnilateral =
      json::parse(Design({"--feedback", "nessuna", "--field", "s12_mag=1e-9", "--field", "s11_mag=0.2",
                          "--field", "s22_mag=0.3", "--json"}).out);
  EXPECT_GT(nearlyUnilateral["stability"]["transistor"]["K"].get<double>(), 1e7);
  const Outcome unilateral = Design({"--feedback", "nessuna", "--field", "s12_mag=0", "--json"});
  EXPECT_TRUE(json::parse(unilateral.out)["stability"]["transistor"]["K"].is_null());
  EXPECT_NE(Design({"--feedback", "nessuna", "--field", "s12_mag=0"}).out.find("K = non definito"), std::string::npos);

  const json j = json::parse(Design({"--feedback", "Rf", "--json"}).out);
  const json& design = j["designs"][0];
  ASSERT_TRUE(design["computed"].get<bool>());
  // The start texts open the C-L-C / L-C-L window.
  EXPECT_EQ(design["elements"]["Ci1"]["unit"], "pF");
  EXPECT_EQ(design["elements"]["Li"]["unit"], "nH");
  EXPECT_EQ(design["elements"]["Ci1"]["value"].get<double>(), design["state"]["Ci1"].get<double>());
  EXPECT_EQ(design["elements"].size(), 6u);
}

TEST(BjtDesign, NoInternalWindowNameInTheReportOrTheFiles) {
  const std::string dir = Folder("names");
  const Outcome r = Design({"--feedback", "Rf", "--export-s2p", dir + "/a.s2p", "--export-spice", dir + "/a.cir"});
  ASSERT_EQ(r.status, 0) << r.err;
  for (const std::string& text : {r.out, Slurp(dir + "/a.s2p"), Slurp(dir + "/a.cir"), Slurp(dir + "/a_banco.cir")})
    for (const char* name : {"Form2", "Form3", "Form4", "Form5"}) EXPECT_EQ(text.find(name), std::string::npos) << text;
  EXPECT_NE(r.out.find("reti C-L-C / L-C-L, 500 MHz"), std::string::npos) << r.out;
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
      const std::string element = std::string(" ").append(value.dump()).append(unit == "nH" ? "n" : "p");
      EXPECT_NE(spice.find(element), std::string::npos) << name;
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

namespace {

std::string MakerFile() { return std::string(BJT_TEST_DATA_DIR) + "/bfr_maker_ma_mhz.s2p"; }

// A maker's file at 900 MHz with Rf = 1 kohm: the transistor's noise
// interpolated between the block's 500 and 1000 MHz lines (NFmin in dB, Γopt
// in real and imaginary parts, rn), the feedback resistor adding noise, the
// amplifier above the pair's minimum; finite Q adds more; --noise wins over
// the file; at 200 MHz, below the block, null.
TEST(BjtDesign, JsonGivesTheNoiseOfTransistorPairAndAmplifier) {
  const std::vector<std::string> base = {"--touchstone", MakerFile(), "--feedback", "Rf", "--field", "rf_kohm=1",
                                         "--json"};
  auto run = [&](std::vector<std::string> extra) {
    std::vector<std::string> args = base;
    args.insert(args.end(), extra.begin(), extra.end());
    const Outcome r = Design(args);
    EXPECT_EQ(r.status, 0) << r.err;
    return json::parse(r.out);
  };
  const json j = run({"--freq", "900"});
  const json& n = j["noise"];
  ASSERT_TRUE(n.is_object()) << j.dump();
  EXPECT_EQ(n["fMHz"], 900);
  const double t = (900.0 - 500) / 500;
  EXPECT_NEAR(n["transistor"]["nfMinDb"].get<double>(), 1.10 + (1.25 - 1.10) * t, 1e-12);
  EXPECT_NEAR(n["transistor"]["rnOhm"].get<double>(), 50 * (0.22 + (0.19 - 0.22) * t), 1e-12);
  const std::complex<double> g = std::polar(0.27, 34.0 * M_PI / 180) * (1 - t) + std::polar(0.20, 70.0 * M_PI / 180) * t;
  EXPECT_NEAR(n["transistor"]["gammaOptMag"].get<double>(), std::abs(g), 1e-12);
  EXPECT_NEAR(n["transistor"]["gammaOptDeg"].get<double>(), std::arg(g) * 180 / M_PI, 1e-9);
  const double pairMin = n["withFeedback"]["nfMinDb"].get<double>();
  EXPECT_GT(pairMin, n["transistor"]["nfMinDb"].get<double>() + 0.05);  // 1 kohm across costs noise
  ASSERT_EQ(j["designs"].size(), 1u);
  const double nf = j["designs"][0]["noiseFigureDb"].get<double>();
  EXPECT_GE(nf, pairMin);

  const json lossy = run({"--freq", "900", "--q-l", "30", "--q-c", "200"});
  EXPECT_GT(lossy["designs"][0]["noiseFigureDb"].get<double>(), nf + 0.05);
  // A lossy network changes the S-parameters of the finished amplifier, not
  // the design itself.
  EXPECT_EQ(lossy["designs"][0]["state"], j["designs"][0]["state"]);

  const json typed = run({"--freq", "900", "--noise", "0.8,0.5,-120,20"});
  EXPECT_NEAR(typed["noise"]["transistor"]["nfMinDb"].get<double>(), 0.8, 1e-12);
  EXPECT_NEAR(typed["noise"]["transistor"]["gammaOptDeg"].get<double>(), -120, 1e-9);
  EXPECT_NEAR(typed["noise"]["transistor"]["rnOhm"].get<double>(), 20, 1e-12);

  const json below = run({"--freq", "200"});
  EXPECT_TRUE(below["noise"].is_null());
  EXPECT_TRUE(below["designs"][0]["noiseFigureDb"].is_null());

  for (const char* bad : {"1,2,3", "1,0.3,x,5", "1,0.3,4,5,6"}) {
    const Outcome r = Design({"--noise", bad});
    EXPECT_EQ(r.status, 2) << bad;
    EXPECT_NE(r.err.find("--noise vuole NFMIN_DB,GOPT_MAG,GOPT_DEG,RN_OHM"), std::string::npos) << r.err;
  }
  const Outcome refused = Design({"--noise", "1,1.2,0,5"});
  EXPECT_EQ(refused.status, 2);
  EXPECT_NE(refused.err.find("|Γopt| deve essere"), std::string::npos) << refused.err;
  EXPECT_EQ(Design({"--q-l", "0"}).status, 2);
}

TEST(BjtDesign, SweepCsvHasNoiseColumnsWhereThereAreData) {
  const Outcome r = Design({"--touchstone", MakerFile(), "--sweep", "--feedback", "Rf", "--field", "rf_kohm=1"});
  ASSERT_EQ(r.status, 0) << r.err;
  std::istringstream lines(r.out);
  std::string header;
  std::getline(lines, header);
  std::vector<std::string> names;
  std::stringstream h(header);
  for (std::string name; std::getline(h, name, ',');) names.push_back(name);
  const auto column = [&](const char* name) {
    return static_cast<size_t>(std::find(names.begin(), names.end(), name) - names.begin());
  };
  const size_t nfMin = column("NFmin_dB"), pair = column("NFmin_Yf_dB"), nf = column("NF_dB");
  ASSERT_LT(nf, names.size()) << header;
  int withNoise = 0;
  for (std::string line; std::getline(lines, line);) {
    std::vector<std::string> cells;
    std::stringstream l(line);
    for (std::string cell; std::getline(l, cell, ',');) cells.push_back(cell);
    const double f = std::stod(cells[0]);
    // The noise block runs from 500 to 2000 MHz; never extrapolated.
    if (f < 500) {
      EXPECT_EQ(cells[nfMin] + cells[pair] + cells[nf], "") << line;
      continue;
    }
    ++withNoise;
    EXPECT_LT(std::stod(cells[nfMin]), std::stod(cells[pair])) << line;
    EXPECT_LE(std::stod(cells[pair]), std::stod(cells[nf])) << line;
  }
  EXPECT_EQ(withNoise, 4);
}

}  // namespace
// --explore-feedback: one line a value, the same on any number of threads,
// JSON with the CSV's keys, each value's Po/Pi the single design's.
TEST(BjtDesignExplore, RowsAreTheSingleDesignsOnAnyNumberOfThreads) {
  const std::string s2p = TempPath("explore.s2p");
  WriteText(s2p, kTransistorFile);
  const std::vector<std::string> base = {"--touchstone", s2p, "--freq", "500", "--feedback", "Rf",
                                         "--explore-feedback", "0.1:10:5"};
  auto with = [&](std::vector<std::string> extra) {
    std::vector<std::string> args = base;
    args.insert(args.end(), extra.begin(), extra.end());
    return Design(args);
  };
  const Outcome one = with({"--jobs", "1"}), three = with({"--jobs", "3"});
  ASSERT_EQ(one.status, 0) << one.err;
  EXPECT_EQ(one.out, three.out);
  std::istringstream lines(one.out);
  std::vector<std::string> rows;
  for (std::string line; std::getline(lines, line);) rows.push_back(line);
  ASSERT_EQ(rows.size(), 6u);
  EXPECT_EQ(rows[0].rfind("valore,mu_min_banda,", 0), 0u);
  for (const std::string& row : rows) EXPECT_EQ(std::count(row.begin(), row.end(), ','), 10) << row;
  EXPECT_EQ(rows[1].rfind("0.1,", 0), 0u);
  EXPECT_EQ(rows[3].rfind("1,", 0), 0u);
  EXPECT_EQ(rows[5].rfind("10,", 0), 0u);

  const json explored = json::parse(with({"--json"}).out);
  ASSERT_EQ(explored.size(), 5u);
  EXPECT_EQ(explored[2]["valore"], "1");
  EXPECT_EQ(explored[2].size(), 11u);
  const json single = json::parse(
      Design({"--touchstone", s2p, "--freq", "500", "--feedback", "Rf", "--field", "rf_kohm=1", "--json"}).out);
  ASSERT_FALSE(single["designs"].empty());
  const double poPi = single["designs"][0]["state"]["PoPi"];
  EXPECT_EQ(explored[2]["esito"], "progettato");
  EXPECT_EQ(explored[2]["Po_Pi_dB"].get<double>(), 10 * std::log10(poPi));
  EXPECT_EQ(explored[2]["guadagno_max_dB_Yf"], single["stability"]["withFeedback"]["gainDb"]);
  EXPECT_TRUE(explored[2]["NF_dB"].is_null());  // the file has no noise block
}

TEST(BjtDesignExplore, RefusesWhatCannotRun) {
  const std::string s2p = TempPath("explore_bad.s2p");
  WriteText(s2p, kTransistorFile);
  for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
           {"--feedback", "Rf", "--explore-feedback", "1:10"},
           {"--feedback", "Rf", "--explore-feedback", "0:10:5"},
           {"--feedback", "Rf", "--explore-feedback", "10:1:5"},
           {"--feedback", "Rf", "--explore-feedback", "1:10:5", "--explore-field", "Xf"},
           {"--feedback", "Rf", "--explore-feedback", "1:10:5", "--explore-field", "Lf"},
           {"--feedback", "nessuna", "--explore-feedback", "1:10:5"},
           {"--feedback", "Rf", "--explore-feedback", "1:10:5", "--sweep", "--touchstone", s2p}}) {
    const Outcome r = Design(args);
    EXPECT_EQ(r.status, 2) << args[3];
    EXPECT_TRUE(r.out.empty());
    EXPECT_FALSE(r.err.empty());
  }
}
