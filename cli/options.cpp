#include "cli/options.h"

#include <charconv>
#include <cmath>

#include "project/project.h"

namespace {

std::optional<double> PositiveNumber(const std::string& text) {
  double x = 0;
  const char* end = text.data() + text.size();
  auto r = std::from_chars(text.data(), end, x);
  if (r.ec != std::errc() || r.ptr != end || !std::isfinite(x) || !(x > 0)) return std::nullopt;
  return x;
}

std::optional<int> PositiveInteger(const std::string& text) {
  int n = 0;
  const char* end = text.data() + text.size();
  auto r = std::from_chars(text.data(), end, n);
  if (r.ec != std::errc() || r.ptr != end || n < 1) return std::nullopt;
  return n;
}

struct Parser {
  const std::vector<std::string>& args;
  size_t i = 0;
  CliOptions options;

  std::string Value(const std::string& option) {
    if (i + 1 >= args.size()) throw UsageError{"manca il valore di " + option};
    return args[++i];
  }
  double Frequency(const std::string& option) {
    const std::string text = Value(option);
    if (auto x = PositiveNumber(text)) return *x;
    throw UsageError{option + " vuole una frequenza in MHz maggiore di zero, non \"" + text + "\""};
  }
  int Count(const std::string& option) {
    const std::string text = Value(option);
    if (auto n = PositiveInteger(text)) return *n;
    throw UsageError{option + " vuole un numero intero maggiore di zero, non \"" + text + "\""};
  }
  void Field(const std::string& assignment) {
    const size_t eq = assignment.find('=');
    const std::string key = assignment.substr(0, eq);
    if (eq == std::string::npos) throw UsageError{"--field vuole CHIAVE=TESTO, non \"" + assignment + "\""};
    if (!ControlOfFieldKey(key)) throw UsageError{"chiave sconosciuta: \"" + key + "\""};
    options.fields.emplace_back(key, assignment.substr(eq + 1));
  }
  double Quality(const std::string& option) {
    const std::string text = Value(option);
    if (auto x = PositiveNumber(text)) return *x;
    throw UsageError{option + " vuole un fattore di merito Q maggiore di zero, non \"" + text + "\""};
  }
  // Four numbers separated by commas; what they may be is checked with the
  // design's Ro, as the noise window checks its fields.
  void Noise(const std::string& text) {
    std::array<double, 4> values{};
    size_t start = 0;
    for (size_t k = 0; k < values.size(); ++k) {
      const size_t comma = k + 1 < values.size() ? text.find(',', start) : text.size();
      const char* first = text.data() + start;
      const char* last = text.data() + (comma == std::string::npos ? text.size() : comma);
      const auto r = std::from_chars(first, last, values[k]);
      if (comma == std::string::npos || r.ec != std::errc() || r.ptr != last || !std::isfinite(values[k]))
        throw UsageError{"--noise vuole NFMIN_DB,GOPT_MAG,GOPT_DEG,RN_OHM (quattro numeri), non \"" + text + "\""};
      start = comma + 1;
    }
    options.noise = values;
  }
  void Feedback(const std::string& name) {
    if (!ControlOfFeedback(name))
      throw UsageError{"reazione sconosciuta: \"" + name + "\" (Rf, Rf//Lf, Rf//Cf o nessuna)"};
    options.feedback = name;
  }

  // FROM:TO:N, both numbers above zero, N at least 2.
  void Explore(const std::string& text) {
    const size_t first = text.find(':');
    const size_t second = first == std::string::npos ? first : text.find(':', first + 1);
    const auto from = first == std::string::npos ? std::nullopt : PositiveNumber(text.substr(0, first));
    const auto to = second == std::string::npos ? std::nullopt : PositiveNumber(text.substr(first + 1, second - first - 1));
    const auto count = second == std::string::npos ? std::nullopt : PositiveInteger(text.substr(second + 1));
    if (!from || !to || !count || *count < 2)
      throw UsageError{"--explore-feedback vuole DA:A:N (due valori maggiori di zero e almeno 2 valori), non \"" +
                       text + "\""};
    options.explore = CliOptions::ExploreRange{*from, *to, *count};
  }
  void ExploreField(const std::string& name) {
    if (name != "Rf" && name != "Lf" && name != "Cf")
      throw UsageError{"--explore-field vuole Rf, Lf o Cf, non \"" + name + "\""};
    options.exploreField = name;
  }
  void LowNoise(const std::string& words) {
    std::variant<LowNoiseTarget, std::string> target = ParseLowNoiseTarget(words);
    if (auto* message = std::get_if<std::string>(&target)) throw UsageError{"--low-noise: " + *message};
    options.lowNoise = std::get<LowNoiseTarget>(target);
  }

  void One() {
    const std::string& a = args[i];
    if (a == "-h" || a == "--help") options.help = true;
    else if (a == "--json") options.json = true;
    else if (a == "--sweep") options.sweep = true;
    else if (a == "--touchstone") options.touchstone = Value(a);
    else if (a == "--freq") options.freqMHz = Frequency(a);
    else if (a == "--from") options.fromMHz = Frequency(a);
    else if (a == "--to") options.toMHz = Frequency(a);
    else if (a == "--points") options.points = Count(a);
    else if (a == "--jobs") options.jobs = Count(a);
    else if (a == "--field") Field(Value(a));
    else if (a == "--feedback") Feedback(Value(a));
    else if (a == "--out") options.out = Value(a);
    else if (a == "--noise") Noise(Value(a));
    else if (a == "--q-l") options.inductorQ = Quality(a);
    else if (a == "--q-c") options.capacitorQ = Quality(a);
    else if (a == "--explore-feedback") Explore(Value(a));
    else if (a == "--explore-field") ExploreField(Value(a));
    else if (a == "--export-s2p") options.exportS2p = Value(a);
    else if (a == "--export-spice") options.exportSpice = Value(a);
    else if (a == "--low-noise") LowNoise(Value(a));
    else if (a.size() > 1 && a[0] == '-') throw UsageError{"opzione sconosciuta: " + a};
    else if (options.project) throw UsageError{"un solo file di progetto, non anche " + a};
    else options.project = a;
  }

  void CheckTogether() const {
    const CliOptions& o = options;
    const bool range = o.fromMHz || o.toMHz || o.points;
    if (range && !(o.fromMHz && o.toMHz))
      throw UsageError{"--from e --to vanno dati insieme (--points facoltativo)"};
    // A project may name a Touchstone file: the checks that need to know
    // whether there is one come once the project is read.
    if (o.sweep && !o.touchstone && !o.project && !range)
      throw UsageError{"--sweep vuole un file Touchstone o un intervallo --from --to"};
    if (o.sweep && o.touchstone && !o.freqMHz && (o.exportS2p || o.exportSpice))
      throw UsageError{"con --sweep le esportazioni descrivono il progetto a --freq: indicala"};
    if (o.explore && (o.sweep || range || o.exportS2p || o.exportSpice))
      throw UsageError{"--explore-feedback non va insieme a --sweep, --from/--to né alle esportazioni"};
    if (o.touchstone && !o.freqMHz && !o.sweep)
      throw UsageError{"--touchstone vuole --freq (o --sweep)"};
  }
};

}  // namespace

std::variant<CliOptions, UsageError> ParseArguments(const std::vector<std::string>& args) {
  Parser p{args, 0, {}};
  try {
    for (; p.i < args.size(); ++p.i) p.One();
    if (!p.options.help) p.CheckTogether();
  } catch (const UsageError& e) {
    return e;
  }
  return p.options;
}

std::string HelpText() {
  std::string keys;
  for (const ProjectFieldKey& k : ProjectFieldKeys()) keys += std::string(keys.empty() ? "" : " ") + k.key;
  return "Uso: bjt-design [PROGETTO.bjtp] [opzioni]\n"
         "\n"
         "Progetta l'amplificatore come la finestra d'ingresso: Calcola con i testi dati,\n"
         "poi in ogni finestra dei risultati che si apre il calcolo delle reti e la verifica.\n"
         "I campi non dati restano ai testi iniziali della finestra; vale la fonte più\n"
         "recente: progetto, poi file Touchstone, poi --field.\n"
         "\n"
         "  PROGETTO.bjtp            un file di progetto\n"
         "  --touchstone FILE.s2p    parametri S, Ro e f dal file (o dal file del progetto)...\n"
         "  --freq MHZ               ...alla frequenza MHZ (interpolati tra due frequenze);\n"
         "                           con un file, --field non vale per parametri S, ro e f_mhz\n"
         "  --field CHIAVE=TESTO     il testo di un campo (ripetibile); chiavi:\n"
         "                           " + keys + "\n"
         "  --feedback R             la reazione Yf: Rf, Rf//Lf, Rf//Cf o nessuna\n"
         "  --noise NF,MAG,ANG,RN    dati di rumore a f: NFmin [dB], |Γopt|, angolo di Γopt [°],\n"
         "                           Rn [ohm] (al posto di quelli del file o del progetto)\n"
         "  --q-l Q, --q-c Q         fattore di merito di induttori e condensatori delle reti\n"
         "                           (perdita in serie; predefinito: ideali)\n"
         "  --json                   un oggetto JSON invece del resoconto\n"
         "  --sweep                  un progetto a ogni frequenza del file Touchstone,\n"
         "  --from MHZ --to MHZ      o a frequenze equidistanti da MHZ a MHZ\n"
         "  --points N               (401 se non indicato); uscita CSV, o JSON con --json\n"
         "  --explore-feedback DA:A:N  un progetto per ognuno di N valori di Rf (kohm) in\n"
         "                           progressione geometrica da DA a A; uscita CSV, o JSON\n"
         "  --explore-field F        il campo esplorato: Rf, Lf (uH) o Cf (pF), con Rf fisso\n"
         "  --jobs N                 progetti in parallelo (predefinito: uno per core)\n"
         "  --out FILE               scrive il risultato nel file invece che sull'uscita\n"
         "                           (- per l'uscita standard)\n"
         "  --export-s2p FILE        l'amplificatore completo come file Touchstone\n"
         "  --export-spice FILE      lo schema per ngspice (e il banco di prova FILE_banco)\n"
         "  --low-noise OBIETTIVO    anche il progetto a basso rumore (rumore dal blocco\n"
         "                           del file Touchstone): min (minimo rumore), +DB (rumore\n"
         "                           a DB dal minimo, massimo guadagno), gamma:MODULO,GRADI\n"
         "                           o zs:RE,IM (ohm); le esportazioni lo descrivono\n"
         "  -h, --help               questo aiuto\n"
         "\n"
         "Stato d'uscita: 0 progetto eseguito, 1 progetto rifiutato con un messaggio,\n"
         "2 errore nella riga di comando o file illeggibile.\n";
}
