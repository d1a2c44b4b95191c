#pragma once
// The analysis windows of a result window's design: the frequency response,
// the Smith chart and the preferred values. Each keeps its own copy of the
// design it was opened for, so a later compute never mixes two designs, and
// says in its title which result window it shows.
#include <QSize>
#include <QString>
#include <QStringList>

#include <optional>

#include "analysis/amplifier.h"
#include "forms/result_commands.h"
#include "gui/design_store.h"

class QLineEdit;
class QPushButton;
class QTableWidget;
class QWidget;
struct Figure;

// Registers "Analisi/Risposta in frequenza…" (Ctrl+R), "Analisi/Carta di
// Smith…", "Analisi/Valori commerciali…" and "Analisi/Rumore…" for the four
// result windows.
void RegisterAnalysisMenus();

// Open a new window on the design the result window shows now; nullptr (and
// a message) when it has none or it cannot be analysed.
QWidget* OpenResponseWindow(FormId form);
QWidget* OpenSmithWindow(FormId form);
QWidget* OpenPreferredValuesWindow(FormId form);
QWidget* OpenNoiseWindow(FormId form);

// For the windows: the design of a result window captured for analysis, with
// a message when it cannot be.
struct AnalysedDesign {
  FormId form = FormId::Form2;  // the result window it was opened from
  WindowDesign source;
  AmplifierDesign design;
  QString caption;  // "reti L-C-L / L-C-L, 500 MHz (finestra «ImZi < 0 ImZo < 0»)"
};
std::optional<AnalysedDesign> AnalyseWindowDesign(FormId form);

// A number as typed in a field of these windows, "." or "," as the
// separator; nullopt unless the whole text is one finite number.
std::optional<double> ReadNumberText(const QLineEdit* edit);

// The same windows for a design given whole (the low-noise design).
QWidget* OpenResponseWindow(AnalysedDesign design);
QWidget* OpenSmithWindow(AnalysedDesign design);
QWidget* OpenPreferredValuesWindow(AnalysedDesign design);

// A window's first size: the one wanted, made smaller where the screen is.
QSize FittedSize(QSize wanted);

// A push button by object name that Enter in a box does not press.
QPushButton* WindowButton(const QString& text, const char* name);

// A table of results the user reads but does not edit, by object name, with
// these column headings and no row numbers; its rows are the font's height
// and `rowPadding` pixels, and it is never shorter than all `rows` need, so
// every row stays in sight at any scale. Its columns' widths are the
// caller's.
QTableWidget* ResultsTable(const char* name, const QStringList& headers, int rows, int rowPadding);

// Ask for a file name and write the figure as PNG or SVG there, or the
// text; a failure is told in a message. True when written.
enum class ImageFormat { Png, Svg };
bool ExportFigure(QWidget* parent, const Figure& figure, QSize size, ImageFormat format,
                  const QString& suggestedBase);
bool ExportText(QWidget* parent, const QString& title, const QString& filter, const QString& suggested,
                const std::string& text);
