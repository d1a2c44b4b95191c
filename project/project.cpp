#include "project/project.h"

#include <cmath>
#include <cstdio>
#include <memory>

#include <nlohmann/json.hpp>

#include "project/atomic_file.h"
#include "project/linked_file.h"
#include "text/utf16.h"

namespace {

// A project is a few kB; anything far larger is not one.
constexpr std::size_t kMaxProjectBytes = 16u << 20;

using Json = nlohmann::json;

bool HasLoneSurrogate(std::u16string_view text) {
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char16_t c = text[i];
    if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF)
      ++i;
    else if (c >= 0xD800 && c <= 0xDFFF)
      return true;
  }
  return false;
}

std::variant<Project, std::string> ReadFields(const Json& fields, Project project) {
  if (!fields.is_object()) return std::string("Nel progetto \"fields\" non è un elenco di campi");
  for (const auto& [key, value] : fields.items()) {
    if (!ControlOfFieldKey(key)) return "Il progetto contiene il campo sconosciuto \"" + key + "\"";
    if (!value.is_string()) return "Nel progetto il campo \"" + key + "\" non è un testo";
    // The parser has checked the UTF-8, so the conversion changes nothing.
    project.fields[key] = Utf8ToUtf16(value.get_ref<const std::string&>());
  }
  return project;
}

std::variant<Project, std::string> ReadTouchstoneRef(const Json& ref, Project project) {
  const auto path = ref.is_object() ? ref.find("path") : ref.end();
  const auto f = ref.is_object() ? ref.find("fMHz") : ref.end();
  // A number beyond the double range parses as an infinity.
  if (path == ref.end() || !path->is_string() || f == ref.end() || !f->is_number() ||
      !std::isfinite(f->get<double>()))
    return std::string("Nel progetto \"touchstone\" vuole \"path\" (testo) e \"fMHz\" (numero)");
  project.touchstone = TouchstoneRef{path->get<std::string>(), f->get<double>()};
  return project;
}

constexpr struct {
  const char* key;
  double ProjectNoise::*field;
} kNoiseKeys[] = {{"nfMinDb", &ProjectNoise::nfMinDb},
                  {"gammaOptMag", &ProjectNoise::gammaOptMag},
                  {"gammaOptDeg", &ProjectNoise::gammaOptDeg},
                  {"rnOhm", &ProjectNoise::rnOhm}};

std::variant<Project, std::string> ReadNoise(const Json& noise, Project project) {
  const std::string refusal =
      "Nel progetto \"noise\" vuole i numeri \"nfMinDb\", \"gammaOptMag\", \"gammaOptDeg\" e \"rnOhm\"";
  if (!noise.is_object() || noise.size() != std::size(kNoiseKeys)) return refusal;
  ProjectNoise n;
  for (const auto& k : kNoiseKeys) {
    const auto value = noise.find(k.key);
    if (value == noise.end() || !value->is_number() || !std::isfinite(value->get<double>())) return refusal;
    n.*k.field = value->get<double>();
  }
  project.noise = n;
  return project;
}

}  // namespace

std::span<const ProjectFieldKey> ProjectFieldKeys() { return kQuantities; }

const char* ControlOfFieldKey(std::string_view key) {
  const QuantitySpec* q = QuantityOfKey(key);
  return q ? q->control : nullptr;
}

std::span<const FeedbackOption> FeedbackOptions() { return kFeedbackOptions; }

const char* ControlOfFeedback(std::string_view name) {
  const FeedbackOptionSpec* o = FeedbackOptionOfName(name);
  return o ? o->control : nullptr;
}

std::variant<Project, std::string> ParseProject(std::string_view json) {
  const Json doc = Json::parse(json.begin(), json.end(), nullptr, false);
  if (doc.is_discarded()) return std::string("Il file di progetto non è JSON valido");
  const auto format = doc.is_object() ? doc.find("format") : doc.end();
  if (format == doc.end() || *format != kProjectFormat)
    return std::string("Il file non è un progetto di Adattamento BJT");
  const auto version = doc.find("version");
  if (version == doc.end() || !version->is_number_integer() || *version < 1)
    return std::string("Il progetto non dice la sua versione");
  if (*version > kProjectVersion)
    return "Il progetto viene da una versione più recente del programma (formato " +
           version->dump() + "; questa legge il formato " + std::to_string(kProjectVersion) + ")";

  std::variant<Project, std::string> result = Project{};
  if (const auto fields = doc.find("fields"); fields != doc.end())
    result = ReadFields(*fields, std::get<Project>(std::move(result)));
  if (auto* project = std::get_if<Project>(&result)) {
    if (const auto feedback = doc.find("feedback"); feedback != doc.end() && !feedback->is_null()) {
      if (!feedback->is_string() || !ControlOfFeedback(feedback->get_ref<const std::string&>()))
        return "Nel progetto la retroazione " + feedback->dump() +
               " non è una di \"Rf\", \"Rf//Lf\", \"Rf//Cf\", \"nessuna\"";
      project->feedback = feedback->get<std::string>();
    }
    if (const auto target = doc.find("lowNoise"); target != doc.end() && !target->is_null()) {
      if (!target->is_string()) return std::string("Nel progetto \"lowNoise\" non è un testo");
      project->lowNoiseTarget = target->get<std::string>();
    }
    if (const auto ref = doc.find("touchstone"); ref != doc.end() && !ref->is_null())
      result = ReadTouchstoneRef(*ref, std::move(*project));
  }
  if (auto* project = std::get_if<Project>(&result))
    if (const auto noise = doc.find("noise"); noise != doc.end() && !noise->is_null())
      result = ReadNoise(*noise, std::move(*project));
  return result;
}

std::variant<Project, std::string> ReadProjectFile(const std::string& path) {
  std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(path.c_str(), "rb"), &std::fclose);
  if (!file) return std::string("Impossibile aprire il progetto \"" + path + "\"");
  std::string text;
  char buffer[65536];
  for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, file.get())) > 0;) {
    text.append(buffer, n);
    if (text.size() > kMaxProjectBytes) return std::string("Il file \"" + path + "\" è troppo grande per un progetto");
  }
  if (std::ferror(file.get())) return std::string("Errore di lettura del progetto \"" + path + "\"");
  std::variant<Project, std::string> project = ParseProject(text);
  if (auto* p = std::get_if<Project>(&project); p && p->touchstone)
    p->touchstone->path = ResolvedLinkedPath(path, p->touchstone->path);
  return project;
}

std::variant<std::string, ProjectError> SerializeProject(const Project& project) {
  nlohmann::ordered_json doc;
  doc["format"] = kProjectFormat;
  doc["version"] = project.noise || project.lowNoiseTarget ? kProjectVersion : 1;
  doc["fields"] = nlohmann::ordered_json::object();
  for (const auto& [key, text] : project.fields)
    if (!ControlOfFieldKey(key)) return ProjectError{"Campo sconosciuto \"" + key + "\""};
  // In the window's order, so that the file reads like the form.
  for (const auto& k : kQuantities) {
    const auto it = project.fields.find(k.key);
    if (it == project.fields.end()) continue;
    if (HasLoneSurrogate(it->second))
      return ProjectError{std::string("Il campo ") + k.control +
                          " contiene un carattere non valido (un surrogato UTF-16 isolato) e il progetto "
                          "non può conservarlo: correggi il testo e salva di nuovo"};
    doc["fields"][k.key] = Utf16ToUtf8(it->second);
  }
  if (project.feedback && !ControlOfFeedback(*project.feedback))
    return ProjectError{"Retroazione sconosciuta \"" + *project.feedback + "\""};
  doc["feedback"] = project.feedback ? nlohmann::ordered_json(*project.feedback) : nullptr;
  if (project.touchstone) {
    if (!std::isfinite(project.touchstone->fMHz))
      return ProjectError{"La frequenza del file Touchstone non è un numero valido"};
    doc["touchstone"] = {{"path", project.touchstone->path}, {"fMHz", project.touchstone->fMHz}};
  }
  if (project.noise) {
    doc["noise"] = nlohmann::ordered_json::object();
    for (const auto& k : kNoiseKeys) {
      const double value = (*project.noise).*k.field;
      if (!std::isfinite(value)) return ProjectError{"I dati di rumore del progetto non sono numeri validi"};
      doc["noise"][k.key] = value;
    }
  }
  if (project.lowNoiseTarget) doc["lowNoise"] = *project.lowNoiseTarget;
  try {
    return doc.dump(2) + "\n";
  } catch (const nlohmann::json::type_error&) {
    // Only the path can hold bytes that are not UTF-8.
    return ProjectError{"Il percorso del file Touchstone non è un testo UTF-8 valido"};
  }
}

std::optional<std::string> WriteProjectFile(const std::string& path, const Project& project) {
  Project stored = project;
  if (stored.touchstone) stored.touchstone->path = StoredLinkedPath(path, stored.touchstone->path);
  const auto json = SerializeProject(stored);
  if (const auto* error = std::get_if<ProjectError>(&json)) return error->message;
  return WriteFileAtomically(path, std::get<std::string>(json));
}
