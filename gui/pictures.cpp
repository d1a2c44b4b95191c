#include "gui/pictures.h"

#include <QFont>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <QtMath>

#include <map>
#include <utility>

#include "forms/pictures.h"
#include "model/arithmetic.h"

namespace {

const QColor kGreen(0, 128, 0);
const QColor kBlue(0, 0, 255);
const QColor kRed(255, 0, 0);
const QColor kYellow(255, 255, 0);

constexpr qreal kWirePen = 2.0;
constexpr qreal kArrowPen = 1.5;
constexpr qreal kArrowHead = 10.0, kArrowHalfWidth = 4.5;
constexpr qreal kDotRadius = 4.0, kTerminalRadius = 4.0;
constexpr qreal kResistorAmplitude = 7.0;
constexpr int kInductorTurns = 4;
constexpr qreal kLoopHalfWidth = 5.0, kLoopHeight = 14.0;

QFont LetteringFont() {
  QFont font(QStringLiteral("Liberation Sans"));
  font.setStyleHint(QFont::SansSerif);
  font.setPixelSize(kLetteringPx);
  font.setBold(true);
  return font;
}

void UsePen(QPainter& p, const QColor& colour, qreal width) {
  // Square caps close the corners where two wires meet.
  QPen pen(colour, width);
  pen.setCapStyle(Qt::SquareCap);
  pen.setJoinStyle(Qt::MiterJoin);
  p.setPen(pen);
  p.setBrush(Qt::NoBrush);
}

QPointF End1(const DrawOp& op) { return QPointF(op.x1, op.y1); }
QPointF End2(const DrawOp& op) { return QPointF(op.x2, op.y2); }

// Moves the painter into the frame of a two-ended part: end 1 at the origin,
// end 2 on the positive x axis, the part's bulging side towards negative y.
// Parts read the same either way round, so they always run left to right or
// downwards; a vertical part bulges to the left, away from its lettering.
qreal EnterPartFrame(QPainter& p, const DrawOp& op) {
  QPointF from = End1(op), to = End2(op);
  if (to.x() < from.x() || (to.x() == from.x() && to.y() < from.y())) std::swap(from, to);
  p.translate(from);
  const QPointF along = to - from;
  const bool vertical = along.x() == 0;
  p.rotate(qRadiansToDegrees(qAtan2(along.y(), along.x())));
  if (vertical) p.scale(1, -1);
  return qSqrt(QPointF::dotProduct(along, along));
}

// Straight leads from both ends to a body of the given length centred between them.
void DrawLeads(QPainter& p, qreal length, qreal body) {
  const qreal lead = (length - body) / 2;
  if (lead <= 0) return;
  p.drawLine(QPointF(0, 0), QPointF(lead, 0));
  p.drawLine(QPointF(length - lead, 0), QPointF(length, 0));
}

void DrawWire(QPainter& p, const DrawOp& op) {
  UsePen(p, kGreen, kWirePen);
  p.drawLine(End1(op), End2(op));
}

void DrawResistor(QPainter& p, const DrawOp& op) {
  UsePen(p, kGreen, kWirePen);
  const qreal length = EnterPartFrame(p, op);
  DrawLeads(p, length, kResistorBody);
  // Three full zigzags: six half-waves between the body's ends.
  const qreal start = (length - kResistorBody) / 2, step = kResistorBody / 12.0;
  QPolygonF zigzag;
  zigzag << QPointF(start, 0);
  for (int i = 0; i < 6; ++i)
    zigzag << QPointF(start + step * (2 * i + 1), i % 2 == 0 ? -kResistorAmplitude : kResistorAmplitude);
  zigzag << QPointF(start + kResistorBody, 0);
  p.drawPolyline(zigzag);
}

void DrawInductor(QPainter& p, const DrawOp& op) {
  p.setPen(QPen(kGreen, kWirePen, Qt::SolidLine, Qt::FlatCap, Qt::RoundJoin));
  const qreal length = EnterPartFrame(p, op);
  DrawLeads(p, length, kInductorBody);
  // A coil seen from the side: a prolate cycloid whose turns overlap in small loops.
  const qreal start = (length - kInductorBody) / 2;
  const qreal advance = kInductorBody / (2 * kPi * kInductorTurns);
  QPainterPath coil(QPointF(start, 0));
  const int steps = 48 * kInductorTurns;
  for (int i = 1; i <= steps; ++i) {
    const qreal t = 2 * kPi * kInductorTurns * i / steps;
    coil.lineTo(start + advance * t - kLoopHalfWidth * qSin(t), -kLoopHeight / 2 * (1 - qCos(t)));
  }
  p.drawPath(coil);
}

void DrawCapacitor(QPainter& p, const DrawOp& op) {
  UsePen(p, kGreen, kWirePen);
  const qreal length = EnterPartFrame(p, op);
  DrawLeads(p, length, kCapacitorGap);
  const qreal plate1 = (length - kCapacitorGap) / 2, plate2 = plate1 + kCapacitorGap;
  UsePen(p, kGreen, kWirePen + 1);
  p.drawLine(QPointF(plate1, -kCapacitorPlate / 2.0), QPointF(plate1, kCapacitorPlate / 2.0));
  p.drawLine(QPointF(plate2, -kCapacitorPlate / 2.0), QPointF(plate2, kCapacitorPlate / 2.0));
}

// The sine inside the circle stays horizontal whichever way the source runs.
void DrawSource(QPainter& p, const DrawOp& op) {
  UsePen(p, kGreen, kWirePen);
  const qreal length = EnterPartFrame(p, op);
  DrawLeads(p, length, 2 * kSourceRadius);
  p.resetTransform();
  const QPointF centre = (End1(op) + End2(op)) / 2;
  p.drawEllipse(centre, kSourceRadius, kSourceRadius);
  const qreal halfWave = kSourceRadius * 0.6, height = kSourceRadius * 0.4;
  QPainterPath wave(centre - QPointF(halfWave, 0));
  for (int i = 1; i <= 32; ++i) {
    const qreal u = -1 + 2.0 * i / 32;
    wave.lineTo(centre + QPointF(u * halfWave, -height * qSin(kPi * u)));
  }
  p.drawPath(wave);
}

void DrawTerminal(QPainter& p, const DrawOp& op) {
  UsePen(p, kGreen, kWirePen * 0.75);
  p.setBrush(Qt::white);
  p.drawEllipse(End1(op), kTerminalRadius, kTerminalRadius);
}

void DrawLettering(QPainter& p, const QRectF& area, int flags, const char* text) {
  if (text == nullptr) return;
  p.setFont(LetteringFont());
  p.setPen(kBlue);
  p.drawText(area, flags, QString::fromUtf8(text));
}

void DrawBox(QPainter& p, const DrawOp& op) {
  UsePen(p, kBlue, kWirePen);
  const QRectF box = QRectF(End1(op), End2(op)).normalized();
  p.drawRect(box);
  DrawLettering(p, box, Qt::AlignCenter, op.text);
}

void DrawDot(QPainter& p, const DrawOp& op) {
  p.setPen(Qt::NoPen);
  p.setBrush(kBlue);
  p.drawEllipse(End1(op), kDotRadius, kDotRadius);
}

void DrawText(QPainter& p, const DrawOp& op) {
  // A generous area around the point; the alignment places the letters in it.
  constexpr qreal kReach = 400;
  const qreal x = op.x1, y = op.y1 - kReach / 2;
  switch (op.anchor) {
    case Anchor::Center:
      DrawLettering(p, QRectF(x - kReach / 2, y, kReach, kReach), Qt::AlignCenter, op.text);
      break;
    case Anchor::Left:
      DrawLettering(p, QRectF(x, y, kReach, kReach), Qt::AlignLeft | Qt::AlignVCenter, op.text);
      break;
    case Anchor::Right:
      DrawLettering(p, QRectF(x - kReach, y, kReach, kReach), Qt::AlignRight | Qt::AlignVCenter, op.text);
      break;
  }
}

// A filled head with its tip at `tip`, pointing away from `tail`; returns
// where the shaft should stop so it does not poke through the tip.
QPointF DrawArrowHead(QPainter& p, QPointF tail, QPointF tip) {
  const QPointF along = tip - tail;
  const qreal length = qSqrt(QPointF::dotProduct(along, along));
  if (length == 0) return tip;
  const QPointF unit = along / length, across(-unit.y(), unit.x());
  const QPointF base = tip - unit * kArrowHead;
  p.save();
  p.setPen(Qt::NoPen);
  p.setBrush(kBlue);
  p.drawPolygon(QPolygonF{tip, base + across * kArrowHalfWidth, base - across * kArrowHalfWidth});
  p.restore();
  return base;
}

void DrawArrow(QPainter& p, const DrawOp& op) {
  UsePen(p, kBlue, kArrowPen);
  const QPointF shaftEnd = DrawArrowHead(p, End1(op), End2(op));
  p.drawLine(End1(op), shaftEnd);
}

void DrawDoubleArrow(QPainter& p, const DrawOp& op) {
  UsePen(p, kBlue, kArrowPen);
  const QPointF shaftEnd = DrawArrowHead(p, End1(op), End2(op));
  const QPointF shaftStart = DrawArrowHead(p, End2(op), End1(op));
  p.drawLine(shaftStart, shaftEnd);
}

using DrawRoutine = void (*)(QPainter&, const DrawOp&);

// Wires go down first, then the green symbols (so open ends cover the wire
// ends), then everything blue, so dots and lettering are never overdrawn.
struct ShapePainting {
  DrawRoutine draw;
  int layer;
};

// Indexed by Shape.
constexpr ShapePainting kShapePaintings[] = {
    {DrawWire, 0},     {DrawResistor, 1}, {DrawInductor, 1}, {DrawCapacitor, 1},
    {DrawSource, 1},   {DrawTerminal, 1}, {DrawBox, 2},      {DrawDot, 2},
    {DrawText, 2},     {DrawArrow, 2},    {DrawDoubleArrow, 2},
};
static_assert(std::size(kShapePaintings) == static_cast<std::size_t>(Shape::DoubleArrow) + 1);
constexpr int kLayers = 3;

QPixmap PaintPicture(const PictureSpec& picture, qreal dpr) {
  QPixmap pixmap(qCeil(picture.width * dpr), qCeil(picture.height * dpr));
  pixmap.setDevicePixelRatio(dpr);
  pixmap.fill(Qt::white);
  QPainter p(&pixmap);
  p.setRenderHint(QPainter::Antialiasing);
  p.setRenderHint(QPainter::TextAntialiasing);
  for (int layer = 0; layer < kLayers; ++layer) {
    for (const DrawOp& op : picture.ops) {
      const ShapePainting& painting = kShapePaintings[static_cast<int>(op.shape)];
      if (painting.layer != layer) continue;
      p.save();
      painting.draw(p, op);
      p.restore();
    }
  }
  // The frame last, so nothing drawn near the edge covers it: four filled
  // strips one pixel wide, square at the corners at any ratio.
  const int w = picture.width, h = picture.height;
  for (const QRect& strip : {QRect(0, 0, w, 1), QRect(0, h - 1, w, 1), QRect(0, 0, 1, h), QRect(w - 1, 0, 1, h)})
    p.fillRect(strip, Qt::black);
  return pixmap;
}

QPixmap PaintTarget(int size) {
  QPixmap pixmap(size, size);
  pixmap.fill(Qt::transparent);
  QPainter p(&pixmap);
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(Qt::NoPen);
  // Five bands from the outside in, red first, so the bull's-eye is red too.
  constexpr int kBands = 5;
  const QPointF centre(size / 2.0, size / 2.0);
  const qreal outer = size / 2.0 - 0.5;
  for (int band = 0; band < kBands; ++band) {
    const qreal radius = outer * (kBands - band) / kBands;
    p.setBrush(band % 2 == 0 ? kRed : kYellow);
    p.drawEllipse(centre, radius, radius);
  }
  return pixmap;
}

}  // namespace

QSize PictureSize(PictureId id) {
  const PictureSpec& picture = PictureSpecOf(id);
  return QSize(picture.width, picture.height);
}

QPixmap RenderPicture(PictureId id, qreal devicePixelRatio) {
  // Each picture is drawn once per ratio; the windows only ever show copies.
  static std::map<std::pair<PictureId, qreal>, QPixmap> cache;
  const PictureSpec& picture = PictureSpecOf(id);
  if (picture.width <= 0 || picture.height <= 0 || devicePixelRatio <= 0) return QPixmap();
  auto [entry, added] = cache.try_emplace({id, devicePixelRatio});
  if (added) entry->second = PaintPicture(picture, devicePixelRatio);
  return entry->second;
}

QIcon AppIcon() {
  static const QIcon icon = [] {
    QIcon target;
    for (int size : {16, 32, 48, 64, 128, 256}) target.addPixmap(PaintTarget(size));
    return target;
  }();
  return icon;
}

void PaintSchematicValues(QPainter& p, const std::vector<SchematicValue>& values, int valuePx) {
  constexpr qreal kRoom = 160;
  for (const SchematicValue& v : values) {
    const qreal x = v.anchor == Anchor::Left ? v.x : v.anchor == Anchor::Right ? v.x - kRoom : v.x - kRoom / 2;
    const Qt::Alignment align = v.anchor == Anchor::Left    ? Qt::AlignLeft
                                : v.anchor == Anchor::Right ? Qt::AlignRight
                                                            : Qt::AlignHCenter;
    p.drawText(QRectF(x, v.y - valuePx, kRoom, 2 * valuePx), align | Qt::AlignVCenter,
               QString::fromStdString(v.text));
  }
}
