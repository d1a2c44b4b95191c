#pragma once
// The one painter of plots and Smith charts (figures/figure.h), and a widget that
// shows a figure with a readout of the point under the pointer.
#include <QPixmap>
#include <QRectF>
#include <QString>
#include <QWidget>

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "figures/figure.h"

class QPainter;

// Paints the figure into the area, on whatever the painter draws on (a
// widget, an image, an SVG, a PDF page). Sizes are in the painter's logical
// pixels, so a device pixel ratio of 2 only sharpens it.
void PaintFigure(QPainter& painter, const Figure& figure, QRectF area);

// Where the painter puts every label of the figure's panels at this size
// (names, marker names, circle names, grid values, the names of bands and
// lines, legends): the boxes, in the figure's pixels, no two of which may
// overlap. A name with no free place near what it names is left out.
std::vector<QRectF> FigureLabelBoxes(const Figure& figure, QSizeF size);

// The smallest font size, in pixels, the painter takes for the figure's
// title, notes and axis titles at this size so that each fits whole (it
// writes a line smaller rather than cut it; a y-axis title goes on two lines
// first, in the column its real metrics and the tick values leave); 0 when
// one does not fit even so.
double FigureLeastTextPixels(const Figure& figure, QSizeF size);

// The figure as PNG or SVG bytes at a logical size; empty on failure.
QByteArray FigurePng(const Figure& figure, QSize size, qreal devicePixelRatio = 2);
QByteArray FigureSvg(const Figure& figure, QSize size, const QString& title);

// The text shown for a data point of a panel; empty shows nothing.
using HoverReadout = std::function<std::string(int panel, FigPoint data)>;

class FigureView : public QWidget {
  Q_OBJECT
 public:
  explicit FigureView(QWidget* parent = nullptr);

  void setFigure(Figure figure);
  const Figure& figure() const { return figure_; }
  void setHoverReadout(HoverReadout readout);
  // What the pointer at this widget position reads (also used by tests).
  QString readoutAt(QPointF position) const;
  QString currentReadout() const { return readout_; }

  QSize minimumSizeHint() const override;
  QSize sizeHint() const override;

 signals:
  // A click with the left button on a panel, in its data coordinates.
  void clickedAt(int panel, double x, double y);

 protected:
  void mousePressEvent(QMouseEvent* event) override;
  void paintEvent(QPaintEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void leaveEvent(QEvent* event) override;

 private:
  Figure figure_;
  // The figure painted once per figure, size and pixel ratio: the pointer's
  // readout repaints over a copy, not the whole figure at every move.
  QPixmap painted_;
  HoverReadout hover_;
  std::optional<QPointF> pointer_;
  QString readout_;
};
