// What an ordinary user needs of the real windows beyond their layout: a
// window too large for its screen scrolls, Enter presses a focused button,
// results copy whole, and a message sends the focus where the fault is.
#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QWindow>

#include <gtest/gtest.h>

#include "gui/copy_results.h"
#include "gui/menus.h"
#include "tests/gui/fresh_windows.h"

namespace {

QScreen* ScreenNamed(const char* name) {
  for (QScreen* s : QGuiApplication::screens())
    if (s->name() == QLatin1String(name)) return s;
  return nullptr;
}

class Comfort : public ::testing::Test {
 protected:
  void SetUp() override { OpenFreshWindows(design_); }

  static QWidget* Control(FormId form, const char* name) { return FindControl(form, name); }
  static QLineEdit* Field(const char* name) {
    return static_cast<QLineEdit*>(Control(FormId::Form1, name));
  }
  static QLabel* Box(const char* name) { return static_cast<QLabel*>(Control(FormId::Form2, name)); }
  static void Click(FormId form, const char* name) {
    static_cast<QAbstractButton*>(Control(form, name))->click();
  }
  static void Press(QWidget* w, Qt::Key key) {
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
    QApplication::sendEvent(w, &press);
    QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier);
    QApplication::sendEvent(w, &release);
  }
  // The test values with Rf = 5 kohm: Form2, computed.
  static void ComputeWorkedExample() {
    Click(FormId::Form1, "Command2");
    Click(FormId::Form1, "Option1");
    Click(FormId::Form1, "Command1");
    ASSERT_NE(FormWidget(FormId::Form2), nullptr);
    Click(FormId::Form2, "Command1");
  }
  static DesignState design_;
};
DesignState Comfort::design_;

TEST_F(Comfort, WindowTooLargeForItsScreenScrollsAndFitsAgainElsewhere) {
  QScreen* small = ScreenNamed("small");
  ASSERT_NE(small, nullptr) << "the test program makes a small second screen";
  ShowForm(FormId::Form2);
  for (FormId form : {FormId::Form1, FormId::Form2}) {
    QWidget* frame = FormFrame(form);
    QWidget* client = FormWidget(form);
    const QSize clientSize = client->size();
    const QRect command1 = FindControl(form, "Command1")->geometry();
    ASSERT_EQ(frame->findChild<QScrollArea*>(), nullptr);

    frame->windowHandle()->setScreen(small);
    QApplication::processEvents();
    auto* scroll = frame->findChild<QScrollArea*>();
    ASSERT_NE(scroll, nullptr) << FormName(form);
    EXPECT_EQ(scroll->widget(), client);
    const QSize room = small->availableGeometry().size();
    EXPECT_LE(frame->frameGeometry().width(), room.width()) << FormName(form);
    EXPECT_LE(frame->frameGeometry().height(), room.height()) << FormName(form);
    EXPECT_EQ(client->size(), clientSize);
    EXPECT_EQ(FindControl(form, "Command1")->geometry(), command1);
    EXPECT_GT(scroll->horizontalScrollBar()->maximum(), 0);
    EXPECT_GT(scroll->verticalScrollBar()->maximum(), 0);
    // Everything can be reached: the compute button scrolls into view.
    QWidget* compute = FindControl(form, "Command1");
    scroll->ensureWidgetVisible(compute, 0, 0);
    EXPECT_TRUE(scroll->viewport()->rect().contains(
        QRect(compute->mapTo(scroll->viewport(), QPoint(0, 0)), compute->size())))
        << FormName(form);

    frame->windowHandle()->setScreen(QGuiApplication::primaryScreen());
    EXPECT_EQ(frame->findChild<QScrollArea*>(), nullptr) << FormName(form);
    EXPECT_EQ(client->parentWidget(), frame);
    EXPECT_FALSE(client->autoFillBackground());
    QApplication::processEvents();
    EXPECT_EQ(frame->size(), clientSize + QSize(0, frame->findChild<QMenuBar*>()->height()));
  }
}

TEST_F(Comfort, EnterAndReturnPressAFocusedButton) {
  Field("Text1")->clear();
  Press(Control(FormId::Form1, "Command2"), Qt::Key_Return);
  EXPECT_FALSE(Field("Text1")->text().isEmpty()) << "the test values were not written";

  Click(FormId::Form1, "Option1");
  Press(Control(FormId::Form1, "Command1"), Qt::Key_Enter);
  ASSERT_NE(FormWidget(FormId::Form2), nullptr);
  Press(Control(FormId::Form2, "Command1"), Qt::Key_Enter);
  EXPECT_FALSE(Box("Label1")->text().isEmpty());
  Press(Control(FormId::Form2, "Command2"), Qt::Key_Return);
  EXPECT_FALSE(Box("Label10")->isHidden());

  // The program's other windows too, once; a dialog's default button is its own affair.
  QWidget window;
  auto* button = new QPushButton(QStringLiteral("Esporta"), &window);
  int clicks = 0;
  QObject::connect(button, &QPushButton::clicked, [&] { ++clicks; });
  Press(button, Qt::Key_Return);
  EXPECT_EQ(clicks, 1);
}

TEST_F(Comfort, ValueBoxSelectsWholeAndCopiesFromItsMenu) {
  ComputeWorkedExample();
  QLabel* li1 = Box("Label1");
  const QPointF middle(li1->width() / 2.0, li1->height() / 2.0);
  QMouseEvent twice(QEvent::MouseButtonDblClick, middle, li1->mapToGlobal(middle), Qt::LeftButton,
                    Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(li1, &twice);
  EXPECT_EQ(li1->selectedText(), QStringLiteral("5.54E+01"));

  QContextMenuEvent right(QContextMenuEvent::Mouse, middle.toPoint(), li1->mapToGlobal(middle.toPoint()));
  QApplication::sendEvent(li1, &right);
  auto* menu = li1->findChild<QMenu*>();
  ASSERT_NE(menu, nullptr);
  const QList<QAction*> actions = menu->actions();
  ASSERT_EQ(actions.size(), 2);
  EXPECT_EQ(actions[0]->text(), QStringLiteral("Copia"));
  EXPECT_EQ(actions[1]->text(), QStringLiteral("Copia tutti i risultati"));
  actions[0]->trigger();
  EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("5.54E+01"));
  actions[1]->trigger();
  EXPECT_EQ(QApplication::clipboard()->text(), ResultsText(FormId::Form2));
  menu->close();
}

TEST_F(Comfort, CopyResultsIsATableOfWhatTheWindowShows) {
  const QString copy = QStringLiteral("Modifica/Copia risultati");
  ShowForm(FormId::Form2);
  EXPECT_NE(TriggerMenuEntry(FormId::Form2, copy), "") << "nothing to copy yet";
  FormFrame(FormId::Form2)->close();
  ComputeWorkedExample();

  ASSERT_EQ(TriggerMenuEntry(FormId::Form2, copy), "");
  QStringList lines = QApplication::clipboard()->text().split(u'\n', Qt::SkipEmptyParts);
  // Three elements of each network, two gains and Rf; the verification panel is hidden.
  ASSERT_EQ(lines.size(), 9);
  EXPECT_EQ(lines[0], QStringLiteral("Li1\t5.54E+01\tnH"));
  EXPECT_EQ(lines[5], QStringLiteral("Co\t1.79E+01\tpF"));
  EXPECT_EQ(lines[7], QStringLiteral("Po / Pi\t9.87E+02\t"));
  EXPECT_EQ(lines[8], QStringLiteral("Rf\t5.00E+00\tkohm"));

  Click(FormId::Form2, "Command2");
  ASSERT_EQ(TriggerMenuEntry(FormId::Form2, copy), "");
  lines = QApplication::clipboard()->text().split(u'\n', Qt::SkipEmptyParts);
  ASSERT_EQ(lines.size(), 21);
  EXPECT_EQ(lines[9], QStringLiteral("Re(Zitot)\t") + Box("Label10")->text() + QStringLiteral("\tohm"));
  EXPECT_EQ(lines[12], QStringLiteral("Im(Zotot)\t") + Box("Label25")->text() + QStringLiteral("\tohm"));

  QAction* entry = nullptr;
  for (QAction* a : FormFrame(FormId::Form2)->findChildren<QAction*>())
    if (a->text() == QStringLiteral("Copia risultati")) entry = a;
  ASSERT_NE(entry, nullptr);
  EXPECT_EQ(entry->shortcut(), QKeySequence(QStringLiteral("Ctrl+Shift+C")));
}

TEST_F(Comfort, MessageSendsTheFocusToTheFieldWithItsTextSelected) {
  QLineEdit* s12 = Field("Text5");
  Click(FormId::Form1, "Command2");
  Click(FormId::Form1, "Option1");
  struct Case {
    QString text;
    std::string message;
  } cases[] = {
      {QString(), "Hai dimenticato di scrivere il modulo di S12"},
      {QStringLiteral("0,5"), "Errore di inserimento dati per il modulo di S12"},
      {QStringLiteral("1e999"),
       "Errore di calcolo: valore troppo grande (overflow) durante la lettura del modulo di S12. "
       "Controlla i valori inseriti."},
  };
  for (const Case& c : cases) {
    s12->setText(c.text);
    Field("Text14")->setFocus();
    g_messages.clear();
    Click(FormId::Form1, "Command1");
    ASSERT_EQ(g_messages.size(), 1u) << c.message;
    EXPECT_EQ(g_messages[0].rfind(c.message, 0), 0u) << g_messages[0];
    EXPECT_EQ(FormWidget(FormId::Form1)->focusWidget(), s12) << c.message;
    EXPECT_EQ(s12->selectedText(), c.text);
    EXPECT_EQ(s12->text(), c.text);
  }
}

}  // namespace
