#include "gui/pdf_report.h"

#include <QBuffer>
#include <QDateTime>
#include <QFont>
#include <QFontMetricsF>
#include <QLabel>
#include <QLocale>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>

#include <algorithm>
#include <cstring>

#include "export/exports.h"
#include "figures/response_figure.h"
#include "figures/smith_figure.h"
#include "forms/report_text.h"
#include "gui/dialogs.h"
#include "gui/figure_view.h"
#include "gui/menus.h"
#include "gui/noise_settings.h"
#include "gui/pictures.h"
#include "gui/qt_ui.h"
#include "project/atomic_file.h"

namespace {

// The pages are laid out in screen pixels (96 to the inch), the unit the
// figures and pictures are drawn in; the PDF's own resolution only sets how
// finely that lands on paper.
constexpr int kResolution = 300;
constexpr qreal kUnitsPerInch = 96;
constexpr qreal kPageWidth = 210 / 25.4 * kUnitsPerInch, kPageHeight = 297 / 25.4 * kUnitsPerInch;
constexpr qreal kMargin = 42;  // about 11 mm
constexpr qreal kContentWidth = kPageWidth - 2 * kMargin;
constexpr qreal kColumnGap = 24;
constexpr qreal kColumnWidth = (kContentWidth - kColumnGap) / 2;
constexpr qreal kSectionGap = 14;
constexpr int kTitlePx = 18, kHeadingPx = 13, kBodyPx = 11;
constexpr qreal kRowHeight = 16;
// The schematic's element values, in its own pixels: a little larger than
// its lettering, which shows at about 6.5 pt on the page.
constexpr int kValuePx = 14;
// The schematic goes in as a bitmap of this many device pixels per pixel of
// its own: about 600 dots to the inch at the page's width.
constexpr qreal kSchematicRatio = 4;

const QColor kInk(30, 30, 30);
const QColor kRule(150, 150, 150);
const QColor kShade(238, 240, 246);
const QColor kValueInk(160, 0, 0);

QString Text(const std::string& s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }

QFont ReportFont(int pixels, bool bold = false) {
  QFont font(QStringLiteral("Liberation Sans"));
  font.setStyleHint(QFont::SansSerif);
  font.setPixelSize(pixels);
  font.setBold(bold);
  return font;
}

// Everything one report shows, gathered from the window before any drawing.
struct ReportContent {
  QString caption, date;
  QString transistor;  // the file's name in full with its range, or typed by hand
  PictureId schematic = PictureId::None;
  std::vector<SchematicValue> values;
  std::vector<ReportTable> left, right, bottomLeft, bottomRight;
  std::optional<Figure> response, smith;
  QString responseMissing, smithMissing;
};

// The texts the window's boxes show now. The verification's boxes are
// filled by every compute, shown or not.
ShownValue WindowBoxTexts(FormId form) {
  return [form](const char* box) -> std::optional<std::string> {
    const auto* label = qobject_cast<const QLabel*>(FindControl(form, box));
    if (!label) return std::nullopt;
    return label->text().trimmed().toStdString();
  };
}

// The given texts limited to the given boxes.
ShownValue BoxTexts(const ShownValue& shown, std::vector<const char*> boxes) {
  return [shown, boxes = std::move(boxes)](const char* box) -> std::optional<std::string> {
    const bool wanted =
        std::any_of(boxes.begin(), boxes.end(), [box](const char* b) { return std::strcmp(b, box) == 0; });
    return wanted ? shown(box) : std::nullopt;
  };
}

std::vector<ResultRow> RowsOf(FormId form, const ShownValue& shown, std::vector<const char*> boxes) {
  return ResultRows(form, BoxTexts(shown, std::move(boxes)));
}

ReportTable FeedbackTable(FormId form, const ShownValue& shown, const DesignState& state) {
  const std::vector<const char*> boxes = FeedbackBoxes(state);
  if (boxes.empty()) return {"Retroazione", {}, {{"Elemento Yf", "nessuno"}}};
  return ValueTable("Retroazione", RowsOf(form, shown, boxes));
}

// The transistor's and the pair's noise parameters at f and the amplifier's
// NF, or one row saying there are no data.
ReportTable NoiseTable(const AmplifierDesign& design, const NoiseSource& noise) {
  const std::optional<NoiseAtDesign> at = NoiseAtState(design.state, noise);
  if (!at) return {"Rumore a f", {}, {{kNoNoiseData}}};
  const auto row = [](const char* name, const NoiseParameters& n) {
    return std::vector<std::string>{name, FormatFixed(n.nfMinDb(), 2), FormatFixed(MagnitudeOf(n.gammaOpt), 3),
                                    FormatFixed(DegreesOf(n.gammaOpt), 1), FormatFixed(n.rnOhm, 2)};
  };
  ReportTable table{"Rumore a f (dB, °, ohm; Γopt riferito a Ro)",
                    {"", "NFmin", "|Γopt|", "∠Γopt", "Rn"},
                    {row("Transistor", at->transistor), row("Con la reazione", at->withFeedback)}};
  // The amplifier's NF, and how far it is from the pair's minimum.
  if (const std::optional<AmplifierNoise> a = NoiseOfDesign(design, noise)) {
    table.rows.push_back({"NF amplificatore [dB]", FormatFixed(a->nfDb, 2)});
    table.rows.push_back({"Dal minimo [dB]", FormatFixed(std::max(a->nfDb - a->nfMinPairDb, 0.0), 2)});
  }
  return table;
}

void AddFigures(ReportContent& content, const AnalysedDesign& analysed) {
  const AmplifierDesign& design = analysed.design;
  const auto& file = analysed.source.touchstone;
  const bool fromFile = file && !file->records.empty();
  const SweepPlan plan = fromFile ? DefaultSweep(*file) : DefaultSweep(design);
  const NoiseSource noise = NoiseSourceOf(analysed.source, design.Ro);
  const NoisySweep noisy =
      RunNoisySweep(design, fromFile ? FileTransistor(*file) : ConstantTransistor(design), noise, plan);
  const SweepResult& sweep = noisy.sweep;
  const std::string caption = analysed.caption.toStdString();
  if (sweep.points.empty())
    content.responseMissing = QStringLiteral("La risposta in frequenza non si può calcolare per questo progetto.");
  else
    content.response = BuildResponseFigure({.design = &design,
                                            .sweep = &sweep,
                                            .scale = plan.scale,
                                            .caption = caption,
                                            .constantTransistor = !fromFile,
                                            .rounded = nullptr,
                                            .roundedSeries = {},
                                            .noise = noise ? &noisy.noise : nullptr,
                                            .noiseOrigin = NoiseOriginOf(analysed.source)});
  // The page's heading names the window and the frequency already; the
  // figures' own long titles would not fit the page's width.
  if (content.response) {
    content.response->title = "Risposta in frequenza";
    if (!fromFile)
      content.response->notes.insert(content.response->notes.begin(),
                                     {"Parametri S costanti: variano solo le reti e la reazione", {90, 90, 90}});
  }
  const std::optional<SmithChart> chart = SmithChartOf(design);
  if (!chart)
    content.smithMissing = QStringLiteral("La carta di Smith di questo progetto non si può disegnare.");
  else
    content.smith = BuildSmithFigure({.design = &design, .chart = &*chart, .caption = caption,
                                      .inputReflection = sweep.points.empty() ? nullptr : &sweep,
                                      .stabilityCircles = false});
  if (content.smith) content.smith->title = "Carta di Smith (Ro = " + FormatSignificant(design.Ro, 6) + " ohm)";
}

ReportContent GatherReport(const AnalysedDesign& analysed, const ShownValue& shown) {
  const FormId form = analysed.form;
  const DesignState& state = analysed.source.state;
  ReportContent content;
  content.caption = analysed.caption;
  content.transistor = QStringLiteral("Transistore: ") +
                       QString::fromStdString(TransistorSourceText(analysed.source.touchstonePath,
                                                                   analysed.source.touchstone.get()));
  content.date = QLocale(QLocale::Italian).toString(QDateTime::currentDateTime(), QStringLiteral("d MMMM yyyy, HH:mm"));
  content.schematic = SchematicOf(form);
  content.values = SchematicValues(form, BoxTexts(shown, NetworkBoxes()));
  content.left = {TransistorTable(state), CircuitTable(analysed.design, analysed.source.touchstonePath)};
  content.right = {ValueTable("Reti di adattamento", RowsOf(form, shown, NetworkBoxes())),
                   GainTable(RowsOf(form, shown, GainBoxes()), analysed.design.PoPi),
                   FeedbackTable(form, shown, state)};
  content.bottomLeft = {VerificationTable(RowsOf(form, shown, VerificationBoxes()))};
  content.bottomRight = {StabilityTable(analysed.design),
                         NoiseTable(analysed.design, NoiseSourceOf(analysed.source, analysed.design.Ro))};
  AddFigures(content, analysed);
  return content;
}

// Column widths of a table as shares of its width: the caption column gets
// the most.
std::vector<qreal> ColumnShares(std::size_t columns) {
  if (columns <= 1) return {1.0};
  if (columns == 2) return {0.55, 0.45};
  std::vector<qreal> shares{0.34};
  for (std::size_t i = 1; i < columns; ++i) shares.push_back(0.66 / static_cast<qreal>(columns - 1));
  return shares;
}

void DrawCells(QPainter& p, const std::vector<std::string>& cells, const std::vector<qreal>& shares, qreal left,
               qreal top, qreal width) {
  const QFontMetricsF metrics(p.font());
  qreal x = left;
  for (std::size_t c = 0; c < cells.size() && c < shares.size(); ++c) {
    const qreal w = shares[c] * width;
    const QRectF cell(x + 4, top, w - 8, kRowHeight);
    // A long file name keeps its start and its end.
    const QString text = metrics.elidedText(Text(cells[c]), Qt::ElideMiddle, cell.width());
    const bool overflowing = cells.size() == 2 && c == 1 && metrics.horizontalAdvance(Text(cells[c])) > cell.width();
    p.drawText(cell, Qt::AlignVCenter | (c == 0 || overflowing ? Qt::AlignLeft : Qt::AlignRight), text);
    x += w;
  }
}

// Draws the table with its title; returns the height it took.
qreal DrawTable(QPainter& p, const ReportTable& table, qreal left, qreal top, qreal width) {
  qreal y = top;
  p.setPen(kInk);
  p.setFont(ReportFont(kHeadingPx, true));
  p.drawText(QRectF(left, y, width, kRowHeight + 2), Qt::AlignLeft | Qt::AlignVCenter, Text(table.title));
  y += kRowHeight + 2;
  p.setPen(QPen(kRule, 0.8));
  p.drawLine(QPointF(left, y), QPointF(left + width, y));
  y += 2;
  std::size_t columns = table.header.size();
  for (const auto& row : table.rows) columns = std::max(columns, row.size());
  const std::vector<qreal> shares = ColumnShares(columns);
  if (!table.header.empty()) {
    p.setPen(kInk);
    p.setFont(ReportFont(kBodyPx, true));
    DrawCells(p, table.header, shares, left, y, width);
    y += kRowHeight;
  }
  p.setFont(ReportFont(kBodyPx));
  for (std::size_t r = 0; r < table.rows.size(); ++r) {
    if (r % 2 == 0) p.fillRect(QRectF(left, y, width, kRowHeight), kShade);
    p.setPen(kInk);
    DrawCells(p, table.rows[r], shares, left, y, width);
    y += kRowHeight;
  }
  return y - top;
}

qreal DrawTables(QPainter& p, const std::vector<ReportTable>& tables, qreal left, qreal top, qreal width) {
  qreal y = top;
  for (const ReportTable& table : tables) y += DrawTable(p, table, left, y, width) + kSectionGap;
  return y - top;
}

// The schematic across the page with each element's value above or below
// its name; returns the height it took.
qreal DrawSchematic(QPainter& p, const ReportContent& content, qreal top) {
  const QSize size = PictureSize(content.schematic);
  if (size.isEmpty()) return 0;
  const qreal scale = kContentWidth / size.width();
  const QRectF area(kMargin, top, kContentWidth, size.height() * scale);
  p.drawPixmap(area, RenderPicture(content.schematic, kSchematicRatio), QRectF());
  p.save();
  p.translate(area.topLeft());
  p.scale(scale, scale);
  p.setFont(ReportFont(kValuePx, true));
  p.setPen(kValueInk);
  PaintSchematicValues(p, content.values, kValuePx);
  p.restore();
  return area.height();
}

qreal DrawHeading(QPainter& p, const QString& title, const ReportContent& content) {
  qreal y = kMargin;
  p.setPen(kInk);
  p.setFont(ReportFont(kTitlePx, true));
  p.drawText(QRectF(kMargin, y, kContentWidth, kTitlePx * 1.5), Qt::AlignLeft | Qt::AlignVCenter, title);
  y += kTitlePx * 1.5;
  p.setFont(ReportFont(kBodyPx));
  const QRectF line(kMargin, y, kContentWidth, kRowHeight);
  p.drawText(line, Qt::AlignLeft | Qt::AlignVCenter, content.caption);
  p.drawText(line, Qt::AlignRight | Qt::AlignVCenter, content.date);
  y += kRowHeight;
  // The whole name, on a line of its own: a table cell would cut it short.
  p.drawText(QRectF(kMargin, y, kContentWidth, kRowHeight), Qt::AlignLeft | Qt::AlignVCenter, content.transistor);
  y += kRowHeight + 4;
  p.setPen(QPen(kRule, 1.2));
  p.drawLine(QPointF(kMargin, y), QPointF(kMargin + kContentWidth, y));
  return y + kSectionGap - kMargin;
}

void DrawFirstPage(QPainter& p, const ReportContent& content) {
  qreal y = kMargin + DrawHeading(p, QStringLiteral("Relazione di progetto dell'amplificatore"), content);
  y += DrawSchematic(p, content, y) + kSectionGap;
  const qreal right = kMargin + kColumnWidth + kColumnGap;
  y += std::max(DrawTables(p, content.left, kMargin, y, kColumnWidth),
                DrawTables(p, content.right, right, y, kColumnWidth));
  DrawTables(p, content.bottomLeft, kMargin, y, kColumnWidth);
  DrawTables(p, content.bottomRight, right, y, kColumnWidth);
}

qreal DrawFigureOrNote(QPainter& p, const std::optional<Figure>& figure, const QString& missing, qreal top,
                       qreal height) {
  if (figure) {
    PaintFigure(p, *figure, QRectF(kMargin, top, kContentWidth, height));
    return height;
  }
  p.setPen(kInk);
  p.setFont(ReportFont(kBodyPx));
  p.drawText(QRectF(kMargin, top, kContentWidth, kRowHeight), Qt::AlignLeft | Qt::AlignVCenter, missing);
  return kRowHeight;
}

void DrawSecondPage(QPainter& p, const ReportContent& content) {
  qreal y = kMargin + DrawHeading(p, QStringLiteral("Analisi in frequenza"), content);
  const qreal room = kPageHeight - kMargin - y;
  const qreal responseHeight = room * 0.54;
  y += DrawFigureOrNote(p, content.response, content.responseMissing, y, responseHeight) + kSectionGap;
  DrawFigureOrNote(p, content.smith, content.smithMissing, y, kPageHeight - kMargin - y);
}

std::optional<QByteArray> RenderReport(const ReportContent& content) {
  QByteArray bytes;
  QBuffer buffer(&bytes);
  if (!buffer.open(QIODevice::WriteOnly)) return std::nullopt;
  {
    QPdfWriter writer(&buffer);
    writer.setPageSize(QPageSize(QPageSize::A4));
    writer.setPageMargins(QMarginsF(0, 0, 0, 0));
    writer.setResolution(kResolution);
    writer.setTitle(QStringLiteral("Relazione di progetto — ") + content.caption);
    writer.setCreator(QStringLiteral("Adattamento BJT"));
    QPainter p;
    if (!p.begin(&writer)) return std::nullopt;
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    p.scale(kResolution / kUnitsPerInch, kResolution / kUnitsPerInch);
    DrawFirstPage(p, content);
    if (!writer.newPage()) return std::nullopt;
    DrawSecondPage(p, content);
    if (!p.end()) return std::nullopt;
  }
  buffer.close();
  if (bytes.isEmpty()) return std::nullopt;
  return bytes;
}

void ExportReport(FormId form) {
  const std::optional<AnalysedDesign> analysed = AnalyseWindowDesign(form);
  if (!analysed) return;
  const auto path = AskSaveFileName(FormFrame(form), QStringLiteral("Relazione PDF"),
                                    QStringLiteral("Documenti PDF (*.pdf)"),
                                    QStringLiteral("relazione_") +
                                        QString::fromStdString(DesignFileStem(
                                            analysed->design, analysed->source.touchstonePath)) +
                                        QStringLiteral(".pdf"));
  if (!path) return;
  if (const auto error = WritePdfReport(*analysed, path->toStdString())) ShowMessage(*error);
}

bool HasDesign(FormId form) { return DesignOfWindow(form) != nullptr; }

}  // namespace

std::optional<std::string> WritePdfReport(const AnalysedDesign& design, const std::string& path) {
  return WritePdfReport(design, path, WindowBoxTexts(design.form));
}

std::optional<std::string> WritePdfReport(const AnalysedDesign& design, const std::string& path,
                                          const ShownValue& boxes) {
  const std::optional<QByteArray> bytes = RenderReport(GatherReport(design, boxes));
  if (!bytes) return std::string("Impossibile preparare la relazione PDF");
  return WriteFileAtomically(path, std::string_view(bytes->constData(), static_cast<std::size_t>(bytes->size())));
}

void RegisterReportMenus() {
  const auto forms = {FormId::Form2, FormId::Form3, FormId::Form4, FormId::Form5};
  AddMenuEntry(forms, {QStringLiteral("Esporta/Relazione PDF…"), QKeySequence(), ExportReport, HasDesign,
                       QString::fromUtf8(kWaitsForCompute)});
}
