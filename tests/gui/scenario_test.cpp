// Runs each tests/scenarios/*.scenario through bjt-scenario, the real windows
// headless, and checks what it printed against the script's own expectations:
//   #> REGEX        standard output matches REGEX
//   #>! REGEX       standard output does not match REGEX
//   #exit N         the exit status (0 when not given)
//   #stderr REGEX   standard error matches REGEX
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QStringList>

#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace {

std::vector<std::string> ScenarioFiles() {
  std::vector<std::string> files;
  for (const QString& f : QDir(BJT_SCENARIO_DIR).entryList({"*.scenario"}, QDir::Files, QDir::Name))
    files.push_back(f.toStdString());
  return files;
}

class Scenario : public ::testing::TestWithParam<std::string> {};

TEST_P(Scenario, PrintsWhatItExpects) {
  const QString path = QString(BJT_SCENARIO_DIR) + "/" + QString::fromStdString(GetParam());
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  const QStringList lines = QString::fromUtf8(file.readAll()).split('\n');

  QProcess runner;
  // Scripts name their sample files relative to their own folder.
  runner.setWorkingDirectory(BJT_SCENARIO_DIR);
  runner.start(BJT_SCENARIO_RUNNER, {path});
  ASSERT_TRUE(runner.waitForFinished(60000));
  const QString out = QString::fromUtf8(runner.readAllStandardOutput());
  const QString err = QString::fromUtf8(runner.readAllStandardError());

  int expectedExit = 0;
  for (int i = 0; i < lines.size(); ++i) {
    const QString& line = lines[i];
    const auto check = [&](const QString& text, const QString& pattern, bool want) {
      QRegularExpression re(pattern);
      ASSERT_TRUE(re.isValid()) << "line " << i + 1 << ": " << re.errorString().toStdString();
      EXPECT_EQ(re.match(text).hasMatch(), want)
          << path.toStdString() << ":" << i + 1 << ": " << line.toStdString()
          << "\n--- stdout ---\n" << out.left(4000).toStdString()
          << "\n--- stderr ---\n" << err.toStdString();
    };
    if (line.startsWith("#>! ")) check(out, line.mid(4), false);
    else if (line.startsWith("#> ")) check(out, line.mid(3), true);
    else if (line.startsWith("#stderr ")) check(err, line.mid(8), true);
    else if (line.startsWith("#exit ")) expectedExit = line.mid(6).toInt();
  }
  EXPECT_EQ(runner.exitCode(), expectedExit) << err.toStdString();
}

INSTANTIATE_TEST_SUITE_P(Scripts, Scenario, ::testing::ValuesIn(ScenarioFiles()),
                         [](const auto& info) {
                           return info.param.substr(0, info.param.find('.'));
                         });

}  // namespace
