#include "gui/figure_view.h"

#include "model/arithmetic.h"

#include <QBuffer>
#include <QFont>
#include <QFontMetricsF>
#include <QImage>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QSvgGenerator>

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

const QColor kInk(30, 30, 30);
const QColor kTickGrid(226, 226, 226);
const QColor kFrameColour(90, 90, 90);
constexpr qreal kMarkerRadius = 4.5;

QColor ColourOf(Rgb c) { return QColor(c.r, c.g, c.b); }
QString Text(const std::string& s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }
QPointF PointF(FigPoint p) { return QPointF(p.x, p.y); }

QFont FigureFont(double pixels, bool bold = false) {
  QFont font(QStringLiteral("Liberation Sans"));
  font.setStyleHint(QFont::SansSerif);
  font.setPixelSize(static_cast<int>(pixels));
  font.setBold(bold);
  return font;
}

Qt::PenStyle PenStyleOf(Stroke stroke) {
  switch (stroke) {
    case Stroke::Dashed: return Qt::DashLine;
    case Stroke::Dotted: return Qt::DotLine;
    default: return Qt::SolidLine;
  }
}

QPen CurvePen(Rgb colour, double width, Stroke stroke) {
  QPen pen(ColourOf(colour), width, PenStyleOf(stroke), Qt::RoundCap, Qt::RoundJoin);
  return pen;
}

QRectF RectOf(const PlotFrame& f) { return QRectF(f.left, f.top, f.width, f.height); }

// A long piece keeps, in each half-pixel column, its first and last point
// and its lowest and highest: the same picture as every point gives, at the
// cost of a few points a column (a sweep of 100001 points paints at once).
void AddDecimated(QPainterPath& path, const std::vector<QPointF>& points) {
  std::size_t i = 0;
  while (i < points.size()) {
    const double column = std::floor(points[i].x() * 2);
    std::size_t end = i, low = i, high = i;
    while (end < points.size() && std::floor(points[end].x() * 2) == column) {
      if (points[end].y() < points[low].y()) low = end;
      if (points[end].y() > points[high].y()) high = end;
      ++end;
    }
    std::size_t keep[] = {i, std::min(low, high), std::max(low, high), end - 1};
    for (std::size_t k : keep) {
      if (path.elementCount() == 0) path.moveTo(points[k]);
      else path.lineTo(points[k]);
    }
    i = end;
  }
}

// A piece as a path; a one-point piece becomes a dot so it stays visible.
void DrawPiece(QPainter& p, const Panel& panel, const PlotFrame& frame, const std::vector<FigPoint>& piece) {
  if (piece.size() == 1) {
    if (const auto pixel = ToPixel(panel, frame, piece.front())) {
      p.save();
      p.setBrush(p.pen().color());
      p.drawEllipse(PointF(*pixel), p.pen().widthF(), p.pen().widthF());
      p.restore();
    }
    return;
  }
  QPainterPath path;
  std::vector<QPointF> run;
  const auto flush = [&] {
    if (run.size() > 4 * static_cast<std::size_t>(frame.width + 1)) {
      QPainterPath part;
      AddDecimated(part, run);
      path.addPath(part);
    } else if (!run.empty()) {
      path.moveTo(run.front());
      for (std::size_t k = 1; k < run.size(); ++k) path.lineTo(run[k]);
    }
    run.clear();
  };
  for (const FigPoint& point : piece) {
    const auto pixel = ToPixel(panel, frame, point);
    if (pixel) run.push_back(PointF(*pixel));
    else flush();
  }
  flush();
  p.drawPath(path);
}

void DrawCurves(QPainter& p, const Panel& panel, const PlotFrame& frame, const std::vector<Curve>& curves) {
  p.setBrush(Qt::NoBrush);
  for (const Curve& curve : curves) {
    p.setPen(CurvePen(curve.colour, curve.width, curve.stroke));
    for (const auto& piece : curve.pieces) DrawPiece(p, panel, frame, piece);
  }
}

void DrawBands(QPainter& p, const Panel& panel, const PlotFrame& frame) {
  for (const Band& band : panel.bands) {
    const auto from = ToPixel(panel, frame, {band.from, panel.y.min});
    const auto to = ToPixel(panel, frame, {band.to, panel.y.min});
    if (!from || !to) continue;
    QColor fill = ColourOf(band.colour);
    fill.setAlpha(60);
    // A band of one sweep step still shows as a thin stripe.
    const qreal left = std::min(from->x, to->x), width = std::max(std::fabs(to->x - from->x), 2.0);
    p.fillRect(QRectF(left, frame.top, width, frame.height), fill);
    if (!band.label.empty()) {
      p.setFont(FigureFont(kFigureSmallFontPx));
      p.setPen(ColourOf(band.colour).darker(140));
      p.drawText(QRectF(left + 3, frame.top + 2, std::max(width - 6, 120.0), kFigureSmallFontPx * 2.6),
                 Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap, Text(band.label));
    }
  }
}

// Every how many ticks a label is written: labels closer than `room`
// pixels would run into each other, as on a short panel. The grid lines stay.
using PlacedTicks = std::vector<std::pair<double, const Tick*>>;  // pixel, tick

std::size_t LabelStep(const PlacedTicks& ticks, double room) {
  double closest = std::numeric_limits<double>::infinity();
  for (std::size_t i = 1; i < ticks.size(); ++i)
    closest = std::min(closest, std::fabs(ticks[i].first - ticks[i - 1].first));
  if (!(closest < room)) return 1;
  return closest > 0 ? static_cast<std::size_t>(std::ceil(room / closest)) : ticks.size();
}

void DrawAxes(QPainter& p, const Panel& panel, const PlotFrame& frame, bool lastCartesian) {
  const QRectF rect = RectOf(frame);
  p.setFont(FigureFont(kFigureSmallFontPx));
  const QFontMetricsF metrics(p.font());
  PlacedTicks xs, ys;
  for (const Tick& tick : panel.x.ticks) {
    const auto at = ToPixel(panel, frame, {tick.value, panel.y.min});
    if (at && at->x >= rect.left() - 0.5 && at->x <= rect.right() + 0.5) xs.emplace_back(at->x, &tick);
  }
  for (const Tick& tick : panel.y.ticks) {
    const auto at = ToPixel(panel, frame, {panel.x.min, tick.value});
    if (at && at->y >= rect.top() - 0.5 && at->y <= rect.bottom() + 0.5) ys.emplace_back(at->y, &tick);
  }
  double widest = 0;
  for (const auto& [x, tick] : xs) widest = std::max(widest, metrics.horizontalAdvance(Text(tick->label)));
  const std::size_t xStep = LabelStep(xs, widest + 6), yStep = LabelStep(ys, metrics.height());
  for (std::size_t i = 0; i < xs.size(); ++i) {
    const double x = xs[i].first;
    p.setPen(QPen(kTickGrid, 1));
    p.drawLine(QPointF(x, rect.top()), QPointF(x, rect.bottom()));
    if (i % xStep != 0) continue;
    p.setPen(kInk);
    p.drawText(QRectF(x - 40, rect.bottom() + 3, 80, metrics.height()), Qt::AlignHCenter | Qt::AlignTop,
               Text(xs[i].second->label));
  }
  for (std::size_t i = 0; i < ys.size(); ++i) {
    const double y = ys[i].first;
    p.setPen(QPen(kTickGrid, 1));
    p.drawLine(QPointF(rect.left(), y), QPointF(rect.right(), y));
    if (i % yStep != 0) continue;
    p.setPen(kInk);
    p.drawText(QRectF(rect.left() - 48, y - metrics.height() / 2, 44, metrics.height()),
               Qt::AlignRight | Qt::AlignVCenter, Text(ys[i].second->label));
  }
  p.setFont(FigureFont(kFigureFontPx));
  p.setPen(kInk);
  if (lastCartesian || !panel.x.title.empty()) {
    p.drawText(QRectF(rect.left(), rect.bottom() + 4 + metrics.height(), rect.width(), kFigureFontPx * 1.6),
               Qt::AlignHCenter | Qt::AlignTop, Text(panel.x.title));
  }
  p.save();
  p.translate(rect.left() - 52, rect.center().y());
  p.rotate(-90);
  p.drawText(QRectF(-rect.height() / 2, -kFigureFontPx * 1.4, rect.height(), kFigureFontPx * 1.4),
             Qt::AlignCenter, Text(panel.y.title));
  p.restore();
}

void DrawVerticalLines(QPainter& p, const Panel& panel, const PlotFrame& frame) {
  p.setFont(FigureFont(kFigureSmallFontPx));
  for (const VerticalLine& line : panel.lines) {
    const auto at = ToPixel(panel, frame, {line.x, panel.y.min});
    if (!at) continue;
    p.setPen(CurvePen(line.colour, 1.2, line.stroke));
    p.drawLine(QPointF(at->x, frame.top), QPointF(at->x, frame.top + frame.height));
    if (!line.label.empty()) {
      p.setPen(ColourOf(line.colour));
      p.drawText(QRectF(at->x + 4, frame.top + frame.height - kFigureSmallFontPx * 1.6, 200, kFigureSmallFontPx * 1.4),
                 Qt::AlignLeft | Qt::AlignVCenter, Text(line.label));
    }
  }
}

void DrawCircles(QPainter& p, const Panel& panel, const PlotFrame& frame) {
  for (const Circle& circle : panel.circles) {
    const auto centre = ToPixel(panel, frame, circle.centre);
    const auto edge = ToPixel(panel, frame, {circle.centre.x + circle.radius, circle.centre.y});
    if (!centre || !edge) continue;
    const qreal radius = std::fabs(edge->x - centre->x);
    p.setPen(CurvePen(circle.colour, 1.5, circle.stroke));
    p.setBrush(Qt::NoBrush);
    const qreal reach = std::hypot(frame.width, frame.height);
    if (radius < 4 * reach) {
      p.drawEllipse(PointF(*centre), radius, radius);
    } else {
      // Far larger than the plot, only a short arc can be seen: drawn as a
      // polyline around the direction of the plot, a huge ellipse would
      // lose its precision.
      const QPointF middle = RectOf(frame).center() - PointF(*centre);
      const qreal towards = std::atan2(middle.y(), middle.x()), half = std::min(kPi, 2 * reach / radius);
      QPolygonF arc;
      for (int i = 0; i <= 256; ++i) {
        const qreal t = towards - half + 2 * half * i / 256;
        arc << PointF(*centre) + radius * QPointF(std::cos(t), std::sin(t));
      }
      p.drawPolyline(arc);
    }
    if (!circle.label.empty()) {
      // Named where the circle comes nearest the plot's middle, on the
      // middle's side, so the name shows even when most of it is off the plot.
      const QPointF towards = RectOf(frame).center() - PointF(*centre);
      const qreal distance = std::hypot(towards.x(), towards.y());
      const QPointF unit = distance > 1e-9 ? towards / distance : QPointF(0, -1);
      const QPointF at = PointF(*centre) + unit * radius + unit * (distance < radius ? -14 : 14);
      p.setFont(FigureFont(kFigureSmallFontPx));
      p.setPen(ColourOf(circle.colour));
      const QString text = Text(circle.label);
      const QFontMetricsF metrics(p.font());
      QRectF box(0, 0, metrics.horizontalAdvance(text) + 4, metrics.height() + 2);
      box.moveCenter(at);
      const QRectF inside = RectOf(frame);
      box.moveLeft(std::clamp(box.left(), inside.left(), std::max(inside.left(), inside.right() - box.width())));
      box.moveTop(std::clamp(box.top(), inside.top(), std::max(inside.top(), inside.bottom() - box.height())));
      p.drawText(box, Qt::AlignCenter, text);
    }
  }
}

void DrawMarkerSymbol(QPainter& p, QPointF at, MarkerShape shape, const QColor& colour) {
  p.setPen(QPen(colour, 1.6));
  switch (shape) {
    case MarkerShape::Dot:
      p.setBrush(colour);
      p.drawEllipse(at, kMarkerRadius, kMarkerRadius);
      break;
    case MarkerShape::Cross:
      p.drawLine(at + QPointF(-kMarkerRadius, -kMarkerRadius), at + QPointF(kMarkerRadius, kMarkerRadius));
      p.drawLine(at + QPointF(-kMarkerRadius, kMarkerRadius), at + QPointF(kMarkerRadius, -kMarkerRadius));
      break;
    case MarkerShape::Square:
      p.setBrush(Qt::white);
      p.drawRect(QRectF(at - QPointF(kMarkerRadius, kMarkerRadius), QSizeF(2 * kMarkerRadius, 2 * kMarkerRadius)));
      break;
    case MarkerShape::Diamond:
      p.setBrush(colour);
      p.drawPolygon(QPolygonF{at + QPointF(0, -kMarkerRadius - 1), at + QPointF(kMarkerRadius + 1, 0),
                              at + QPointF(0, kMarkerRadius + 1), at + QPointF(-kMarkerRadius - 1, 0)});
      break;
  }
}

void DrawMarkers(QPainter& p, const Panel& panel, const PlotFrame& frame) {
  for (const Marker& marker : panel.markers) {
    const auto at = ToPixel(panel, frame, marker.at);
    if (!at) continue;
    DrawMarkerSymbol(p, PointF(*at), marker.shape, ColourOf(marker.colour));
    if (!marker.label.empty()) {
      // On a pale ground, so curves passing behind do not cross the letters.
      p.setFont(FigureFont(kFigureSmallFontPx, true));
      const QFontMetricsF metrics(p.font());
      const QString text = Text(marker.label);
      const QRectF box(at->x + kMarkerRadius + 3, at->y - metrics.height() / 2 - 1,
                       metrics.horizontalAdvance(text) + 4, metrics.height() + 2);
      p.fillRect(box, QColor(255, 255, 255, 210));
      p.setPen(ColourOf(marker.colour));
      p.drawText(box, Qt::AlignCenter, text);
    }
  }
}

void DrawLetters(QPainter& p, const Panel& panel, const PlotFrame& frame) {
  for (const Lettering& letter : panel.letters) {
    const auto at = ToPixel(panel, frame, letter.at);
    if (!at) continue;
    p.setFont(FigureFont(letter.small ? kFigureSmallFontPx : kFigureFontPx, !letter.small));
    p.setPen(ColourOf(letter.colour));
    p.drawText(QRectF(at->x - 80, at->y - 12, 160, 24), Qt::AlignCenter, Text(letter.text));
  }
}

void DrawLegend(QPainter& p, const Panel& panel, const PlotFrame& frame) {
  std::vector<const Curve*> named;
  for (const Curve& curve : panel.curves)
    if (!curve.name.empty()) named.push_back(&curve);
  if (named.empty()) return;
  p.setFont(FigureFont(kFigureSmallFontPx));
  const QFontMetricsF metrics(p.font());
  qreal textWidth = 0;
  for (const Curve* curve : named) textWidth = std::max(textWidth, metrics.horizontalAdvance(Text(curve->name)));
  const qreal row = metrics.height() + 2, sample = 22;
  const qreal height = row * static_cast<qreal>(named.size()) + 6;
  // In a panel too short for it the box rises into the room above rather
  // than cover the tick labels below.
  const qreal top = height + 12 <= frame.height ? frame.top + 6 : frame.top + frame.height - height - 1;
  const QRectF box(frame.left + frame.width - textWidth - sample - 18, top, textWidth + sample + 12, height);
  p.setPen(QPen(kFrameColour, 0.8));
  p.setBrush(QColor(255, 255, 255, 225));
  p.drawRect(box);
  for (std::size_t i = 0; i < named.size(); ++i) {
    const qreal y = box.top() + 3 + row * (static_cast<qreal>(i) + 0.5);
    p.setPen(CurvePen(named[i]->colour, named[i]->width, named[i]->stroke));
    p.drawLine(QPointF(box.left() + 4, y), QPointF(box.left() + 4 + sample, y));
    p.setPen(kInk);
    p.drawText(QRectF(box.left() + sample + 8, y - row / 2, textWidth + 4, row), Qt::AlignLeft | Qt::AlignVCenter,
               Text(named[i]->name));
  }
}

void PaintPanel(QPainter& p, const Panel& panel, const PlotFrame& frame, bool lastCartesian) {
  if (frame.width <= 1 || frame.height <= 1) return;
  const QRectF rect = RectOf(frame);
  p.save();
  if (panel.kind == PanelKind::Cartesian) {
    p.fillRect(rect, Qt::white);
    DrawAxes(p, panel, frame, lastCartesian);
  }
  // Everything in data coordinates stays inside the plot; the Smith chart's
  // lettering around its rim gets a little room.
  p.setClipRect(panel.kind == PanelKind::Smith ? rect.adjusted(-20, -20, 20, 20) : rect);
  DrawBands(p, panel, frame);
  DrawCurves(p, panel, frame, panel.grid);
  DrawLetters(p, panel, frame);
  DrawVerticalLines(p, panel, frame);
  DrawCircles(p, panel, frame);
  DrawCurves(p, panel, frame, panel.curves);
  DrawMarkers(p, panel, frame);
  p.setClipping(false);
  if (panel.kind == PanelKind::Cartesian) {
    p.setPen(QPen(kFrameColour, 1));
    p.setBrush(Qt::NoBrush);
    p.drawRect(rect);
  }
  DrawLegend(p, panel, frame);
  p.restore();
}

}  // namespace

void PaintFigure(QPainter& painter, const Figure& figure, QRectF area) {
  painter.save();
  painter.translate(area.topLeft());
  painter.setClipRect(QRectF(QPointF(0, 0), area.size()));
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setRenderHint(QPainter::TextAntialiasing);
  painter.fillRect(QRectF(QPointF(0, 0), area.size()), Qt::white);
  const FigureLayout layout = LayoutFigure(figure, area.width(), area.height());
  if (!figure.title.empty()) {
    painter.setFont(FigureFont(kFigureFontPx + 1, true));
    painter.setPen(kInk);
    painter.drawText(QRectF(8, 6, area.width() - 16, layout.titleHeight), Qt::AlignHCenter | Qt::AlignVCenter,
                     Text(figure.title));
  }
  std::size_t lastCartesian = figure.panels.size();
  for (std::size_t i = 0; i < figure.panels.size(); ++i)
    if (figure.panels[i].kind == PanelKind::Cartesian) lastCartesian = i;
  for (std::size_t i = 0; i < figure.panels.size(); ++i)
    PaintPanel(painter, figure.panels[i], layout.frames[i], i == lastCartesian);
  painter.setFont(FigureFont(kFigureFontPx));
  for (std::size_t i = 0; i < figure.notes.size(); ++i) {
    painter.setPen(ColourOf(figure.notes[i].colour));
    painter.drawText(QRectF(16, layout.notesTop + 17.0 * static_cast<qreal>(i), area.width() - 32, 17),
                     Qt::AlignLeft | Qt::AlignVCenter, Text(figure.notes[i].text));
  }
  painter.restore();
}

QByteArray FigurePng(const Figure& figure, QSize size, qreal devicePixelRatio) {
  if (size.isEmpty() || !(devicePixelRatio > 0)) return {};
  QImage image(size * devicePixelRatio, QImage::Format_ARGB32_Premultiplied);
  image.setDevicePixelRatio(devicePixelRatio);
  image.fill(Qt::white);
  {
    QPainter painter(&image);
    PaintFigure(painter, figure, QRectF(QPointF(0, 0), QSizeF(size)));
  }
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  if (!image.save(&buffer, "PNG")) return {};
  return bytes;
}

QByteArray FigureSvg(const Figure& figure, QSize size, const QString& title) {
  if (size.isEmpty()) return {};
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  QSvgGenerator generator;
  generator.setOutputDevice(&buffer);
  generator.setSize(size);
  generator.setViewBox(QRect(QPoint(0, 0), size));
  generator.setTitle(title);
  {
    QPainter painter(&generator);
    PaintFigure(painter, figure, QRectF(QPointF(0, 0), QSizeF(size)));
  }
  return bytes;
}

FigureView::FigureView(QWidget* parent) : QWidget(parent) {
  setMouseTracking(true);
  setAttribute(Qt::WA_OpaquePaintEvent);
  setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
}

void FigureView::setFigure(Figure figure) {
  figure_ = std::move(figure);
  painted_ = QPixmap();
  readout_ = pointer_ ? readoutAt(*pointer_) : QString();
  update();
}

void FigureView::setHoverReadout(HoverReadout readout) { hover_ = std::move(readout); }

QString FigureView::readoutAt(QPointF position) const {
  if (!hover_) return {};
  const FigureLayout layout = LayoutFigure(figure_, width(), height());
  const FigPoint pixel{position.x(), position.y()};
  const int panel = PanelAt(layout, pixel);
  if (panel < 0) return {};
  const auto data = FromPixel(figure_.panels[static_cast<std::size_t>(panel)],
                              layout.frames[static_cast<std::size_t>(panel)], pixel);
  if (!data) return {};
  return Text(hover_(panel, *data));
}

QSize FigureView::minimumSizeHint() const { return QSize(360, 260); }
QSize FigureView::sizeHint() const { return QSize(820, 600); }

void FigureView::paintEvent(QPaintEvent*) {
  const qreal ratio = devicePixelRatioF();
  if (painted_.isNull() || painted_.size() != size() * ratio || painted_.devicePixelRatio() != ratio) {
    painted_ = QPixmap(size() * ratio);
    painted_.setDevicePixelRatio(ratio);
    painted_.fill(Qt::white);
    QPainter cache(&painted_);
    PaintFigure(cache, figure_, QRectF(rect()));
  }
  QPainter painter(this);
  painter.drawPixmap(0, 0, painted_);
  if (!pointer_ || readout_.isEmpty()) return;
  // The readout sits in a box beside the pointer, kept inside the widget.
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setFont(FigureFont(kFigureSmallFontPx + 1));
  const QFontMetricsF metrics(painter.font());
  const QRectF needed = metrics.boundingRect(QRectF(0, 0, 400, 400), Qt::AlignLeft | Qt::AlignTop, readout_);
  QRectF box(*pointer_ + QPointF(14, 14), needed.size() + QSizeF(12, 8));
  if (box.right() > width()) box.moveRight(pointer_->x() - 10);
  if (box.bottom() > height()) box.moveBottom(pointer_->y() - 10);
  painter.setPen(QPen(kFrameColour, 0.8));
  painter.setBrush(QColor(255, 255, 235, 240));
  painter.drawRect(box);
  painter.setPen(kInk);
  painter.drawText(box.adjusted(6, 4, -6, -4), Qt::AlignLeft | Qt::AlignTop, readout_);
}

void FigureView::mouseMoveEvent(QMouseEvent* event) {
  pointer_ = event->position();
  readout_ = readoutAt(*pointer_);
  update();
}

void FigureView::leaveEvent(QEvent*) {
  pointer_.reset();
  readout_.clear();
  update();
}
