#include "gui/copy_results.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QLabel>

#include "forms/result_table.h"
#include "gui/menus.h"
#include "gui/qt_ui.h"

QString ResultsText(FormId form) {
  const std::vector<ResultRow> rows =
      ResultRows(form, [form](const char* box) -> std::optional<std::string> {
        auto* label = qobject_cast<QLabel*>(FindControl(form, box));
        if (!label || label->isHidden()) return std::nullopt;
        return label->text().toStdString();
      });
  return QString::fromStdString(ResultTableText(rows));
}

void CopyResults(FormId form) { QGuiApplication::clipboard()->setText(ResultsText(form)); }

void RegisterComfortMenus() {
  AddMenuEntry({FormId::Form2, FormId::Form3, FormId::Form4, FormId::Form5},
               {QStringLiteral("Modifica/Copia risultati"), QKeySequence(QStringLiteral("Ctrl+Shift+C")),
                CopyResults, [](FormId form) { return !ResultsText(form).isEmpty(); }});
}
