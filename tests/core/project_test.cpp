// Project files: every text as typed survives a save and a load, foreign or
// broken files are refused, and a failed save leaves the old file intact.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "project/atomic_file.h"
#include "project/project.h"

namespace {

namespace fs = std::filesystem;

std::string Serialized(const Project& p) {
  auto json = SerializeProject(p);
  if (auto* error = std::get_if<ProjectError>(&json)) {
    ADD_FAILURE() << error->message;
    return {};
  }
  return std::get<std::string>(json);
}

std::string Refusal(std::string_view json) {
  auto result = ParseProject(json);
  if (std::holds_alternative<Project>(result)) {
    ADD_FAILURE() << "accepted: " << json;
    return {};
  }
  return std::get<std::string>(result);
}

// A fresh, empty folder for one test.
fs::path ScratchFolder(const char* name) {
  const fs::path dir = fs::temp_directory_path() / name;
  fs::remove_all(dir);
  fs::create_directories(dir);
  return dir;
}

}  // namespace

TEST(Project, EveryTextRoundTripsExactly) {
  Project p;
  const std::u16string texts[] = {
      u"0.5", u"", u" 1,5 ", u"abc\"\\/\n\t", std::u16string(1, u'\0') + u"x", u"\u00E8\u20AC",
      u"\U0001D7D3", u"1e999", u"--3", u"\uFFFD", std::u16string(5000, u'9'),
      u"\x7F\x1F", u"\uFEFF", u"-0", u"π",
  };
  std::size_t i = 0;
  for (const auto& k : ProjectFieldKeys()) p.fields[k.key] = texts[i++];
  p.feedback = "Rf//Lf";
  p.touchstone = TouchstoneRef{"/home/utente/dati/bfp420 è.s2p", 2140.0000000000005};

  const auto back = ParseProject(Serialized(p));
  ASSERT_TRUE(std::holds_alternative<Project>(back)) << std::get<std::string>(back);
  const Project& q = std::get<Project>(back);
  EXPECT_EQ(q.fields, p.fields);
  EXPECT_EQ(q.feedback, p.feedback);
  ASSERT_TRUE(q.touchstone);
  EXPECT_EQ(q.touchstone->path, p.touchstone->path);
  EXPECT_EQ(q.touchstone->fMHz, p.touchstone->fMHz);

  // No feedback chosen, no file, some fields absent: the window keeps those.
  Project sparse;
  sparse.fields["ro"] = u"50";
  const Project r = std::get<Project>(ParseProject(Serialized(sparse)));
  EXPECT_EQ(r.fields.size(), 1u);
  EXPECT_FALSE(r.feedback);
  EXPECT_FALSE(r.touchstone);
}

TEST(Project, TextsItCannotKeepAreRefusedNotAltered) {
  Project p;
  p.fields["s21_deg"] = std::u16string(u"12") + u'\xDC00';
  EXPECT_EQ(std::get<ProjectError>(SerializeProject(p)).message,
            "Il campo Text4 contiene un carattere non valido (un surrogato UTF-16 isolato) e il "
            "progetto non può conservarlo: correggi il testo e salva di nuovo");
  p.fields["s21_deg"] = u"\U0001F600";  // a proper pair is fine
  EXPECT_TRUE(std::holds_alternative<std::string>(SerializeProject(p)));
  p.fields["bogus"] = std::u16string(u"1");
  EXPECT_TRUE(std::holds_alternative<ProjectError>(SerializeProject(p)));
  Project q;
  q.touchstone = TouchstoneRef{"\xFF\xFE.s2p", 1};
  EXPECT_TRUE(std::holds_alternative<ProjectError>(SerializeProject(q)));
}

TEST(Project, ForeignBrokenAndNewerFilesAreRefused) {
  const std::string head = R"({"format": "adattamento-bjt", "version": 1, )";
  EXPECT_TRUE(std::holds_alternative<Project>(ParseProject(head + R"("fields": {"ro": "50"}})")));
  const std::pair<std::string, const char*> cases[] = {
      {head + R"("fields": {"ro": "50"})", "Il file di progetto non è JSON valido"},
      {"[]", "Il file non è un progetto di Adattamento BJT"},
      {R"({"format": "altro", "version": 1})", "Il file non è un progetto di Adattamento BJT"},
      {R"({"format": "adattamento-bjt", "version": 3})",
       "Il progetto viene da una versione più recente del programma (formato 3; questa legge il formato 2)"},
      {head + R"("lowNoise": 0.5})", "Nel progetto \"lowNoise\" non è un testo"},
      {R"({"format": "adattamento-bjt", "version": "1"})", "Il progetto non dice la sua versione"},
      {head + R"("fields": {"Text1": "5"}})", "Il progetto contiene il campo sconosciuto \"Text1\""},
      {head + R"("fields": {"ro": 50}})", "Nel progetto il campo \"ro\" non è un testo"},
      {head + R"("feedback": "Lf"})",
       "Nel progetto la retroazione \"Lf\" non è una di \"Rf\", \"Rf//Lf\", \"Rf//Cf\", \"nessuna\""},
      {head + R"("touchstone": {"path": "a.s2p", "fMHz": "2140"}})",
       "Nel progetto \"touchstone\" vuole \"path\" (testo) e \"fMHz\" (numero)"},
      // Bytes that are not UTF-8, and an escaped lone surrogate.
      {head + "\"fields\": {\"ro\": \"\xFF\"}}", "Il file di progetto non è JSON valido"},
      {head + R"("fields": {"ro": "\ud800"}})", "Il file di progetto non è JSON valido"},
  };
  for (const auto& [json, message] : cases) EXPECT_EQ(Refusal(json), message) << json;
}

TEST(Project, TheLowNoiseTargetIsKeptAndVersionOneFilesStillOpen) {
  Project p;
  p.fields["f_mhz"] = u"900";
  p.lowNoiseTarget = "+0.5";
  const std::string json = std::get<std::string>(SerializeProject(p));
  EXPECT_NE(json.find("\"version\": 2"), std::string::npos);
  EXPECT_EQ(std::get<Project>(ParseProject(json)).lowNoiseTarget, "+0.5");
  const auto old = ParseProject(R"({"format": "adattamento-bjt", "version": 1, "fields": {"ro": "50"}})");
  ASSERT_TRUE(std::holds_alternative<Project>(old));
  EXPECT_FALSE(std::get<Project>(old).lowNoiseTarget);
}

TEST(Project, SavingIsAtomicAndAFailedSaveKeepsTheOldFile) {
  const fs::path dir = ScratchFolder("bjt_project_save");
  const fs::path path = dir / "amplificatore.bjtp";
  Project p;
  p.fields["f_mhz"] = u"2140";
  ASSERT_EQ(WriteProjectFile(path.string(), p), std::nullopt);
  p.fields["f_mhz"] = u"900";
  ASSERT_EQ(WriteProjectFile(path.string(), p), std::nullopt);
  const auto read = ReadProjectFile(path.string());
  EXPECT_EQ(std::get<Project>(read).fields.at("f_mhz"), u"900");
  EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator{}), 1);  // no temporary left

  // The target is a folder, or its folder does not exist: a message, and
  // nothing else changes.
  fs::create_directory(dir / "cartella");
  EXPECT_EQ(WriteFileAtomically((dir / "cartella").string(), "x"),
            "Impossibile salvare \"" + (dir / "cartella").string() + "\": al suo posto c'è una cartella");
  const auto missing = WriteFileAtomically((dir / "manca" / "a.bjtp").string(), "x");
  ASSERT_TRUE(missing);
  EXPECT_NE(missing->find("la cartella non esiste"), std::string::npos) << *missing;
  if (fs::is_directory("/proc/self")) {  // a folder that is there but takes no files
    const auto refused = WriteFileAtomically("/proc/self/a.bjtp", "x");
    ASSERT_TRUE(refused);
    EXPECT_NE(refused->find("non si possono creare file"), std::string::npos) << *refused;
  }
  EXPECT_TRUE(WriteFileAtomically((path / "a.bjtp").string(), "x"));
  EXPECT_EQ(std::get<Project>(ReadProjectFile(path.string())).fields.at("f_mhz"), u"900");
  EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator{}), 2);

  // Saving over a file keeps its permissions.
  fs::permissions(path, fs::perms::owner_read | fs::perms::owner_write);
  ASSERT_EQ(WriteProjectFile(path.string(), p), std::nullopt);
  EXPECT_EQ(fs::status(path).permissions() & fs::perms::all, fs::perms::owner_read | fs::perms::owner_write);
  EXPECT_EQ(std::get<std::string>(ReadProjectFile((dir / "nessuno.bjtp").string())),
            "Impossibile aprire il progetto \"" + (dir / "nessuno.bjtp").string() + "\"");
  fs::remove_all(dir);
}

// Typed noise data make the file version 2 and read back to the same doubles;
// a file without them stays version 1, and version 1 files still open.
TEST(Project, NoiseDataRoundTripAsVersionTwo) {
  Project p;
  p.fields["ro"] = u"50";
  const std::string plain = std::get<std::string>(SerializeProject(p));
  EXPECT_NE(plain.find("\"version\": 1"), std::string::npos);
  EXPECT_EQ(plain.find("noise"), std::string::npos);

  p.noise = ProjectNoise{0.1 + 0.2, 0.45, -179.99999999999997, 12.5};
  const std::string text = std::get<std::string>(SerializeProject(p));
  EXPECT_NE(text.find("\"version\": 2"), std::string::npos);
  const Project back = std::get<Project>(ParseProject(text));
  ASSERT_TRUE(back.noise);
  EXPECT_EQ(back.noise->nfMinDb, 0.1 + 0.2);
  EXPECT_EQ(back.noise->gammaOptMag, 0.45);
  EXPECT_EQ(back.noise->gammaOptDeg, -179.99999999999997);
  EXPECT_EQ(back.noise->rnOhm, 12.5);
  EXPECT_EQ(back.fields, p.fields);

  const std::string head = R"({"format": "adattamento-bjt", "version": 2, "noise": )";
  const std::string bads[] = {"\"0.9\"}", "{\"nfMinDb\": 0.9}}",
                              "{\"nfMinDb\": \"0.9\", \"gammaOptMag\": 0.1, \"gammaOptDeg\": 0, \"rnOhm\": 5}}"};
  for (const std::string& bad : bads) {
    const auto refused = ParseProject(head + bad);
    ASSERT_TRUE(std::holds_alternative<std::string>(refused)) << bad;
    EXPECT_EQ(std::get<std::string>(refused),
              "Nel progetto \"noise\" vuole i numeri \"nfMinDb\", \"gammaOptMag\", \"gammaOptDeg\" e \"rnOhm\"");
  }
  EXPECT_FALSE(std::get<Project>(ParseProject(head + "null}")).noise);
}
