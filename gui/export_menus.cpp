#include "gui/export_menus.h"

#include <optional>

#include "analysis/amplifier.h"
#include "export/exports.h"
#include "forms/result_commands.h"
#include "gui/design_store.h"
#include "gui/dialogs.h"
#include "gui/menus.h"
#include "gui/qt_ui.h"

namespace {

bool HasDesign(FormId form) { return DesignOfWindow(form) != nullptr; }

// The design the window shows, as its compute command left it.
std::optional<AmplifierDesign> ShownDesign(FormId form, const WindowDesign*& stored) {
  stored = DesignOfWindow(form);
  if (!stored) {
    ShowMessage("Calcolare prima le reti di adattamento in questa finestra");
    return std::nullopt;
  }
  std::optional<AmplifierDesign> design = CaptureDesign(form, stored->state);
  if (!design) ShowMessage("Il progetto di questa finestra non si può esportare: ricalcolare le reti di adattamento");
  return design;
}

std::optional<std::string> AskPath(FormId form, const QString& title, const QString& filter,
                                   const QString& suggested) {
  const std::optional<QString> path = AskSaveFileName(FormFrame(form), title, filter, suggested);
  if (!path) return std::nullopt;
  return path->toStdString();
}

void ExportTouchstone(FormId form) {
  const WindowDesign* stored = nullptr;
  const std::optional<AmplifierDesign> design = ShownDesign(form, stored);
  if (!design) return;
  const auto path = AskPath(form, QStringLiteral("Touchstone dell'amplificatore"),
                            QStringLiteral("File Touchstone (*.s2p)"), QStringLiteral("amplificatore.s2p"));
  if (!path) return;
  if (auto error = ExportAmplifierTouchstone(*design, stored->touchstone.get(), std::nullopt, *path))
    ShowMessage(*error);
}

void ExportSpice(FormId form) {
  const WindowDesign* stored = nullptr;
  const std::optional<AmplifierDesign> design = ShownDesign(form, stored);
  if (!design) return;
  const auto path = AskPath(form, QStringLiteral("Schema SPICE"), QStringLiteral("Schemi ngspice (*.cir)"),
                            QStringLiteral("amplificatore.cir"));
  if (!path) return;
  if (auto error = ExportSpiceNetlist(*design, *path)) ShowMessage(*error);
}

}  // namespace

void RegisterExportMenus() {
  const auto forms = {FormId::Form2, FormId::Form3, FormId::Form4, FormId::Form5};
  AddMenuEntry(forms, {QStringLiteral("Esporta/Touchstone dell'amplificatore…"), QKeySequence(),
                       ExportTouchstone, HasDesign,
                       QString::fromUtf8(kWaitsForCompute)});
  AddMenuEntry(forms, {QStringLiteral("Esporta/Schema SPICE…"), QKeySequence(), ExportSpice, HasDesign,
                       QString::fromUtf8(kWaitsForCompute)});
}
