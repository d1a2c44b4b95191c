// Habits a person brings from other programs: unsaved project edits are
// asked about before they are lost, a grey entry says what it waits for,
// every entry of a menu bar has its own Alt letter, a gone recent file and a
// file that is not text are named for what they are, and the Smith chart's
// labels never cover one another.
#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QSet>
#include <QStyle>
#include <QTabBar>
#include <QTabWidget>
#include <QTableView>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "analysis/smith_chart.h"
#include "figures/smith_figure.h"
#include "forms/headless.h"
#include "forms/result_commands.h"
#include "gui/analysis_windows.h"
#include "gui/dialogs.h"
#include "gui/feedback_explorer_window.h"
#include "gui/figure_view.h"
#include "gui/file_menus.h"
#include "gui/frequency_chooser.h"
#include "gui/menus.h"
#include "gui/smith_window.h"
#include "gui/unsaved_project.h"
#include "tests/gui/fresh_windows.h"

namespace {

QString Sample(const char* name) { return QStringLiteral(BJT_SCENARIO_DIR "/../data/") + name; }

QString Cell(const QTableView* table, int row, int column) {
  return table->model()->index(row, column).data().toString();
}


bool InputOpen() { return FormFrame(FormId::Form1) && FormFrame(FormId::Form1)->isVisible(); }

int Count(const std::string& text) {
  return static_cast<int>(std::count(g_messages.begin(), g_messages.end(), text));
}

const std::string kQuestion = "Salvare le modifiche al progetto?";

class Habits : public ::testing::Test {
 protected:
  void SetUp() override {
    OpenFreshWindows(design_);
  }
  void TearDown() override {
    CloseAnalysisWindows();
  }
  // A project saved in `dir`, then one field typed over.
  QString EditedProject(const QTemporaryDir& dir) {
    const QString path = dir.filePath(QStringLiteral("progetto.bjtp"));
    PushScriptedAnswer(path.toStdString());
    EXPECT_TRUE(SaveProjectAs());
    EXPECT_FALSE(ProjectHasUnsavedEdits());
    SetText(FormId::Form1, "Text1", u"0.33");
    EXPECT_TRUE(ProjectHasUnsavedEdits());
    return path;
  }
  DesignState design_;
};

TEST_F(Habits, ClosingWithUnsavedProjectEditsAsksAndCancelKeepsEverythingOpen) {
  QTemporaryDir dir;
  const QString path = EditedProject(dir);
  ShowForm(FormId::Form2);

  // Annulla (and a question closed without an answer) leaves every window open.
  PushScriptedAnswer("Annulla");
  EXPECT_EQ(TriggerMenuEntry(FormId::Form1, QStringLiteral("File/Esci")), "");
  FormFrame(FormId::Form1)->close();  // no answer queued: as Escape
  EXPECT_EQ(Count(kQuestion), 2);
  EXPECT_TRUE(InputOpen());
  EXPECT_TRUE(IsFormOpen(FormId::Form2));
  EXPECT_EQ(ReadText(FormId::Form1, "Text1"), u"0.33");

  // Salva writes the project, then the window closes, asked only once.
  PushScriptedAnswer("Salva");
  FormFrame(FormId::Form1)->close();
  EXPECT_EQ(Count(kQuestion), 3);
  EXPECT_FALSE(InputOpen());
  QFile saved(path);
  ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
  EXPECT_TRUE(saved.readAll().contains("\"0.33\""));
}

TEST_F(Habits, QuitWithoutSavingAsksOnceAndClosesEverything) {
  QTemporaryDir dir;
  const QString path = EditedProject(dir);
  ShowForm(FormId::Form3);
  PushScriptedAnswer("Non salvare");
  EXPECT_EQ(TriggerMenuEntry(FormId::Form1, QStringLiteral("File/Esci")), "");
  EXPECT_EQ(Count(kQuestion), 1);
  EXPECT_FALSE(InputOpen());
  EXPECT_FALSE(IsFormOpen(FormId::Form3));
  QFile saved(path);
  ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
  EXPECT_FALSE(saved.readAll().contains("\"0.33\""));
}

TEST_F(Habits, NoQuestionWithoutAProjectOrWithNothingChanged) {
  SetText(FormId::Form1, "Text1", u"0.44");  // typed, but no project
  FormFrame(FormId::Form1)->close();
  EXPECT_FALSE(InputOpen());
  OpenFreshWindows(design_);

  QTemporaryDir dir;
  ASSERT_TRUE(OpenProjectPath(Sample("rf_design.bjtp")));
  SetText(FormId::Form1, "Text1", u"9");
  SetText(FormId::Form1, "Text1", u"0.51");  // back as saved
  FormFrame(FormId::Form1)->close();
  EXPECT_FALSE(InputOpen());
  EXPECT_EQ(Count(kQuestion), 0);
}

// The in-memory forms answer the same question from their own queue, and a
// question nobody answers takes its last choice.
TEST_F(Habits, HeadlessQuestionsAreAnsweredFromAQueue) {
  SetUiBackend(nullptr);
  ResetHeadlessForms();
  const std::array<std::string, 3> choices{"Salva", "Non salvare", "Annulla"};
  HeadlessAnswerNextQuestion("Non salvare");
  EXPECT_EQ(AskQuestion(kQuestion, choices), 1u);
  EXPECT_EQ(AskQuestion(kQuestion, choices), 2u);
  EXPECT_EQ(HeadlessQuestions().size(), 2u);
}

std::vector<QAction*> EntriesOf(const QList<QAction*>& actions) {
  std::vector<QAction*> entries;
  for (QAction* a : actions)
    if (!a->isSeparator()) entries.push_back(a);
  return entries;
}

QChar Mnemonic(const QString& text) {
  for (qsizetype i = 0; i + 1 < text.size(); ++i) {
    if (text[i] != u'&') continue;
    if (text[i + 1] != u'&') return text[i + 1].toLower();
    ++i;
  }
  return {};
}

// Every entry of the list has a letter, and no two share one.
void ExpectOwnMnemonics(const QList<QAction*>& actions, const QString& where) {
  QSet<QChar> seen;
  for (QAction* a : EntriesOf(actions)) {
    const QChar m = Mnemonic(a->text());
    EXPECT_FALSE(m.isNull()) << where.toStdString() << ": " << a->text().toStdString();
    EXPECT_FALSE(seen.contains(m)) << where.toStdString() << ": " << a->text().toStdString();
    seen.insert(m);
    if (QMenu* menu = a->menu()) {
      emit menu->aboutToShow();  // fills the recent files
      ExpectOwnMnemonics(menu->actions(), where + u'/' + a->text());
    }
  }
}

TEST_F(Habits, NoTwoEntriesOfAMenuBarShareAMnemonic) {
  for (FormId form : kResultForms) ShowForm(form);
  int bars = 0;
  for (QWidget* window : QApplication::topLevelWidgets()) {
    if (!window->isVisible()) continue;
    for (QMenuBar* bar : window->findChildren<QMenuBar*>()) {
      ++bars;
      ExpectOwnMnemonics(bar->actions(), window->objectName());
    }
  }
  EXPECT_EQ(bars, 5);
  // Analisi and Aiuto: one letter each, the same in every window.
  QStringList tops;
  for (QAction* a : FormFrame(FormId::Form2)->findChild<QMenuBar*>()->actions()) tops << a->text();
  EXPECT_EQ(tops, (QStringList{"&Modifica", "&Analisi", "&Esporta", "A&iuto"}));
}

QAction* EntryAt(FormId form, const QString& top, const QString& text) {
  for (QAction* a : FormFrame(form)->findChild<QMenuBar*>()->actions()) {
    if (QString(a->text()).remove(u'&') != top) continue;
    for (QAction* entry : a->menu()->actions())
      if (QString(entry->text()).remove(u'&') == text) return entry;
  }
  return nullptr;
}

TEST_F(Habits, EntriesWaitingForTheComputeButtonSaySo) {
  for (const char* name : {"Command2", "Option1", "Command1"}) Click(FormId::Form1, name);
  ASSERT_NE(FormFrame(FormId::Form2), nullptr);
  const QString waits = QString::fromUtf8(kWaitsForCompute);
  const std::pair<QString, QString> entries[] = {
      {"Analisi", "Risposta in frequenza…"}, {"Analisi", "Carta di Smith…"},
      {"Analisi", "Valori commerciali…"},    {"Esporta", "Touchstone dell'amplificatore…"},
      {"Esporta", "Schema SPICE…"},          {"Esporta", "Relazione PDF…"}};
  for (const auto& [top, text] : entries) {
    QAction* entry = EntryAt(FormId::Form2, top, text);
    ASSERT_NE(entry, nullptr) << text.toStdString();
    EXPECT_FALSE(entry->isEnabled());
    EXPECT_EQ(entry->toolTip(), waits);
    EXPECT_EQ(entry->statusTip(), waits);
  }
  EXPECT_EQ(waits, QStringLiteral("Premi prima «Calcolo reti di adattamento e verifica»"));
  Click(FormId::Form2, "Command1");
  for (const auto& [top, text] : entries) {
    QAction* entry = EntryAt(FormId::Form2, top, text);
    EXPECT_TRUE(entry->isEnabled());
    EXPECT_NE(entry->toolTip(), waits);
    EXPECT_TRUE(entry->statusTip().isEmpty());
  }
}

TEST_F(Habits, GoneRecentFileIsNamedAndMayLeaveTheList) {
  QTemporaryDir dir;
  UseRecentFilesSettings(dir.filePath(QStringLiteral("settings.ini")));
  const QString path = dir.filePath(QStringLiteral("vecchio.bjtp"));
  PushScriptedAnswer(path.toStdString());
  ASSERT_TRUE(SaveProjectAs());
  ASSERT_TRUE(QFile::remove(path));

  EXPECT_EQ(TriggerMenuEntry(FormId::Form1, QStringLiteral("File/File recenti/1 vecchio.bjtp")), "");
  ASSERT_EQ(g_messages.size(), 1u);
  EXPECT_NE(g_messages[0].find("vecchio.bjtp non esiste più"), std::string::npos) << g_messages[0];
  EXPECT_NE(g_messages[0].find("Toglierlo dall'elenco"), std::string::npos) << g_messages[0];
  EXPECT_TRUE(RecentFiles().contains(path));  // not answered: it stays

  PushScriptedAnswer("Togli dall'elenco");
  EXPECT_EQ(TriggerMenuEntry(FormId::Form1, QStringLiteral("File/File recenti/1 vecchio.bjtp")), "");
  EXPECT_FALSE(RecentFiles().contains(path));
  UseRecentFilesSettings(QString());
}

// No byte of a message is a control character or outside UTF-8.
bool Printable(const std::string& text) {
  const QString decoded = QString::fromUtf8(text);
  if (decoded.toUtf8().toStdString() != text || decoded.contains(QChar::ReplacementCharacter)) return false;
  return std::none_of(decoded.begin(), decoded.end(),
                      [](QChar c) { return c.category() == QChar::Other_Control; });
}

TEST_F(Habits, BinaryFileGivenAsTouchstoneIsNotTextAndNothingUnreadableIsShown) {
  QTemporaryDir dir;
  const QString path = dir.filePath(QStringLiteral("foto.s2p"));
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  QByteArray bytes("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16);
  for (int i = 0; i < 4000; ++i) bytes.append(static_cast<char>((i * 37) & 0xFF));
  file.write(bytes);
  file.close();
  const std::u16string before = ReadText(FormId::Form1, "Text1");
  EXPECT_FALSE(OpenTouchstonePath(path));
  ASSERT_EQ(g_messages.size(), 1u);
  EXPECT_EQ(g_messages[0].rfind("foto.s2p: non è un file di testo", 0), 0u) << g_messages[0];
  EXPECT_TRUE(Printable(g_messages[0]));
  EXPECT_EQ(ReadText(FormId::Form1, "Text1"), before);
}

// Every label box of the chart against every other, at the sizes the chart
// is shown and written at.
void ExpectNoLabelOverlaps(const Figure& figure, QSizeF size, const std::string& what) {
  const std::vector<QRectF> boxes = FigureLabelBoxes(figure, size);
  EXPECT_GT(boxes.size(), 20u) << what;
  for (std::size_t i = 0; i < boxes.size(); ++i)
    for (std::size_t j = i + 1; j < boxes.size(); ++j)
      EXPECT_FALSE(boxes[i].intersects(boxes[j]))
          << what << " at " << size.width() << "x" << size.height() << ": box " << i << " (" << boxes[i].x()
          << "," << boxes[i].y() << " " << boxes[i].width() << "x" << boxes[i].height() << ") and box " << j
          << " (" << boxes[j].x() << "," << boxes[j].y() << ")";
}

void ExpectChartLabelsApart(FormId form, const std::string& what) {
  ASSERT_EQ(TriggerMenuEntry(form, QStringLiteral("Analisi/Carta di Smith...")), "");
  SmithWindow* window = nullptr;
  for (QWidget* w : QApplication::topLevelWidgets())
    if (w->objectName() == QLatin1String("SmithWindow") && w->isVisible())
      window = static_cast<SmithWindow*>(w);
  ASSERT_NE(window, nullptr);
  for (bool extras : {false, true}) {
    window->findChild<QAbstractButton*>(QStringLiteral("stabilityCircles"))->setChecked(extras);
    window->findChild<QAbstractButton*>(QStringLiteral("inputReflection"))->setChecked(extras);
    // The window's view, the exported image, the smallest window and the
    // report page's share.
    for (QSizeF size : {QSizeF(796, 820), QSizeF(820, 860), QSizeF(496, 500), QSizeF(511, 330)})
      ExpectNoLabelOverlaps(window->figure(), size, what + (extras ? " with circles and sweep" : ""));
  }
  window->close();
}

TEST_F(Habits, SmithChartLabelsCoverNoOtherLabel) {
  // A maker's file at 900 MHz with Rf = 1 kohm, and the stored test values.
  ASSERT_TRUE(OpenTouchstonePath(Sample("bfr_maker_ma_mhz.s2p"), 900.0));
  Click(FormId::Form1, "Option1");
  SetText(FormId::Form1, "Text11", u"1");
  Click(FormId::Form1, "Command1");
  const std::optional<FormId> form = OpenResultForm();
  ASSERT_TRUE(form.has_value()) << (g_messages.empty() ? "" : g_messages.front());
  Click(*form, "Command1");
  ExpectChartLabelsApart(*form, "maker's file");

  OpenFreshWindows(design_);
  for (const char* name : {"Command2", "Option1", "Command1"}) Click(FormId::Form1, name);
  Click(FormId::Form2, "Command1");
  ExpectChartLabelsApart(FormId::Form2, "test values");
}

}  // namespace

namespace {

QString Header(const QTableView* table, int column) {
  return table->model()->headerData(column, Qt::Horizontal, Qt::DisplayRole).toString();
}

// Opened with no option chosen, the chooser has the feedback columns; a
// choice in the chooser is the input window's, and the columns follow it
// and its value.
TEST_F(Habits, ChooserFollowsTheFeedbackOptionWhileOpen) {
  const auto read = ReadTouchstoneFile(Sample("bfr_maker_ma_mhz.s2p").toStdString());
  const TouchstoneData& data = std::get<TouchstoneData>(read);
  FrequencyChooser chooser(data, QStringLiteral("bfr_maker_ma_mhz.s2p"), InputWindowFeedback(),
                           FormFrame(FormId::Form1));
  chooser.FollowInputWindow();
  const QTableView* table = chooser.table();
  // 17 columns whatever the option, then NFmin alone and with the feedback
  // (the file has a noise block).
  ASSERT_EQ(table->model()->columnCount(), 19);
  EXPECT_EQ(Header(table, 15), QStringLiteral("μ\ncon retroazione"));
  EXPECT_EQ(Header(table, 18), QStringLiteral("NFmin [dB]\ncon retroazione"));
  EXPECT_EQ(Cell(table, 0, 15), QStringLiteral("—"));

  chooser.findChild<QAbstractButton*>(QStringLiteral("ChooserOption1"))->click();
  EXPECT_TRUE(IsOptionSelected(FormId::Form1, "Option1"));
  EXPECT_EQ(Header(table, 15), QStringLiteral("μ\ncon Rf"));
  const QString withFive = Cell(table, 0, 15);
  EXPECT_NE(withFive, QStringLiteral("—"));
  SetText(FormId::Form1, "Text11", u"1");
  EXPECT_NE(Cell(table, 0, 15), withFive);
  EXPECT_EQ(chooser.findChild<QLabel*>(QStringLiteral("ChooserLegend"))
                ->text()
                .contains(QStringLiteral("con la retroazione Rf")),
            true);

  // A change made in the input window itself is followed too.
  Click(FormId::Form1, "Option3");
  EXPECT_EQ(Header(table, 15), QStringLiteral("μ\ncon Rf // Cf"));
  EXPECT_TRUE(chooser.findChild<QAbstractButton*>(QStringLiteral("ChooserOption3"))->isChecked());
  Click(FormId::Form1, "Option4");
  EXPECT_EQ(Cell(table, 0, 15), QStringLiteral("—"));
  const auto& curves =
      chooser.findChild<FigureView*>(QStringLiteral("ChooserPlot"))->figure().panels[0].curves;
  EXPECT_TRUE(std::none_of(curves.begin(), curves.end(),
                           [](const Curve& c) { return c.name.find("con") != std::string::npos; }));
}

// At its default size no heading line or value of the first rows is wider
// than its column.
TEST_F(Habits, ChooserCutsNoHeadingOrValue) {
  const auto read = ReadTouchstoneFile(Sample("bfr_maker_ma_mhz.s2p").toStdString());
  const TouchstoneData& data = std::get<TouchstoneData>(read);
  for (int option : {1, 2, 3}) {
    FrequencyChooser chooser(data, QString(), FeedbackOfTexts(option, u"1", u"0.1", u"10"));
    chooser.show();
    QApplication::processEvents();
    const QTableView* table = chooser.table();
    const QHeaderView* header = table->horizontalHeader();
    const QFontMetrics headerMetrics(header->font()), cellMetrics(table->font());
    const int margin = 2 * header->style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, header);
    for (int column = 0; column < table->model()->columnCount(); ++column) {
      for (const QString& line : Header(table, column).split(u'\n'))
        EXPECT_GE(header->sectionSize(column), headerMetrics.horizontalAdvance(line) + margin)
            << line.toStdString();
      for (int row = 0; row < table->model()->rowCount(); ++row)
        EXPECT_GE(header->sectionSize(column),
                  cellMetrics.horizontalAdvance(Cell(table, row, column)) + margin)
            << Cell(table, row, column).toStdString();
    }
    EXPECT_GE(header->height(), 2 * headerMetrics.height());
  }
}

}  // namespace

namespace {

// What a user would call cut: a caption, a check box or a button narrower
// than its text, a table cell or heading narrower than its column's text,
// a figure writing a title or note below 8 pixels to make it fit, or two
// of its labels over each other.
void ExpectNothingCut(QWidget* window, const std::string& what) {
  for (QWidget* w : window->findChildren<QWidget*>()) {
    if (!w->isVisibleTo(window)) continue;
    const std::string where = what + " " + w->objectName().toStdString() + " " + w->metaObject()->className();
    const QFontMetrics metrics(w->font());
    if (auto* label = qobject_cast<QLabel*>(w)) {
      if (label->text().isEmpty()) continue;
      if (label->wordWrap()) {
        EXPECT_LE(label->heightForWidth(label->width()), label->height())
            << where << " " << label->text().toStdString();
      } else {
        EXPECT_LE(label->sizeHint().width(), label->width()) << where << " " << label->text().toStdString();
      }
    } else if (auto* check = qobject_cast<QCheckBox*>(w)) {
      EXPECT_LE(check->sizeHint().width(), check->width()) << where << " " << check->text().toStdString();
    } else if (auto* button = qobject_cast<QAbstractButton*>(w)) {
      if (!button->text().isEmpty() && !qobject_cast<QTabBar*>(w->parentWidget())) {
        EXPECT_LE(metrics.horizontalAdvance(QString(button->text()).remove(u'&')) + 8, button->width())
            << where;
      }
    } else if (auto* combo = qobject_cast<QComboBox*>(w)) {
      EXPECT_LE(combo->minimumSizeHint().width(), combo->width()) << where;
    } else if (auto* table = qobject_cast<QTableView*>(w)) {
      const QHeaderView* header = table->horizontalHeader();
      const QFontMetrics headerMetrics(header->font());
      for (int column = 0; column < table->model()->columnCount(); ++column) {
        const int room = header->sectionSize(column) - 4;
        for (const QString& line :
             table->model()->headerData(column, Qt::Horizontal, Qt::DisplayRole).toString().split(u'\n'))
          EXPECT_LE(headerMetrics.horizontalAdvance(line), room) << where << " " << line.toStdString();
        for (int row = 0; row < std::min(table->model()->rowCount(), 50); ++row) {
          const QString text = table->model()->index(row, column).data().toString();
          EXPECT_LE(metrics.horizontalAdvance(text), room) << where << " " << text.toStdString();
        }
      }
    } else if (auto* view = qobject_cast<FigureView*>(w)) {
      EXPECT_GE(FigureLeastTextPixels(view->figure(), QSizeF(view->size())), 8) << where;
      const std::vector<QRectF> boxes = FigureLabelBoxes(view->figure(), QSizeF(view->size()));
      for (std::size_t i = 0; i < boxes.size(); ++i)
        for (std::size_t j = i + 1; j < boxes.size(); ++j)
          EXPECT_FALSE(boxes[i].intersects(boxes[j])) << where;
    }
  }
}

// The analysis windows and the feedback explorer at their least size, which
// a 1600 x 1000 screen still holds at scale 2, and the chooser as it opens
// on a small screen (the headless screen is 800 x 600).
TEST_F(Habits, NoTextIsCutAtTheLeastSize) {
  ASSERT_TRUE(OpenTouchstonePath(Sample("bfr_maker_ma_mhz.s2p"), 900.0));
  Click(FormId::Form1, "Option1");
  SetText(FormId::Form1, "Text11", u"1");
  Click(FormId::Form1, "Command1");
  const std::optional<FormId> form = OpenResultForm();
  ASSERT_TRUE(form.has_value());
  Click(*form, "Command1");
  auto* explorer = static_cast<FeedbackExplorerWindow*>(OpenFeedbackExplorer());
  ASSERT_NE(explorer, nullptr);
  explorer->waitUntilDone();
  QWidget* windows[] = {OpenResponseWindow(*form), OpenSmithWindow(*form), OpenPreferredValuesWindow(*form),
                        explorer};
  for (QWidget* window : windows) {
    ASSERT_NE(window, nullptr);
    for (auto* box : window->findChildren<QCheckBox*>()) box->setChecked(true);
    EXPECT_LE(window->minimumWidth(), 800) << window->objectName().toStdString();
    EXPECT_LE(window->minimumHeight(), 470) << window->objectName().toStdString();
    window->resize(window->minimumSize());
    QApplication::processEvents();
    ExpectNothingCut(window, window->objectName().toStdString());
    if (auto* tabs = window->findChild<QTabWidget*>()) {  // the response's table
      tabs->setCurrentIndex(1);
      QApplication::processEvents();
      ExpectNothingCut(window, window->objectName().toStdString() + " table");
    }
  }

  const auto read = ReadTouchstoneFile(Sample("bfr_maker_ma_mhz.s2p").toStdString());
  FrequencyChooser chooser(std::get<TouchstoneData>(read), QStringLiteral("bfr_maker_ma_mhz.s2p"),
                           InputWindowFeedback(), FormFrame(FormId::Form1));
  chooser.FollowInputWindow();
  chooser.show();
  QApplication::processEvents();
  ExpectNothingCut(&chooser, "chooser");
  // Each of the two small plots keeps a readable height.
  auto* plot = chooser.findChild<FigureView*>(QStringLiteral("ChooserPlot"));
  const FigureLayout layout = LayoutFigure(plot->figure(), plot->width(), plot->height());
  for (const PlotFrame& frame : layout.frames)
    EXPECT_GE(frame.height, 60) << plot->width() << "x" << plot->height() << " in " << chooser.width() << "x"
                                << chooser.height();
}

}  // namespace
