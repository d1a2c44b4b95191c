#include "gui/smith_window.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "export/exports.h"
#include "figures/response_figure.h"
#include "gui/figure_view.h"
#include "gui/low_noise_window.h"
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
  pickHint_ = new QLabel(QStringLiteral("Clic sulla carta: progetto a basso rumore con questo Γs"));
  pickHint_->setObjectName(QStringLiteral("pickHint"));
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
  view_->setHoverReadout([this](int, FigPoint at) { return SmithReadoutText(at, chart_.r0); });
  auto* second = new QHBoxLayout;
  second->addWidget(noiseCircles_);
  second->addSpacing(12);
  second->addWidget(pickHint_);
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
  connect(noiseCircles_, &QCheckBox::toggled, this, [this] {
    updatePicking();
    redraw();
  });
  connect(view_, &FigureView::clickedAt, this, [this](int, double x, double y) { pickSource(x, y); });
  connect(png, &QPushButton::clicked, this,
          [this] { ExportFigure(this, figure(), QSize(820, 860), ImageFormat::Png, fileBase()); });
  connect(svg, &QPushButton::clicked, this,
          [this] { ExportFigure(this, figure(), QSize(820, 860), ImageFormat::Svg, fileBase()); });
  // Noise data typed in a noise window, or a Q, change the circles.
  OnNoiseSettingsChanged(this, [this] {
    updateSourcePlane();
    updatePicking();
    redraw();
  });
  updatePicking();
  redraw();
}

void SmithWindow::updateSourcePlane() {
  sourcePlane_ = SourcePlaneOf(design_.design, NoiseSourceOf(design_.source, design_.design.Ro));
  noiseCircles_->setEnabled(sourcePlane_.has_value());
  noiseCircles_->setToolTip(sourcePlane_ ? QStringLiteral("Γopt, NFmin + 0.25, 0.5, 1 e 2 dB e cerchi di guadagno "
                                                          "disponibile del transistor con la reazione, nel piano "
                                                          "della sorgente")
                                         : QString::fromUtf8(kNoNoiseData));
}

bool SmithWindow::picking() const { return noiseCircles_->isChecked() && sourcePlane_.has_value(); }

// The hint and the cross pointer only while a click does something.
void SmithWindow::updatePicking() {
  pickHint_->setVisible(picking());
  view_->setCursor(picking() ? Qt::CrossCursor : Qt::ArrowCursor);
}

void SmithWindow::followDesignsOf(LowNoiseWindow* window) {
  lowNoise_ = window;
  connect(window, &LowNoiseWindow::designed, this, [this] {
    std::optional<AnalysedDesign> design = lowNoise_ ? lowNoise_->analysed() : std::nullopt;
    std::optional<SmithChart> chart = design ? SmithChartOf(design->design) : std::nullopt;
    if (chart) showDesign(std::move(*design), std::move(*chart));
  });
}

void SmithWindow::showDesign(AnalysedDesign design, SmithChart chart) {
  design_ = std::move(design);
  chart_ = std::move(chart);
  sweep_.reset();
  setWindowTitle(QStringLiteral("Carta di Smith — ") + design_.caption);
  updateSourcePlane();
  updatePicking();
  redraw();
}

QString SmithWindow::fileBase() const {
  return QStringLiteral("smith_") +
         QString::fromStdString(DesignFileStem(design_.design, design_.source.touchstonePath));
}

void SmithWindow::pickSource(double x, double y) {
  if (!picking()) return;
  const std::optional<LowNoiseTarget> target = PickedSourceTarget(Cx(x, y));
  if (!target) return;
  if (!lowNoise_) {
    lowNoise_ = OpenLowNoiseWindow(design_.form, design_.source, *target);
    return;
  }
  lowNoise_->designFor(*target);
  lowNoise_->raise();
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
