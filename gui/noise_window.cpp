#include "gui/noise_window.h"

#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "figures/figure.h"
#include "gui/low_noise_window.h"
#include "gui/noise_settings.h"
#include "gui/qt_ui.h"

namespace {

QLineEdit* Field(const char* name, const QString& accessible) {
  auto* edit = new QLineEdit;
  edit->setObjectName(QString::fromLatin1(name));
  edit->setAccessibleName(accessible);
  edit->setMaximumWidth(140);
  return edit;
}

QString Shown(double x) { return QString::fromStdString(FormatSignificant(x, 10)); }

}  // namespace

NoiseWindow::NoiseWindow(AnalysedDesign design, QWidget* parent)
    : QWidget(parent, Qt::Window), design_(std::move(design)) {
  setObjectName(QStringLiteral("NoiseWindow"));
  setWindowTitle(QStringLiteral("Rumore — ") + design_.caption);
  origin_ = new QLabel;
  origin_->setObjectName(QStringLiteral("origin"));
  summary_ = new QLabel;
  summary_->setObjectName(QStringLiteral("summary"));
  summary_->setWordWrap(true);
  summary_->setTextInteractionFlags(Qt::TextSelectableByMouse);
  summary_->setAccessibleName(QStringLiteral("rumore alla frequenza di progetto"));
  lowNoise_ = new QPushButton(QStringLiteral("Progetta per basso rumore…"));
  lowNoise_->setObjectName(QStringLiteral("lowNoiseDesign"));
  auto* designRow = new QHBoxLayout;
  designRow->addWidget(lowNoise_);
  designRow->addStretch();

  nfMin_ = Field("nfMin", QStringLiteral("NFmin [dB]"));
  gammaMag_ = Field("gammaOptMag", QStringLiteral("modulo di Γopt"));
  gammaDeg_ = Field("gammaOptDeg", QStringLiteral("angolo di Γopt [°]"));
  rn_ = Field("rn", QStringLiteral("Rn [ohm]"));
  auto* form = new QFormLayout;
  form->addRow(QStringLiteral("NFmin [dB]"), nfMin_);
  form->addRow(QStringLiteral("|Γopt|"), gammaMag_);
  form->addRow(QStringLiteral("Angolo di Γopt [°]"), gammaDeg_);
  form->addRow(QStringLiteral("Rn [ohm]"), rn_);
  auto* apply = new QPushButton(QStringLiteral("Applica"));
  apply->setObjectName(QStringLiteral("applyNoise"));
  auto* fromFile = new QPushButton(QStringLiteral("Usa i dati del file"));
  fromFile->setObjectName(QStringLiteral("useFileNoise"));
  fromFile->setToolTip(QStringLiteral("Dimentica i dati inseriti a mano"));
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(apply);
  buttons->addWidget(fromFile);
  buttons->addStretch();
  auto* box = new QGroupBox(QStringLiteral("Dati di rumore del transistor a f, inseriti a mano (Γopt riferito a Ro)"));
  auto* boxLayout = new QVBoxLayout(box);
  boxLayout->addLayout(form);
  boxLayout->addLayout(buttons);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(origin_);
  layout->addWidget(summary_);
  layout->addLayout(designRow);
  layout->addWidget(box);
  layout->addStretch();
  setMinimumSize(480, 360);
  resize(FittedSize(QSize(720, 420)));

  connect(apply, &QPushButton::clicked, this, [this] { applyTyped(); });
  for (QLineEdit* edit : {nfMin_, gammaMag_, gammaDeg_, rn_})
    connect(edit, &QLineEdit::returnPressed, this, [this] { applyTyped(); });
  connect(fromFile, &QPushButton::clicked, this, [this] { useFileData(); });
  connect(lowNoise_, &QPushButton::clicked, this, [this] { openLowNoiseDesign(); });
  OnNoiseSettingsChanged(this, [this] { refresh(); });
  showTyped();
  refresh();
}

QString NoiseWindow::summary() const { return summary_->text(); }

void NoiseWindow::refresh() {
  AmplifierDesign d = design_.design;
  d.losses = CurrentNoiseSettings().losses;
  const NoiseSource noise = NoiseSourceOf(design_.source, d.Ro);
  const std::string origin = NoiseOriginOf(design_.source);
  QString originText = QString::fromStdString(origin);
  if (!originText.isEmpty()) originText[0] = originText[0].toUpper();
  origin_->setText(origin.empty() ? QStringLiteral("Né il file né i campi qui sotto danno dati di rumore:")
                                  : originText + QStringLiteral(":"));
  QStringList lines;
  for (const std::string& line : NoiseSummaryLines(d, noise)) lines << QString::fromStdString(line);
  if (!d.losses.ideal()) lines << QStringLiteral("Con le perdite degli elementi delle reti (Q dalla risposta in frequenza)");
  summary_->setText(lines.join(QLatin1Char('\n')));
  // Without noise data at f there is nothing to design from: say so where
  // the user looks, rather than after a press.
  const bool hasNoise = TransistorNoiseOf(design_.source).has_value();
  lowNoise_->setEnabled(hasNoise);
  lowNoise_->setToolTip(hasNoise
                            ? QStringLiteral("Sceglie la sorgente per il minimo rumore o per un compromesso "
                                             "rumore/guadagno, con questi dati di rumore")
                            : QStringLiteral("Servono dati di rumore a questa frequenza: dal file Touchstone "
                                             "o inseriti qui sotto"));
}

QWidget* NoiseWindow::openLowNoiseDesign() { return OpenLowNoiseWindow(design_.form, design_.source); }

void NoiseWindow::showTyped() {
  const std::optional<NoiseEntry>& typed = CurrentNoiseSettings().typed;
  if (!typed) return;
  nfMin_->setText(Shown(typed->nfMinDb));
  gammaMag_->setText(Shown(typed->gammaOptMag));
  gammaDeg_->setText(Shown(typed->gammaOptDeg));
  rn_->setText(Shown(typed->rnOhm));
}

bool NoiseWindow::applyTyped() {
  double values[4];
  QLineEdit* const edits[4] = {nfMin_, gammaMag_, gammaDeg_, rn_};
  const char* const names[4] = {"NFmin", "|Γopt|", "L'angolo di Γopt", "Rn"};
  for (int i = 0; i < 4; ++i) {
    const std::optional<double> v = ReadNumberText(edits[i]);
    if (!v) {
      ShowMessage(std::string(names[i]) + " non è un numero");
      edits[i]->setFocus();
      edits[i]->selectAll();
      return false;
    }
    values[i] = *v;
  }
  const NoiseEntry entry{values[0], values[1], values[2], values[3]};
  const auto checked = NoiseOfEntry(entry, design_.design.Ro);
  if (const auto* message = std::get_if<std::string>(&checked)) {
    ShowMessage(*message);
    return false;
  }
  SetTypedNoise(entry);
  return true;
}

void NoiseWindow::useFileData() { SetTypedNoise(std::nullopt); }
