// The real windows: start states, tab order, the input window's actions
// clicked as a user would, captions that fit, result window lifecycle and
// the message service.
#include <QAbstractButton>
#include <QApplication>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStyleOptionButton>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "forms/controls.h"
#include "gui/qt_ui.h"
#include "tests/gui/fresh_windows.h"

namespace {


class Windows : public ::testing::Test {
 protected:
  void SetUp() override {
    OpenFreshWindows(design_);
  }

  static QWidget* Control(FormId form, const char* name) {
    QWidget* w = FindControl(form, name);
    EXPECT_NE(w, nullptr) << name;
    return w;
  }
  static QString Text(const char* field) {
    return static_cast<QLineEdit*>(Control(FormId::Form1, field))->text();
  }
  static bool Shown(FormId form, const char* name) { return !Control(form, name)->isHidden(); }
  static void Click(FormId form, const char* name) {
    static_cast<QAbstractButton*>(Control(form, name))->click();
  }
  static bool Checked(const char* option) {
    return static_cast<QAbstractButton*>(Control(FormId::Form1, option))->isChecked();
  }

  static DesignState design_;
};
DesignState Windows::design_;

TEST_F(Windows, InputWindowOpensInItsStartState) {
  QWidget* form = FormWidget(FormId::Form1);
  ASSERT_NE(form, nullptr);
  EXPECT_EQ(form->windowTitle(), "Adattamento BJT rappresentato con parametri S");
  EXPECT_EQ(form->size(), QSize(1253, 611));
  EXPECT_FALSE(form->windowIcon().isNull());
  for (const ControlSpec& c : FormSpecOf(FormId::Form1).controls) {
    EXPECT_EQ(Shown(FormId::Form1, c.name), c.visible) << c.name;
    EXPECT_EQ(Control(FormId::Form1, c.name)->geometry(),
              QRect(c.left / 15, c.top / 15, c.width / 15, c.height / 15)) << c.name;
    if (c.kind == ControlKind::Text) {
      EXPECT_EQ(Text(c.name), QString::fromUtf8(c.caption)) << c.name;
    }
  }
  for (const char* option : {"Option1", "Option2", "Option3", "Option4"}) EXPECT_FALSE(Checked(option));
  EXPECT_EQ(form->focusWidget(), FindControl(FormId::Form1, "Text14"));
  EXPECT_EQ(static_cast<QLabel*>(Control(FormId::Form1, "Label6"))->text(), QString::fromUtf8("[Ω]"));
  EXPECT_EQ(static_cast<QLineEdit*>(Control(FormId::Form1, "Text1"))->maxLength(), 32767);
  EXPECT_EQ(Control(FormId::Form1, "Text1")->palette().color(QPalette::Base), QColor(255, 192, 192));
  EXPECT_EQ(Control(FormId::Form1, "Option4")->palette().color(QPalette::Window), QColor(255, 128, 0));
}

// Tab as the user presses it: hidden fields are skipped, and the option group
// is one stop (the arrow keys move within it).
TEST_F(Windows, TabGoesThroughTheShownControlsInOrder) {
  QWidget* form = FormWidget(FormId::Form1);
  form->activateWindow();
  QApplication::processEvents();
  ASSERT_EQ(QApplication::focusWidget(), FindControl(FormId::Form1, "Text14"));
  auto pressTabs = [](int count) {
    std::vector<QString> order;
    for (int i = 0; i < count; ++i) {
      QKeyEvent tab(QEvent::KeyPress, Qt::Key_Tab, Qt::NoModifier);
      QApplication::sendEvent(QApplication::focusWidget(), &tab);
      order.push_back(QApplication::focusWidget()->objectName());
    }
    return order;
  };
  const std::vector<QString> atStart = {"Text12", "Text10", "Text1",    "Text2",    "Text3",
                                        "Text4",  "Text5",  "Text6",    "Text7",    "Text8",
                                        "Text9",  "Command1", "Picture1", "Command2", "Option1",
                                        "Text14"};
  EXPECT_EQ(pressTabs(16), atStart);

  Click(FormId::Form1, "Option3");
  const std::vector<QString> withCf = {"Text12",   "Text10", "Text1",    "Text2",  "Text3",
                                       "Text4",    "Text5",  "Text6",    "Text7",  "Text8",
                                       "Text9",    "Command1", "Picture1", "Text11", "Command2",
                                       "Option1",  "Text15", "Text14"};
  EXPECT_EQ(pressTabs(18), withCf);
}

TEST_F(Windows, OptionsShowAndKeepTheirFeedbackFields) {
  QWidget* text13 = Control(FormId::Form1, "Text13");
  static_cast<QLineEdit*>(text13)->setText("4.7");
  Click(FormId::Form1, "Option2");
  Click(FormId::Form1, "Option4");
  EXPECT_TRUE(Checked("Option4"));
  EXPECT_FALSE(Checked("Option2"));
  for (const char* name : {"Text11", "Label17", "Label23", "Text13", "Label18", "Label25"})
    EXPECT_TRUE(Shown(FormId::Form1, name)) << name;

  Click(FormId::Form1, "Option2");
  Click(FormId::Form1, "Option3");
  EXPECT_TRUE(text13->isHidden());
  EXPECT_TRUE(Shown(FormId::Form1, "Text15"));
  EXPECT_EQ(Control(FormId::Form1, "Text15")->geometry(), text13->geometry());
  EXPECT_EQ(Text("Text13"), "4.7");
}

TEST_F(Windows, OptionAnswersAMouseClickAnywhereInItsRectangle) {
  QWidget* option = Control(FormId::Form1, "Option1");
  const QPointF farRight(option->width() - 3, option->height() / 2);
  for (QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
    QMouseEvent event(type, farRight, option->mapToGlobal(farRight), Qt::LeftButton,
                      type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(option, &event);
  }
  EXPECT_TRUE(Checked("Option1"));
  EXPECT_TRUE(Shown(FormId::Form1, "Text11"));
}

TEST_F(Windows, ClearingAnOptionByCodeRunsNoAction) {
  Click(FormId::Form1, "Option2");
  HideControl(FormId::Form1, "Text13");
  ClearOption(FormId::Form1, "Option2");
  EXPECT_FALSE(IsOptionSelected(FormId::Form1, "Option2"));
  EXPECT_FALSE(Shown(FormId::Form1, "Text13"));
  // The group is still exclusive afterwards.
  Click(FormId::Form1, "Option1");
  Click(FormId::Form1, "Option4");
  EXPECT_FALSE(Checked("Option1"));
  EXPECT_TRUE(Checked("Option4"));
}

TEST_F(Windows, TestValuesKeepTheOtherFields) {
  static_cast<QLineEdit*>(Control(FormId::Form1, "Text12"))->setText("75");
  Click(FormId::Form1, "Command2");
  Click(FormId::Form1, "Command2");
  const std::pair<const char*, const char*> expected[] = {
      {"Text1", "0.51"}, {"Text2", "-44.8"}, {"Text3", "24.51"}, {"Text4", "142.5"},
      {"Text5", "0.01"}, {"Text6", "74.5"},  {"Text7", "0.86"},  {"Text8", "-16.7"},
      {"Text14", "100"}, {"Text12", "75"},   {"Text9", "50"},    {"Text11", "5"}};
  for (const auto& [field, text] : expected) EXPECT_EQ(Text(field), text) << field;
  EXPECT_TRUE(g_messages.empty());
}

// Every caption fits its control in the font it is shown in.
TEST_F(Windows, EveryCaptionFitsItsControl) {
  for (int f = 1; f <= 5; ++f) {
    const FormId form = static_cast<FormId>(f);
    ShowForm(form);
    for (const ControlSpec& c : FormSpecOf(form).controls) {
      QWidget* w = Control(form, c.name);
      const QFontMetrics fm(w->font());
      const QString where = QString("%1.%2").arg(FormName(form), c.name);
      if (auto* label = qobject_cast<QLabel*>(w); label && !label->text().isEmpty()) {
        const QRect area = label->contentsRect();
        if (label->wordWrap()) {
          EXPECT_LE(fm.boundingRect(QRect(0, 0, area.width(), 1000), Qt::TextWordWrap, label->text()).height(),
                    area.height()) << where.toStdString();
        } else {
          EXPECT_LE(fm.horizontalAdvance(label->text()), area.width()) << where.toStdString();
          EXPECT_LE(fm.height(), area.height()) << where.toStdString();
        }
      } else if (auto* button = qobject_cast<QPushButton*>(w)) {
        QStyleOptionButton option;
        option.initFrom(button);
        const QRect area = button->style()->subElementRect(QStyle::SE_PushButtonContents, &option, button);
        const QRect needed = fm.boundingRect(QRect(0, 0, area.width(), 1000),
                                             Qt::AlignCenter | Qt::TextWordWrap, button->text());
        EXPECT_LE(needed.width(), area.width()) << where.toStdString();
        EXPECT_LE(needed.height(), area.height()) << where.toStdString();
      } else if (auto* option = qobject_cast<QRadioButton*>(w)) {
        QStyleOptionButton style;
        style.initFrom(option);
        const QRect area = option->style()->subElementRect(QStyle::SE_RadioButtonContents, &style, option);
        EXPECT_LE(fm.horizontalAdvance(option->text()), area.width()) << where.toStdString();
      }
    }
  }
}

TEST_F(Windows, ResultWindowOpensInItsStartState) {
  ShowForm(FormId::Form3);
  QWidget* form = FormWidget(FormId::Form3);
  ASSERT_NE(form, nullptr);
  EXPECT_TRUE(form->isVisible());
  EXPECT_TRUE(FormWidget(FormId::Form1)->isVisible());
  EXPECT_EQ(form->windowTitle(), "ImZi < 0  ImZo > 0");
  EXPECT_EQ(form->size(), QSize(1192, 655));
  for (const char* name : {"Picture1", "Command1", "Command2", "Label1", "Label18", "Label37", "Label38", "Label39"})
    EXPECT_TRUE(Shown(FormId::Form3, name)) << name;
  for (const char* name : {"Label27", "Label10", "Label50", "Label54", "Picture2", "Picture3", "Picture4",
                           "Label28", "Label36"})
    EXPECT_FALSE(Shown(FormId::Form3, name)) << name;
  auto* box = static_cast<QLabel*>(Control(FormId::Form3, "Label20"));
  EXPECT_TRUE(box->text().isEmpty());
  EXPECT_TRUE(box->alignment() & Qt::AlignRight);
  EXPECT_EQ(box->frameShape(), QFrame::Box);
  EXPECT_TRUE(box->textInteractionFlags() & Qt::TextSelectableByKeyboard);
  EXPECT_EQ(box->palette().color(QPalette::Window), QColor(192, 192, 255));
  EXPECT_EQ(Control(FormId::Form3, "Label47")->palette().color(QPalette::Window), QColor(255, 192, 128));
  EXPECT_EQ(static_cast<QLabel*>(Control(FormId::Form3, "Label17"))->text(), "Coi1");
}

TEST_F(Windows, ClosedResultWindowComesBackInItsStartState) {
  ShowForm(FormId::Form2);
  SetCaption(FormId::Form2, "Label1", "5.54E+01");
  ShowControl(FormId::Form2, "Label27");
  ShowForm(FormId::Form2);  // still open: it keeps what it shows
  EXPECT_EQ(static_cast<QLabel*>(Control(FormId::Form2, "Label1"))->text(), "5.54E+01");
  EXPECT_TRUE(IsControlVisible(FormId::Form2, "Label27"));

  FormFrame(FormId::Form2)->close();
  EXPECT_EQ(FormWidget(FormId::Form2), nullptr);
  EXPECT_FALSE(IsFormOpen(FormId::Form2));
  ShowForm(FormId::Form2);
  EXPECT_TRUE(IsFormOpen(FormId::Form2));
  EXPECT_TRUE(static_cast<QLabel*>(Control(FormId::Form2, "Label1"))->text().isEmpty());
  EXPECT_FALSE(IsControlVisible(FormId::Form2, "Label27"));
}

TEST_F(Windows, ClosedInputWindowStillAnswersReads) {
  static_cast<QLineEdit*>(Control(FormId::Form1, "Text10"))->setText("75");
  FormFrame(FormId::Form1)->close();
  EXPECT_FALSE(IsFormOpen(FormId::Form1));
  EXPECT_EQ(ReadText(FormId::Form1, "Text10"), u"75");
}

TEST_F(Windows, MessagesGoThroughTheHandler) {
  static_cast<QLineEdit*>(Control(FormId::Form1, "Text1"))->clear();
  static_cast<QLineEdit*>(Control(FormId::Form1, "Text14"))->clear();
  Click(FormId::Form1, "Command1");
  EXPECT_EQ(g_messages, std::vector<std::string>{"Hai dimenticato di scrivere il modulo di S11"});
  for (FormId form : kResultForms) EXPECT_FALSE(IsFormOpen(form));
}

}  // namespace

namespace {

TEST_F(Windows, ValueBoxAnnouncesItsQuantityAndValue) {
  ShowForm(FormId::Form2);
  SetCaption(FormId::Form2, "Label1", "5.54E+01");
  QWidget* box = Control(FormId::Form2, "Label1");
  EXPECT_EQ(box->accessibleName(), QStringLiteral("Li1 [nH]"));
  EXPECT_EQ(box->accessibleDescription(), QStringLiteral("5.54E+01"));
  EXPECT_EQ(Control(FormId::Form1, "Text1")->accessibleName(), QStringLiteral("modulo di S11"));
}

}  // namespace
