#include "gui/status_lines.h"

#include <QApplication>
#include <QEvent>
#include <QLineEdit>
#include <QVariant>

#include "analysis/file_stability.h"
#include "forms/field_check.h"
#include "gui/design_store.h"
#include "gui/program.h"
#include "gui/qt_ui.h"
#include "text/number_text.h"

namespace {

void ShowDesignLine(FormId form) {
  if (form == FormId::Form1) return;
  const WindowDesign* design = DesignOfWindow(form);
  if (!design) return SetStatusLine(form, QString());
  std::optional<FileStability> across;
  if (design->touchstone && !design->touchstone->records.empty())
    across = StabilityAcrossFile(*design->touchstone, design->state.Ro, FeedbackOfState(design->state));
  const bool warning = across && !across->withFeedback.empty();
  SetStatusLine(form, QString::fromStdString(DesignStabilityLine(design->state, across ? &*across : nullptr)), warning);
}

const char* const kOwnToolTip = "bjtOwnToolTip";

// The field's tooltip says how a text that is not one plain number is read;
// the text itself stays as typed.
void SayReading(QLineEdit* field) {
  if (!field->property(kOwnToolTip).isValid()) field->setProperty(kOwnToolTip, field->toolTip());
  const std::optional<double> read = NonPlainReading(field->text().toStdU16String());
  const QString own = field->property(kOwnToolTip).toString();
  if (!read) return field->setToolTip(own);
  const QString said = QStringLiteral("«%1» è letto come %2: conta soltanto il numero iniziale")
                           .arg(field->text(), QString::fromStdString(ShortestNumberText(*read)));
  field->setToolTip(own.isEmpty() ? said : own + QStringLiteral("\n") + said);
}

// Watches the input window's fields from the moment it is shown.
class ReadingWatcher : public QObject {
 public:
  using QObject::QObject;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() != QEvent::Show || watched != FormFrame(FormId::Form1)) return false;
    QWidget* client = FormWidget(FormId::Form1);
    if (!client || client->property("bjtReadingsWatched").toBool()) return false;
    client->setProperty("bjtReadingsWatched", true);
    for (QLineEdit* field : client->findChildren<QLineEdit*>(QString(), Qt::FindDirectChildrenOnly)) {
      SayReading(field);
      QObject::connect(field, &QLineEdit::textChanged, field, [field] { SayReading(field); });
    }
    return false;
  }
};

}  // namespace

void RegisterStatusLines() {
  OnWindowDesignChanged(ShowDesignLine);
  qApp->installEventFilter(new ReadingWatcher(&Program()));
}
