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
#include <optional>
#include <vector>

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

// The figure's own size for a line of text when it fits the width, else the
// largest smaller one that does, down to kLeastFontPx: a narrow window shows
// a long title smaller rather than cut.
constexpr double kLeastFontPx = 7;

double FittedPixels(double pixels, bool bold, const QString& text, qreal width) {
  while (pixels > kLeastFontPx && QFontMetricsF(FigureFont(pixels, bold)).horizontalAdvance(text) > width)
    pixels -= 1;
  return pixels;
}

// Draws one line in the fitted size; returns the size used.
double DrawFittedLine(QPainter& p, const QRectF& rect, int flags, const QString& text, double pixels,
                      bool bold) {
  const double fitted = FittedPixels(pixels, bold, text, rect.width());
  p.setFont(FigureFont(fitted, bold));
  p.drawText(rect, flags, text);
  return fitted;
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

// The stripe of a band in pixels: a band of one sweep step still shows as a
// thin stripe.
std::optional<QRectF> BandStripe(const Panel& panel, const PlotFrame& frame, const Band& band) {
  const auto from = ToPixel(panel, frame, {band.from, panel.y.min});
  const auto to = ToPixel(panel, frame, {band.to, panel.y.min});
  if (!from || !to) return std::nullopt;
  const qreal left = std::min(from->x, to->x), width = std::max(std::fabs(to->x - from->x), 2.0);
  return QRectF(left, frame.top, width, frame.height);
}

// Where a band's name is written: at the stripe's top left, wrapped within
// the stripe's width (or 120 pixels on a narrow one) on at most about two
// lines, moved left off the plot's right edge; the box is what the words take.
constexpr int kBandLabelFlags = Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap;
QRectF BandLabelRect(const QRectF& stripe, const PlotFrame& frame) {
  QRectF rect(stripe.left() + 3, stripe.top() + 2, std::max(stripe.width() - 6, 120.0),
              kFigureSmallFontPx * 2.6);
  const qreal right = frame.left + frame.width - 2;
  if (rect.right() > right) rect.moveRight(std::max(right, frame.left + 2 + rect.width()));
  return rect;
}
QRectF BandLabelBox(const QRectF& stripe, const PlotFrame& frame, const Band& band) {
  const QRectF rect = BandLabelRect(stripe, frame);
  return QFontMetricsF(FigureFont(kFigureSmallFontPx)).boundingRect(rect, kBandLabelFlags, Text(band.label)) &
         rect;
}

// A vertical line's name, beside it at the plot's foot.
QRectF LineLabelBox(QPointF at, const PlotFrame& frame, const VerticalLine& line) {
  const qreal width = QFontMetricsF(FigureFont(kFigureSmallFontPx)).horizontalAdvance(Text(line.label)) + 2;
  return QRectF(at.x() + 4, frame.top + frame.height - kFigureSmallFontPx * 1.6, width,
                kFigureSmallFontPx * 1.4);
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

// How far a y-axis title may reach beyond its plot, into the margins above
// and below it.
constexpr qreal kPanelTitleOverhang = 24;
// The y-axis title's column runs from this far inside the figure's edge to
// a gap before the widest tick value.
constexpr qreal kTitleInset = 4, kTickGap = 4;

// The y tick values within the axis' range, widest first matters: they set
// where the title's column ends.
qreal WidestTickValue(const Panel& panel) {
  const QFontMetricsF metrics(FigureFont(kFigureSmallFontPx));
  const double low = std::min(panel.y.min, panel.y.max), high = std::max(panel.y.min, panel.y.max);
  const double slack = 1e-9 * (high - low);
  qreal widest = 0;
  for (const Tick& tick : panel.y.ticks)
    if (tick.value >= low - slack && tick.value <= high + slack)
      widest = std::max(widest, metrics.horizontalAdvance(Text(tick.label)));
  return widest;
}

// The text cut at the space that makes its longer part shortest.
QStringList TwoLines(const QString& text, const QFontMetricsF& metrics) {
  QStringList best{text};
  qreal bestWidth = metrics.horizontalAdvance(text);
  for (qsizetype at = text.indexOf(u' '); at > 0; at = text.indexOf(u' ', at + 1)) {
    const QString first = text.left(at), second = text.mid(at + 1);
    const qreal width = std::max(metrics.horizontalAdvance(first), metrics.horizontalAdvance(second));
    if (width < bestWidth) best = QStringList{first, second}, bestWidth = width;
  }
  return best;
}

// A y-axis title as the painter writes it, turned to read upwards in the
// column between the figure's edge and the tick values (measured with the
// fonts that draw them, so a larger font or a wide tick value moves it
// rather than cuts it): on one line at the figure's size, on two where one
// line is longer than the plot, smaller only when two lines do not fit.
struct AxisTitleFit {
  double pixels = 0;  // 0: cut even at the least size
  QStringList lines;
  qreal columnLeft = 0, columnRight = 0;  // across, in the figure
  qreal along = 0;                        // the length it may take
};

AxisTitleFit FitAxisTitle(const Panel& panel, const PlotFrame& frame) {
  AxisTitleFit fit;
  const QString text = Text(panel.y.title);
  fit.columnLeft = kTitleInset;
  fit.columnRight = frame.left - kTickGap - WidestTickValue(panel) - kTickGap;
  fit.along = frame.height + kPanelTitleOverhang;
  fit.lines = QStringList{text};
  if (text.isEmpty()) return fit;
  const qreal across = fit.columnRight - fit.columnLeft;
  for (double pixels = kFigureFontPx; pixels >= kLeastFontPx; pixels -= 1) {
    const QFontMetricsF metrics(FigureFont(pixels));
    for (const QStringList& lines : {QStringList{text}, TwoLines(text, metrics)}) {
      qreal longest = 0;
      for (const QString& line : lines) longest = std::max(longest, metrics.horizontalAdvance(line));
      if (metrics.height() * static_cast<qreal>(lines.size()) <= across && longest <= fit.along) {
        fit.pixels = pixels;
        fit.lines = lines;
        return fit;
      }
    }
  }
  return fit;
}

void DrawAxisTitle(QPainter& p, const Panel& panel, const PlotFrame& frame) {
  const AxisTitleFit fit = FitAxisTitle(panel, frame);
  if (fit.lines.front().isEmpty()) return;
  const QFont font = FigureFont(fit.pixels > 0 ? fit.pixels : kLeastFontPx);
  const qreal lineHeight = QFontMetricsF(font).height();
  p.save();
  p.setFont(font);
  // Turned a quarter left about the column's left edge at the plot's middle:
  // x runs up the plot, y across into the column.
  p.translate(fit.columnLeft, frame.top + frame.height / 2);
  p.rotate(-90);
  // From the column's edge, so the titles of panels with wider or narrower
  // tick values still stand in one line down the figure.
  for (qsizetype i = 0; i < fit.lines.size(); ++i)
    p.drawText(QRectF(-fit.along / 2, lineHeight * static_cast<qreal>(i), fit.along, lineHeight),
               Qt::AlignCenter, fit.lines[i]);
  p.restore();
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
    if (i % xStep != 0 || !frame.xValues) continue;
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
    const qreal width = std::max<qreal>(44, metrics.horizontalAdvance(Text(ys[i].second->label)));
    p.drawText(QRectF(rect.left() - kTickGap - width, y - metrics.height() / 2, width, metrics.height()),
               Qt::AlignRight | Qt::AlignVCenter, Text(ys[i].second->label));
  }
  p.setPen(kInk);
  if (lastCartesian || !panel.x.title.empty()) {
    DrawFittedLine(
        p, QRectF(rect.left(), rect.bottom() + 4 + metrics.height(), rect.width(), kFigureFontPx * 1.6),
        Qt::AlignHCenter | Qt::AlignTop, Text(panel.x.title), kFigureFontPx, false);
  }
  // Along a short panel the title takes the room of its neighbours' too.
  DrawAxisTitle(p, panel, frame);
}

// --- label placement ----------------------------------------------------------

// The room the labels of a panel take, and the first free place for each:
// one rule for every label of every figure, whatever adds them, so a label
// added later (a noise circle's value) keeps clear of the others too.
class LabelSpace {
 public:
  explicit LabelSpace(QRectF room) : room_(room) {}
  bool Free(const QRectF& box) const {
    if (!room_.contains(box)) return false;
    return std::none_of(taken_.begin(), taken_.end(), [&](const QRectF& t) { return t.intersects(box); });
  }
  void Take(const QRectF& box) { taken_.push_back(box); }
  // The first free candidate, or none: where every place along it is
  // taken, a circle goes unnamed rather than have its name cover another's
  // (the notes under the chart say what its colour and stroke mean).
  std::optional<QRectF> PlaceIfFree(const std::vector<QRectF>& candidates) {
    const auto chosen =
        std::find_if(candidates.begin(), candidates.end(), [&](const QRectF& c) { return Free(c); });
    if (chosen == candidates.end()) return std::nullopt;
    Take(*chosen);
    return *chosen;
  }
  // The first free candidate; when none is free the first one that lies in
  // the room (or the first moved into it): the legend, which says what every
  // curve is, is never lost, nor cut at the room's edge.
  std::optional<QRectF> Place(const std::vector<QRectF>& candidates) {
    if (candidates.empty()) return std::nullopt;
    auto chosen =
        std::find_if(candidates.begin(), candidates.end(), [&](const QRectF& c) { return Free(c); });
    if (chosen == candidates.end())
      chosen = std::find_if(candidates.begin(), candidates.end(),
                            [&](const QRectF& c) { return room_.contains(c); });
    const QRectF box = chosen != candidates.end() ? *chosen : Inside(candidates.front());
    Take(box);
    return box;
  }

 private:
  QRectF Inside(QRectF box) const {
    box.moveLeft(std::clamp(box.left(), room_.left(), std::max(room_.left(), room_.right() - box.width())));
    box.moveTop(std::clamp(box.top(), room_.top(), std::max(room_.top(), room_.bottom() - box.height())));
    return box;
  }
  QRectF room_;
  std::vector<QRectF> taken_;
};

QRectF CentredBox(QPointF at, QSizeF size) {
  return QRectF(at - QPointF(size.width() / 2, size.height() / 2), size);
}

// Boxes around an anchor: on it first when it may sit there, then beside it
// at `gap` (right, left, above, below, then the four corners), then in rings
// further out, each about a line height beyond the last.
std::vector<QRectF> AroundPoint(QPointF a, QSizeF size, qreal gap, bool onAnchor) {
  std::vector<QRectF> boxes;
  if (onAnchor) boxes.push_back(CentredBox(a, size));
  const qreal w = size.width(), h = size.height();
  for (int ring = 0; ring < 8; ++ring) {
    const qreal d = gap + ring * h * 0.8, e = d * 0.7;
    boxes.push_back(QRectF(a.x() + d, a.y() - h / 2, w, h));
    boxes.push_back(QRectF(a.x() - d - w, a.y() - h / 2, w, h));
    boxes.push_back(QRectF(a.x() - w / 2, a.y() - d - h, w, h));
    boxes.push_back(QRectF(a.x() - w / 2, a.y() + d, w, h));
    boxes.push_back(QRectF(a.x() + e, a.y() - e - h, w, h));
    boxes.push_back(QRectF(a.x() + e, a.y() + e, w, h));
    boxes.push_back(QRectF(a.x() - e - w, a.y() - e - h, w, h));
    boxes.push_back(QRectF(a.x() - e - w, a.y() + e, w, h));
  }
  return boxes;
}

QFont LetterFont(const Lettering& letter) {
  return FigureFont(letter.small ? kFigureSmallFontPx : kFigureFontPx, !letter.small);
}

QSizeF TextSize(const QFont& font, const QString& text, qreal pad) {
  const QFontMetricsF metrics(font);
  return QSizeF(metrics.horizontalAdvance(text) + 2 * pad, metrics.height() + pad);
}

// A circle in pixels; nullopt where it cannot be placed.
struct PixelCircle {
  QPointF centre;
  qreal radius = 0;
};
std::optional<PixelCircle> CircleInPixels(const Panel& panel, const PlotFrame& frame, const Circle& circle) {
  const auto centre = ToPixel(panel, frame, circle.centre);
  const auto edge = ToPixel(panel, frame, {circle.centre.x + circle.radius, circle.centre.y});
  if (!centre || !edge) return std::nullopt;
  return PixelCircle{PointF(*centre), std::fabs(edge->x - centre->x)};
}

// A circle's name goes where the circle comes nearest the plot's middle, on
// the middle's side, so it shows even when most of the circle is off the
// plot; then further along the circle, either way, on either side of it.
std::vector<QRectF> AlongCircle(const PixelCircle& c, QRectF plot, QSizeF size) {
  const QPointF towards = plot.center() - c.centre;
  const qreal distance = std::hypot(towards.x(), towards.y());
  const qreal start = distance > 1e-9 ? std::atan2(towards.y(), towards.x()) : -kPi / 2;
  const qreal inward = distance < c.radius ? -1 : 1;
  // Steps along the circle of about a line height, never more than a
  // twelfth of a turn, half a turn either way at most: on a circle far
  // larger than the plot only a short arc shows, and that gets them all.
  const qreal step = std::min(kPi / 6, 1.5 * size.height() / std::max(c.radius, 1.0));
  const int steps = static_cast<int>(std::min(96.0, std::ceil(kPi / step)));
  std::vector<QRectF> boxes;
  for (int k = 0; k <= steps; ++k) {
    for (int sign : {1, -1}) {
      if (k == 0 && sign < 0) continue;
      const qreal angle = start + sign * k * step;
      const QPointF unit(std::cos(angle), std::sin(angle));
      for (qreal side : {inward, -inward}) {
        const QPointF at = c.centre + unit * c.radius + unit * side * (size.height() / 2 + 6);
        boxes.push_back(CentredBox(at, size));
      }
    }
  }
  return boxes;
}

// The legend's entries in rows and columns, filled row by row: one column
// while it fits the plot's height, else as few rows as the plot's width
// allows, so a short panel (three of them at a window's least size) keeps
// its legend inside its plot rather than over the panel above.
struct LegendShape {
  std::vector<const Curve*> named;
  std::vector<qreal> columnWidths;  // sample and text
  int rows = 0;
  QSizeF size;
};

constexpr qreal kLegendSample = 22, kLegendGap = 12;

qreal LegendRow() { return QFontMetricsF(FigureFont(kFigureSmallFontPx)).height() + 2; }

LegendShape LegendWithColumns(std::vector<const Curve*> named, int columns) {
  const QFontMetricsF metrics(FigureFont(kFigureSmallFontPx));
  LegendShape shape;
  shape.named = std::move(named);
  const int n = static_cast<int>(shape.named.size());
  columns = std::clamp(columns, 1, std::max(n, 1));
  shape.rows = (n + columns - 1) / columns;
  shape.columnWidths.assign(static_cast<std::size_t>(columns), 0);
  for (int i = 0; i < n; ++i) {
    qreal& w = shape.columnWidths[static_cast<std::size_t>(i % columns)];
    w = std::max(w, kLegendSample + 8 +
                        metrics.horizontalAdvance(Text(shape.named[static_cast<std::size_t>(i)]->name)));
  }
  qreal width = 4;
  for (qreal w : shape.columnWidths) width += w + 4;
  width += kLegendGap * (columns - 1);
  shape.size = QSizeF(width, LegendRow() * shape.rows + 6);
  return shape;
}

LegendShape LegendOf(const Panel& panel, const PlotFrame& frame) {
  std::vector<const Curve*> named;
  for (const Curve& curve : panel.curves)
    if (!curve.name.empty()) named.push_back(&curve);
  LegendShape shape = LegendWithColumns(named, 1);
  if (panel.kind == PanelKind::Smith) return shape;
  for (int columns = 2; shape.size.height() + 12 > frame.height && columns <= static_cast<int>(named.size());
       ++columns) {
    LegendShape wider = LegendWithColumns(named, columns);
    if (wider.size.width() + 12 > frame.width) break;
    shape = std::move(wider);
  }
  return shape;
}

// The legend in the top right corner. On a Smith chart the first corner of
// the room beside the chart, then of the chart's own square, where it covers
// no grid value; in a cartesian panel the plot's top right, then its other
// corners, the first that covers no marker and no band's or line's name; in
// one too short for it the box rises into the room above rather than cover
// the tick labels below.
std::vector<QRectF> LegendPlaces(const Panel& panel, const PlotFrame& frame, QRectF room, QSizeF size) {
  const auto corners = [&](QRectF r, qreal inset) {
    const qreal right = r.right() - size.width() - inset, left = r.left() + inset;
    const qreal top = r.top() + inset, bottom = r.bottom() - size.height() - inset;
    return std::vector<QRectF>{QRectF(QPointF(right, top), size), QRectF(QPointF(left, top), size),
                               QRectF(QPointF(right, bottom), size), QRectF(QPointF(left, bottom), size)};
  };
  if (panel.kind == PanelKind::Smith) {
    std::vector<QRectF> places = corners(room, 2);
    const std::vector<QRectF> inside = corners(RectOf(frame), 6);
    places.insert(places.end(), inside.begin(), inside.end());
    return places;
  }
  if (size.height() + 12 <= frame.height) return corners(RectOf(frame), 6);
  if (size.height() + 2 <= frame.height) return corners(RectOf(frame), 1);
  return {QRectF(
      QPointF(frame.left + frame.width - size.width() - 6, frame.top + frame.height - size.height() - 1),
      size)};
}

struct PanelLabels {
  QRectF room;  // labels are drawn clipped to this, not to the plot
  std::vector<std::optional<QRectF>> letters, markers, circles, bands, lines;
  std::optional<QRectF> legend;
  LegendShape legendShape;
};

// The room a panel's labels may take: a cartesian panel's plot; around a
// Smith chart, a little above and below it and the figure's whole width.
QRectF LabelRoom(const Panel& panel, const PlotFrame& frame, qreal figureWidth) {
  if (panel.kind != PanelKind::Smith) return RectOf(frame);
  return QRectF(0, frame.top - 20, figureWidth, frame.height + 40);
}

// What stays where it belongs first, each left out where it would run into
// one before it: grid values, the bands' and lines' names; the marker
// symbols as obstacles; the legend; then the names that move to the first
// free place near what they name, or are left out where there is none (a
// crowded chart at a window's least size): the markers', the movable ones,
// the circles'.
PanelLabels PlaceLabels(const Panel& panel, const PlotFrame& frame, QRectF room) {
  const QRectF plot = RectOf(frame);
  LabelSpace space(room);
  PanelLabels labels;
  labels.room = room;
  labels.letters.resize(panel.letters.size());
  labels.markers.resize(panel.markers.size());
  labels.circles.resize(panel.circles.size());
  labels.bands.resize(panel.bands.size());
  labels.lines.resize(panel.lines.size());
  const auto fixed = [&](const QRectF& box) -> std::optional<QRectF> {
    if (!space.Free(box)) return std::nullopt;
    space.Take(box);
    return box;
  };
  for (std::size_t i = 0; i < panel.letters.size(); ++i) {
    const Lettering& letter = panel.letters[i];
    const auto at = ToPixel(panel, frame, letter.at);
    if (letter.movable || !at) continue;
    labels.letters[i] = fixed(CentredBox(PointF(*at), TextSize(LetterFont(letter), Text(letter.text), 1)));
  }
  for (std::size_t i = 0; i < panel.bands.size(); ++i) {
    const auto stripe = BandStripe(panel, frame, panel.bands[i]);
    if (stripe && !panel.bands[i].label.empty())
      labels.bands[i] = fixed(BandLabelBox(*stripe, frame, panel.bands[i]));
  }
  for (std::size_t i = 0; i < panel.lines.size(); ++i) {
    const auto at = ToPixel(panel, frame, {panel.lines[i].x, panel.y.min});
    if (at && !panel.lines[i].label.empty())
      labels.lines[i] = fixed(LineLabelBox(PointF(*at), frame, panel.lines[i]));
  }
  for (const Marker& marker : panel.markers)
    if (const auto at = ToPixel(panel, frame, marker.at))
      space.Take(CentredBox(PointF(*at), QSizeF(2 * kMarkerRadius + 2, 2 * kMarkerRadius + 2)));
  labels.legendShape = LegendOf(panel, frame);
  if (labels.legendShape.rows > 0)
    labels.legend = space.Place(LegendPlaces(panel, frame, room, labels.legendShape.size));
  const QFont markerFont = FigureFont(kFigureSmallFontPx, true);
  for (std::size_t i = 0; i < panel.markers.size(); ++i) {
    const Marker& marker = panel.markers[i];
    const auto at = ToPixel(panel, frame, marker.at);
    if (marker.label.empty() || !at) continue;
    labels.markers[i] = space.PlaceIfFree(
        AroundPoint(PointF(*at), TextSize(markerFont, Text(marker.label), 2), kMarkerRadius + 3, false));
  }
  for (std::size_t i = 0; i < panel.letters.size(); ++i) {
    const Lettering& letter = panel.letters[i];
    const auto at = ToPixel(panel, frame, letter.at);
    if (!letter.movable || !at) continue;
    const QSizeF size = TextSize(LetterFont(letter), Text(letter.text), 1);
    labels.letters[i] = space.PlaceIfFree(AroundPoint(PointF(*at), size, size.height() / 2, true));
  }
  const QFont circleFont = FigureFont(kFigureSmallFontPx);
  for (std::size_t i = 0; i < panel.circles.size(); ++i) {
    const Circle& circle = panel.circles[i];
    const auto pixels = CircleInPixels(panel, frame, circle);
    if (circle.label.empty() || !pixels) continue;
    labels.circles[i] =
        space.PlaceIfFree(AlongCircle(*pixels, plot, TextSize(circleFont, Text(circle.label), 2)));
  }
  return labels;
}

void DrawBands(QPainter& p, const Panel& panel, const PlotFrame& frame, const PanelLabels& labels) {
  for (std::size_t i = 0; i < panel.bands.size(); ++i) {
    const Band& band = panel.bands[i];
    const auto stripe = BandStripe(panel, frame, band);
    if (!stripe) continue;
    QColor fill = ColourOf(band.colour);
    fill.setAlpha(60);
    p.fillRect(*stripe, fill);
    if (labels.bands[i]) {
      p.setFont(FigureFont(kFigureSmallFontPx));
      p.setPen(ColourOf(band.colour).darker(140));
      p.drawText(BandLabelRect(*stripe, frame), kBandLabelFlags, Text(band.label));
    }
  }
}

void DrawVerticalLines(QPainter& p, const Panel& panel, const PlotFrame& frame, const PanelLabels& labels) {
  p.setFont(FigureFont(kFigureSmallFontPx));
  for (std::size_t i = 0; i < panel.lines.size(); ++i) {
    const VerticalLine& line = panel.lines[i];
    const auto at = ToPixel(panel, frame, {line.x, panel.y.min});
    if (!at) continue;
    p.setPen(CurvePen(line.colour, 1.2, line.stroke));
    p.drawLine(QPointF(at->x, frame.top), QPointF(at->x, frame.top + frame.height));
    if (const auto& box = labels.lines[i]) {
      p.setPen(ColourOf(line.colour));
      p.drawText(*box, Qt::AlignLeft | Qt::AlignVCenter, Text(line.label));
    }
  }
}

void DrawCircles(QPainter& p, const Panel& panel, const PlotFrame& frame, const PanelLabels& labels) {
  for (std::size_t i = 0; i < panel.circles.size(); ++i) {
    const Circle& circle = panel.circles[i];
    const auto pixels = CircleInPixels(panel, frame, circle);
    if (!pixels) continue;
    const QPointF centre = pixels->centre;
    const qreal radius = pixels->radius;
    p.setPen(CurvePen(circle.colour, 1.5, circle.stroke));
    p.setBrush(Qt::NoBrush);
    const qreal reach = std::hypot(frame.width, frame.height);
    if (radius < 4 * reach) {
      p.drawEllipse(centre, radius, radius);
    } else {
      // Far larger than the plot, only a short arc can be seen: drawn as a
      // polyline around the direction of the plot, a huge ellipse would
      // lose its precision.
      const QPointF middle = RectOf(frame).center() - centre;
      const qreal towards = std::atan2(middle.y(), middle.x()), half = std::min(kPi, 2 * reach / radius);
      QPolygonF arc;
      for (int k = 0; k <= 256; ++k) {
        const qreal t = towards - half + 2 * half * k / 256;
        arc << centre + radius * QPointF(std::cos(t), std::sin(t));
      }
      p.drawPolyline(arc);
    }
    if (const auto& box = labels.circles[i]) {
      // On a pale ground, as the markers' names: the grid and curves behind
      // do not cross the letters.
      p.save();
      p.setClipRect(labels.room);
      p.fillRect(*box, QColor(255, 255, 255, 210));
      p.setFont(FigureFont(kFigureSmallFontPx));
      p.setPen(ColourOf(circle.colour));
      p.drawText(*box, Qt::AlignCenter, Text(circle.label));
      p.restore();
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

void DrawMarkers(QPainter& p, const Panel& panel, const PlotFrame& frame, const PanelLabels& labels) {
  for (std::size_t i = 0; i < panel.markers.size(); ++i) {
    const Marker& marker = panel.markers[i];
    const auto at = ToPixel(panel, frame, marker.at);
    if (!at) continue;
    DrawMarkerSymbol(p, PointF(*at), marker.shape, ColourOf(marker.colour));
    if (const auto& box = labels.markers[i]) {
      // On a pale ground, so curves passing behind do not cross the letters.
      p.save();
      p.setClipRect(labels.room);
      p.setFont(FigureFont(kFigureSmallFontPx, true));
      p.fillRect(*box, QColor(255, 255, 255, 210));
      p.setPen(ColourOf(marker.colour));
      p.drawText(*box, Qt::AlignCenter, Text(marker.label));
      p.restore();
    }
  }
}

// The fixed letters (grid values) under the curves; the names over them.
void DrawLetters(QPainter& p, const Panel& panel, const PanelLabels& labels, bool movable) {
  p.save();
  p.setClipRect(labels.room);
  for (std::size_t i = 0; i < panel.letters.size(); ++i) {
    const Lettering& letter = panel.letters[i];
    const auto& box = labels.letters[i];
    if (!box || letter.movable != movable) continue;
    // A name on a pale ground, so the curve it names does not cross it.
    if (letter.movable) p.fillRect(*box, QColor(255, 255, 255, 190));
    p.setFont(LetterFont(letter));
    p.setPen(ColourOf(letter.colour));
    p.drawText(*box, Qt::AlignCenter | Qt::TextDontClip, Text(letter.text));
  }
  p.restore();
}

void DrawLegend(QPainter& p, const PanelLabels& labels) {
  if (!labels.legend) return;
  const LegendShape& shape = labels.legendShape;
  p.setFont(FigureFont(kFigureSmallFontPx));
  const qreal row = LegendRow();
  const QRectF box = *labels.legend;
  p.setPen(QPen(kFrameColour, 0.8));
  p.setBrush(QColor(255, 255, 255, 225));
  p.drawRect(box);
  const std::size_t columns = shape.columnWidths.size();
  std::vector<qreal> lefts{box.left() + 4};
  for (std::size_t c = 1; c < columns; ++c)
    lefts.push_back(lefts.back() + shape.columnWidths[c - 1] + 4 + kLegendGap);
  for (std::size_t i = 0; i < shape.named.size(); ++i) {
    const Curve& curve = *shape.named[i];
    const qreal left = lefts[i % columns], width = shape.columnWidths[i % columns];
    const qreal y = box.top() + 3 + row * (static_cast<qreal>(i / columns) + 0.5);
    p.setPen(CurvePen(curve.colour, curve.width, curve.stroke));
    p.drawLine(QPointF(left, y), QPointF(left + kLegendSample, y));
    p.setPen(kInk);
    p.drawText(QRectF(left + kLegendSample + 4, y - row / 2, width - kLegendSample - 4, row),
               Qt::AlignLeft | Qt::AlignVCenter, Text(curve.name));
  }
}

void PaintPanel(QPainter& p, const Panel& panel, const PlotFrame& frame, bool lastCartesian,
                qreal figureWidth) {
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
  const QRectF room = LabelRoom(panel, frame, figureWidth);
  const PanelLabels labels = PlaceLabels(panel, frame, room);
  DrawBands(p, panel, frame, labels);
  DrawCurves(p, panel, frame, panel.grid);
  DrawLetters(p, panel, labels, false);
  DrawVerticalLines(p, panel, frame, labels);
  DrawCircles(p, panel, frame, labels);
  DrawCurves(p, panel, frame, panel.curves);
  DrawMarkers(p, panel, frame, labels);
  DrawLetters(p, panel, labels, true);
  p.setClipping(false);
  if (panel.kind == PanelKind::Cartesian) {
    p.setPen(QPen(kFrameColour, 1));
    p.setBrush(Qt::NoBrush);
    p.drawRect(rect);
  }
  DrawLegend(p, labels);
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
    painter.setPen(kInk);
    DrawFittedLine(painter, QRectF(8, 6, area.width() - 16, layout.titleHeight),
                   Qt::AlignHCenter | Qt::AlignVCenter, Text(figure.title), kFigureFontPx + 1, true);
  }
  std::size_t lastCartesian = figure.panels.size();
  for (std::size_t i = 0; i < figure.panels.size(); ++i)
    if (figure.panels[i].kind == PanelKind::Cartesian) lastCartesian = i;
  for (std::size_t i = 0; i < figure.panels.size(); ++i)
    PaintPanel(painter, figure.panels[i], layout.frames[i], i == lastCartesian, area.width());
  for (std::size_t i = 0; i < figure.notes.size(); ++i) {
    painter.setPen(ColourOf(figure.notes[i].colour));
    DrawFittedLine(painter, QRectF(16, layout.notesTop + 17.0 * static_cast<qreal>(i), area.width() - 32, 17),
                   Qt::AlignLeft | Qt::AlignVCenter, Text(figure.notes[i].text), kFigureFontPx, false);
  }
  painter.restore();
}

double FigureLeastTextPixels(const Figure& figure, QSizeF size) {
  const FigureLayout layout = LayoutFigure(figure, size.width(), size.height());
  double least = kFigureFontPx + 1;
  const auto fit = [&](const std::string& text, double pixels, bool bold, qreal width) {
    if (text.empty()) return;
    double fitted = FittedPixels(pixels, bold, Text(text), width);
    if (QFontMetricsF(FigureFont(fitted, bold)).horizontalAdvance(Text(text)) > width) fitted = 0;  // cut
    least = std::min(least, fitted);
  };
  fit(figure.title, kFigureFontPx + 1, true, size.width() - 16);
  for (const Note& note : figure.notes) fit(note.text, kFigureFontPx, false, size.width() - 32);
  for (std::size_t i = 0; i < figure.panels.size(); ++i) {
    const Panel& panel = figure.panels[i];
    if (panel.kind != PanelKind::Cartesian) continue;
    fit(panel.x.title, kFigureFontPx, false, layout.frames[i].width);
    if (!panel.y.title.empty()) least = std::min(least, FitAxisTitle(panel, layout.frames[i]).pixels);
  }
  return least;
}

std::vector<QRectF> FigureLabelBoxes(const Figure& figure, QSizeF size) {
  std::vector<QRectF> boxes;
  const FigureLayout layout = LayoutFigure(figure, size.width(), size.height());
  for (std::size_t i = 0; i < figure.panels.size(); ++i) {
    if (layout.frames[i].width <= 1 || layout.frames[i].height <= 1) continue;
    const PanelLabels labels = PlaceLabels(figure.panels[i], layout.frames[i],
                                           LabelRoom(figure.panels[i], layout.frames[i], size.width()));
    for (const auto* list : {&labels.letters, &labels.markers, &labels.circles, &labels.bands, &labels.lines})
      for (const auto& box : *list)
        if (box) boxes.push_back(*box);
    if (labels.legend) boxes.push_back(*labels.legend);
  }
  return boxes;
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

void FigureView::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return QWidget::mousePressEvent(event);
  const FigureLayout layout = LayoutFigure(figure_, width(), height());
  const FigPoint pixel{event->position().x(), event->position().y()};
  const int panel = PanelAt(layout, pixel);
  if (panel < 0) return;
  const auto data = FromPixel(figure_.panels[static_cast<std::size_t>(panel)],
                              layout.frames[static_cast<std::size_t>(panel)], pixel);
  if (data) emit clickedAt(panel, data->x, data->y);
}

void FigureView::leaveEvent(QEvent*) {
  pointer_.reset();
  readout_.clear();
  update();
}
