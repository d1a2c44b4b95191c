#include "gui/smith_window.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "export/exports.h"
#include "figures/response_figure.h"
#include "gui/figure_view.h"
#include "gui/noise_settings.h"

SmithWindow::SmithWindow(AnalysedDesign design, SmithChart chart, QWidget* parent)
    : QWidget(parent, Qt::Window), design_(std::move(design)), chart_(std::move(chart)) {
  setObjectName(QStringLiteral("SmithWindow"));
  setWindowTitle(QStringLiteral("Carta di Smith — ") + design_.caption);

  reflection_ = new QCheckBox(QStringLiteral("Ingresso dell'amplificatore nella scansione"));
  reflection_->setObjectName(QStringLiteral("inputReflection"));
  circles_ = new QCheckBox(QStringLiteral("Cerchi di stabilità"));
  circles_->setObjectName(QStringLiteral("stabilityCircles"));
  noiseCircles_ = new QCheckBox(QStringLiteral("Cerchi di rumore e di guadagno"));
  noiseCircles_->setObjectName(QStringLiteral("noiseCircles"));
  updateSourcePlane();
  auto* png = new QPushButton(QStringLiteral("PNG…"));
  png->setObjectName(QStringLiteral("exportPng"));
  auto* svg = new QPushButton(QStringLiteral("SVG…"));
  svg->setObjectName(QStringLiteral("exportSvg"));
  auto* options = new QHBoxLayout;
  options->addWidget(reflection_);
  options->addWidget(circles_);
  options->addStretch();
  options->addWidget(new QLabel(QStringLiteral("Esporta:")));
  options->addWidget(png);
  options->addWidget(svg);

  view_ = new FigureView;
  view_->setObjectName(QStringLiteral("figure"));
  view_->setAccessibleName(QStringLiteral("carta di Smith"));
  const double r0 = chart_.r0;
  view_->setHoverReadout([r0](int, FigPoint at) { return SmithReadoutText(at, r0); });
  auto* second = new QHBoxLayout;
  second->addWidget(noiseCircles_);
  second->addStretch();
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(options);
  layout->addLayout(second);
  layout->addWidget(view_, 1);
  circles_->setToolTip(QStringLiteral("Del transistor con la reazione, alla frequenza di progetto"));
  // No narrower than the options' row needs, so no caption is cut; as high
  // as a 1600 x 1000 screen at scale 2 allows, for the chart and its three
  // notes under it.
  setMinimumSize(minimumSizeHint().expandedTo(QSize(480, 470)));
  resize(FittedSize(QSize(820, 880)));

  connect(reflection_, &QCheckBox::toggled, this, [this] { redraw(); });
  connect(circles_, &QCheckBox::toggled, this, [this] { redraw(); });
  connect(noiseCircles_, &QCheckBox::toggled, this, [this] { redraw(); });
  const QString base = QStringLiteral("smith_") +
                       QString::fromStdString(DesignFileStem(design_.design, design_.source.touchstonePath));
  connect(png, &QPushButton::clicked, this,
          [this, base] { ExportFigure(this, figure(), QSize(820, 860), ImageFormat::Png, base); });
  connect(svg, &QPushButton::clicked, this,
          [this, base] { ExportFigure(this, figure(), QSize(820, 860), ImageFormat::Svg, base); });
  // Noise data typed in a noise window, or a Q, change the circles.
  listener_ = OnNoiseSettingsChanged([this] {
    updateSourcePlane();
    redraw();
  });
  redraw();
}

SmithWindow::~SmithWindow() { DropNoiseSettingsListener(listener_); }

void SmithWindow::updateSourcePlane() {
  sourcePlane_ = SourcePlaneOf(design_.design, NoiseSourceOf(design_.source, design_.design.Ro));
  noiseCircles_->setEnabled(sourcePlane_.has_value());
  noiseCircles_->setToolTip(sourcePlane_ ? QStringLiteral("Γopt, NFmin + 0.25, 0.5, 1 e 2 dB e cerchi di guadagno "
                                                          "disponibile del transistor con la reazione, nel piano "
                                                          "della sorgente")
                                         : QString::fromUtf8(kNoNoiseData));
}

const Figure& SmithWindow::figure() const { return view_->figure(); }

// The sweep the response window starts with.
const SweepResult& SmithWindow::inputSweep() {
  if (!sweep_) {
    const SweepSource source = DefaultSweepSource(design_.design, design_.source.touchstone);
    sweep_ = RunSweep(design_.design, source.transistor, source.plan);
  }
  return *sweep_;
}

void SmithWindow::redraw() {
  view_->setFigure(BuildSmithFigure({.design = &design_.design, .chart = &chart_,
                                     .caption = design_.caption.toStdString(),
                                     .inputReflection = reflection_->isChecked() ? &inputSweep() : nullptr,
                                     .stabilityCircles = circles_->isChecked(),
                                     .sourcePlane = noiseCircles_->isChecked() && sourcePlane_ ? &*sourcePlane_ : nullptr}));
}
