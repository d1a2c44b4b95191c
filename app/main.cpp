#include <QApplication>
#include <QCommandLineParser>
#include <QLocale>
#include <QTimer>

#include <cmath>
#include <cstdio>
#include <optional>

#include "gui/file_menus.h"
#include "gui/help_dialogs.h"
#include "gui/program.h"
#include "gui/qt_ui.h"
#include "model/design_state.h"

namespace {

struct StartRequest {
  QString path;
  std::optional<double> fMHz;
};

// Ends the program (with the help or version printed, or a complaint on
// standard error) when the command line says so; otherwise what to open.
std::optional<StartRequest> ParseCommandLine(const QStringList& arguments, int* exitCode) {
  QCommandLineParser parser;
  parser.setApplicationDescription(
      QStringLiteral("Reti di adattamento per amplificatori a BJT dai parametri S."));
  const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")},
                                QStringLiteral("Mostra questo aiuto ed esce."));
  const QCommandLineOption version({QStringLiteral("v"), QStringLiteral("version")},
                                   QStringLiteral("Mostra la versione del programma ed esce."));
  const QCommandLineOption freq(QStringLiteral("freq"),
                                QStringLiteral("Sceglie questa frequenza del file Touchstone, in MHz, "
                                               "senza la finestra di scelta."),
                                QStringLiteral("MHZ"));
  parser.addOption(help);
  parser.addOption(version);
  parser.addOption(freq);
  parser.addPositionalArgument(QStringLiteral("FILE"),
                               QStringLiteral("Un file Touchstone (.s2p) o un progetto (.bjtp) da aprire."),
                               QStringLiteral("[FILE]"));
  const auto fail = [&](const QString& message) {
    std::fprintf(stderr, "%s\n", qPrintable(message));
    *exitCode = 2;
    return std::nullopt;
  };
  if (!parser.parse(arguments)) return fail(parser.errorText());
  if (parser.isSet(help)) {
    std::fputs(qPrintable(parser.helpText()), stdout);
    *exitCode = 0;
    return std::nullopt;
  }
  if (parser.isSet(version)) {
    std::printf("adattamento-bjt %s\n", qPrintable(ProgramVersion()));
    *exitCode = 0;
    return std::nullopt;
  }
  const QStringList files = parser.positionalArguments();
  if (files.size() > 1) return fail(QStringLiteral("Si può aprire un solo file alla volta."));
  StartRequest request;
  if (!files.isEmpty()) request.path = files.front();
  if (parser.isSet(freq)) {
    bool ok = false;
    const double f = QLocale::c().toDouble(parser.value(freq), &ok);
    if (!ok || !std::isfinite(f) || f <= 0)
      return fail(QStringLiteral("--freq: \"%1\" non è una frequenza in MHz").arg(parser.value(freq)));
    if (request.path.isEmpty()) return fail(QStringLiteral("--freq vale solo con un file Touchstone."));
    request.fMHz = f;
  }
  return request;
}

// The help and the version need no display: they are answered before the
// windows' application exists.
bool AsksHelpOrVersion(int argc, char** argv) {
  for (int i = 1; i < argc; ++i) {
    const QByteArray a(argv[i]);
    if (a == "-h" || a == "--help" || a == "-v" || a == "--version") return true;
  }
  return false;
}

void NameProgram() {
  QCoreApplication::setApplicationName(QStringLiteral("Adattamento BJT"));
  QCoreApplication::setApplicationVersion(ProgramVersion());
}

}  // namespace

int main(int argc, char** argv) {
  int exitCode = 0;
  if (AsksHelpOrVersion(argc, argv)) {
    QCoreApplication probe(argc, argv);
    NameProgram();
    LoadItalianQtTexts();
    ParseCommandLine(probe.arguments(), &exitCode);
    return exitCode;
  }
  QApplication app(argc, argv);
  NameApplication();
  QApplication::setApplicationVersion(ProgramVersion());
  LoadItalianQtTexts();
  const std::optional<StartRequest> start = ParseCommandLine(app.arguments(), &exitCode);
  if (!start) return exitCode;
  DesignState design;
  QtProgram program(design);
  OpenStartWindow();
  // Opened once the window is on screen, so the chooser and any message sit
  // over it.
  if (!start->path.isEmpty())
    QTimer::singleShot(0, &app, [request = *start] { OpenAnyPath(request.path, request.fMHz); });
  return app.exec();
}
