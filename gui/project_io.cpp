#include "gui/project_io.h"

#include <QAbstractButton>
#include <QFileInfo>

#include "gui/noise_settings.h"
#include "forms/services.h"
#include "gui/low_noise_window.h"
#include "gui/qt_ui.h"

namespace {

std::string Named(const QString& path, const std::string& message) {
  if (message.find(path.toStdString()) != std::string::npos) return message;
  return QFileInfo(path).fileName().toStdString() + ": " + message;
}

}  // namespace

Project ProjectOfInputWindow(std::optional<TouchstoneRef> touchstone) {
  Project project;
  for (const ProjectFieldKey& k : ProjectFieldKeys()) project.fields[k.key] = ReadText(FormId::Form1, k.control);
  for (const FeedbackOption& o : FeedbackOptions())
    if (IsOptionSelected(FormId::Form1, o.control)) project.feedback = o.name;
  project.touchstone = std::move(touchstone);
  if (const auto& typed = CurrentNoiseSettings().typed)
    project.noise = ProjectNoise{typed->nfMinDb, typed->gammaOptMag, typed->gammaOptDeg, typed->rnOhm};
  project.lowNoiseTarget = ChosenLowNoiseTarget();
  return project;
}

void ApplyProjectToInputWindow(const Project& project) {
  // The typed noise data belong to the project as the texts do.
  std::optional<NoiseEntry> typed;
  if (project.noise)
    typed = NoiseEntry{project.noise->nfMinDb, project.noise->gammaOptMag, project.noise->gammaOptDeg,
                       project.noise->rnOhm};
  SetTypedNoise(typed);
  SetChosenLowNoiseTarget(project.lowNoiseTarget);
  for (const auto& [key, text] : project.fields)
    if (const char* control = ControlOfFieldKey(key)) SetText(FormId::Form1, control, text);
  if (!project.feedback) {
    for (const FeedbackOption& o : FeedbackOptions()) ClearOption(FormId::Form1, o.control);
    return;
  }
  // A real click: the option's display action runs as it does for the user.
  if (auto* option = qobject_cast<QAbstractButton*>(FindControl(FormId::Form1, ControlOfFeedback(*project.feedback))))
    option->click();
}

std::optional<Project> LoadProjectFile(const QString& path) {
  auto read = ReadProjectFile(path.toStdString());
  if (const auto* message = std::get_if<std::string>(&read)) {
    ShowMessage(Named(path, *message));
    return std::nullopt;
  }
  if (!FormWidget(FormId::Form1)) ShowForm(FormId::Form1);
  ApplyProjectToInputWindow(std::get<Project>(read));
  return std::get<Project>(std::move(read));
}

bool StoreProjectFile(const QString& path, std::optional<TouchstoneRef> touchstone) {
  const auto error = WriteProjectFile(path.toStdString(), ProjectOfInputWindow(std::move(touchstone)));
  if (error) {
    ShowMessage(Named(path, *error));
    return false;
  }
  return true;
}
