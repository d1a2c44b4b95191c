// bjt-scenario: drives the program's real windows from a script, for tests.
//   bjt-scenario FILE   (or - for standard input)
// One action a line; '#' starts a comment line:
//   set FORM.CONTROL TEXT   replace a field's text as a user would (escapes \\ \t \n \s \uXXXX)
//   click FORM.CONTROL      a user's click on a push button or option button
//   close FORM              the user closes that window
//   menu FORM PATH          the user chooses a menu entry (File/Apri file Touchstone...)
//   answer TEXT             the answer the next dialog gets: a file's path, a dialog's own
//                           answer ("row 3", "freq 1234.5"), or cancel
//   snap DIR                DIR/FORM.png of every open window (and DIR/FORMFrame.png, menu
//                           bar and status line included, of one with a status line),
//                           DIR/NAME.png of the other windows by object name
//                           (ResponseWindow, SmithWindow ...)
//   press WINDOW.CHILD      a click on a button or check box of another window, both by
//                           object name (SmithWindow.noiseCircles)
//   dump                    one JSON line: messages since the last dump, windows,
//                           the other open windows ("others": name, title), state
// An unknown name or a malformed line: a message on stderr, exit status 2.
#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QRadioButton>
#include <QWidget>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <fstream>
#include <iostream>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "figures/figure.h"
#include "forms/controls.h"
#include "gui/dialogs.h"
#include "gui/figure_view.h"
#include "gui/help_dialogs.h"
#include "gui/menus.h"
#include "gui/program.h"
#include "gui/qt_ui.h"
#include "model/design_state.h"
#include "session/state_json.h"

namespace {

std::vector<std::string> g_messages;

void RecordMessage(const std::string& text) { g_messages.push_back(text); }

struct ScriptError {
  std::string what;
};

constexpr FormId kForms[] = {FormId::Form1, FormId::Form2, FormId::Form3, FormId::Form4,
                             FormId::Form5};

FormId ParseForm(const std::string& name) {
  for (FormId f : kForms)
    if (name == FormName(f)) return f;
  throw ScriptError{"unknown window '" + name + "'"};
}

struct Target {
  FormId form;
  const ControlSpec* row;
  QWidget* widget;
};

Target ParseTarget(const std::string& word) {
  const size_t dot = word.find('.');
  if (dot == std::string::npos) throw ScriptError{"expected FORM.CONTROL, got '" + word + "'"};
  const FormId form = ParseForm(word.substr(0, dot));
  const std::string name = word.substr(dot + 1);
  const ControlSpec* row = FindControlSpec(FormSpecOf(form), name.c_str());
  if (!row) throw ScriptError{"unknown control '" + word + "'"};
  QWidget* widget = FindControl(form, name);
  if (!widget) throw ScriptError{"window " + std::string(FormName(form)) + " is not open"};
  return {form, row, widget};
}

QString Unescape(const std::string& text) {
  QString out;
  const QString raw = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
  for (qsizetype i = 0; i < raw.size(); ++i) {
    if (raw[i] != u'\\') {
      out.append(raw[i]);
      continue;
    }
    if (++i >= raw.size()) throw ScriptError{"a lone '\\' at the end of the text"};
    switch (raw[i].unicode()) {
      case u'\\': out.append(u'\\'); break;
      case u't': out.append(u'\t'); break;
      case u'n': out.append(u'\n'); break;
      case u's': out.append(u' '); break;
      case u'u': {
        const QString hex = raw.mid(i + 1, 4);
        bool ok = hex.size() == 4;
        for (QChar c : hex) ok = ok && QString("0123456789abcdefABCDEF").contains(c);
        const uint code = ok ? hex.toUInt(&ok, 16) : 0;
        if (!ok) throw ScriptError{"\\u needs four hexadecimal digits"};
        out.append(QChar(static_cast<char16_t>(code)));  // a lone surrogate stays one
        i += 4;
        break;
      }
      default: throw ScriptError{std::string("unknown escape '\\") + raw[i].toLatin1() + "'"};
    }
  }
  return out;
}

void RunSet(const Target& t, const std::string& text) {
  auto* edit = qobject_cast<QLineEdit*>(t.widget);
  if (t.row->kind != ControlKind::Text || !edit) throw ScriptError{"not a text field"};
  // What typing or pasting over the whole text does: the length limit applies.
  edit->setFocus();
  edit->selectAll();
  edit->insert(Unescape(text));
}

void RunClick(const Target& t) {
  auto* button = qobject_cast<QAbstractButton*>(t.widget);
  if (!button || (t.row->kind != ControlKind::Button && t.row->kind != ControlKind::Option))
    throw ScriptError{"not a push button or option button"};
  if (!button->isVisible() || !button->isEnabled()) throw ScriptError{"the button cannot be clicked"};
  // Press and release the left button at the centre, as the mouse does.
  const QPointF centre = QRectF(button->rect()).center();
  const QPointF global = button->mapToGlobal(centre);
  QMouseEvent press(QEvent::MouseButtonPress, centre, global, Qt::LeftButton, Qt::LeftButton,
                    Qt::NoModifier);
  QApplication::sendEvent(button, &press);
  QMouseEvent release(QEvent::MouseButtonRelease, centre, global, Qt::LeftButton, Qt::NoButton,
                      Qt::NoModifier);
  QApplication::sendEvent(button, &release);
}

std::string Json(const QString& s) { return JsonString(s.toStdString()); }
std::string Json(const std::string& s) { return Json(QString::fromStdString(s)); }

const char* KindName(ControlKind kind) {
  switch (kind) {
    case ControlKind::Text: return "text";
    case ControlKind::Label: return "label";
    case ControlKind::Option: return "option";
    case ControlKind::Button: return "button";
    case ControlKind::Picture: return "picture";
  }
  return "?";
}

QString ControlText(QWidget* w) {
  if (auto* e = qobject_cast<QLineEdit*>(w)) return e->text();
  if (auto* b = qobject_cast<QAbstractButton*>(w)) return b->text();
  if (auto* l = qobject_cast<QLabel*>(w)) return l->text();
  return {};
}

std::string DumpWindow(FormId form, QWidget* window) {
  std::ostringstream o;
  o << Json(std::string(FormName(form))) << ":{\"caption\":" << Json(window->windowTitle())
    << ",\"client\":[" << window->width() << "," << window->height() << "],\"controls\":{";
  bool first = true;
  for (const ControlSpec& row : FormSpecOf(form).controls) {
    QWidget* w = FindControl(form, row.name);
    if (!w) continue;
    const QRect r = w->geometry();
    o << (first ? "" : ",") << Json(std::string(row.name)) << ":{\"kind\":\""
      << KindName(row.kind) << "\",\"rect\":[" << r.x() << "," << r.y() << "," << r.width()
      << "," << r.height() << "],\"visible\":" << (w->isHidden() ? "false" : "true");
    if (row.kind != ControlKind::Picture) o << ",\"text\":" << Json(ControlText(w));
    if (row.kind == ControlKind::Option)
      o << ",\"checked\":" << (qobject_cast<QAbstractButton*>(w)->isChecked() ? "true" : "false");
    o << "}";
    first = false;
  }
  o << "},\"status\":" << Json(StatusLine(form)) << "}";
  return o.str();
}

bool IsFormFrame(const QWidget* w) {
  for (FormId f : kForms)
    if (FormFrame(f) == w) return true;
  return false;
}

void RunDump(const DesignState& state) {
  std::ostringstream o;
  o << "{\"messages\":[";
  for (size_t i = 0; i < g_messages.size(); ++i) o << (i ? "," : "") << Json(g_messages[i]);
  g_messages.clear();
  o << "],\"windows\":{";
  bool first = true;
  for (FormId f : kForms) {
    if (QWidget* w = FormWidget(f)) {
      o << (first ? "" : ",") << DumpWindow(f, w);
      first = false;
    }
  }
  // Every other open window by object name with the title a person reads.
  o << "},\"others\":[";
  first = true;
  for (QWidget* w : QApplication::topLevelWidgets()) {
    if (!w->isVisible() || IsFormFrame(w)) continue;
    o << (first ? "" : ",") << "{\"name\":" << Json(w->objectName()) << ",\"title\":" << Json(w->windowTitle()) << "}";
    first = false;
  }
  o << "],\"state\":" << StateJson(state) << "}";
  std::cout << o.str() << std::endl;
}

void RunSnap(const std::string& dir) {
  if (dir.empty()) throw ScriptError{"snap needs a folder"};
  if (!QDir().mkpath(QString::fromStdString(dir))) throw ScriptError{"cannot create " + dir};
  const auto save = [&](QWidget* w, const QString& name) {
    const QString path = QString::fromStdString(dir) + "/" + name + ".png";
    if (!w->grab().save(path)) throw ScriptError{"cannot write " + path.toStdString()};
  };
  std::vector<QWidget*> forms;
  for (FormId f : kForms)
    if (QWidget* w = FormWidget(f)) {
      save(w, QString::fromLatin1(FormName(f)));
      forms.push_back(FormFrame(f));
      // With a status line, also the whole window as a person sees it.
      if (!StatusLine(f).isEmpty()) save(FormFrame(f), FormFrame(f)->objectName());
    }
  // The other windows by their object name, the last opened of a kind winning.
  for (QWidget* w : QApplication::topLevelWidgets())
    if (w->isVisible() && !w->objectName().isEmpty() && std::find(forms.begin(), forms.end(), w) == forms.end())
      save(w, w->objectName());
}

// The last opened visible top-level window of that object name.
QWidget* WindowNamed(const QString& name) {
  QWidget* found = nullptr;
  for (QWidget* w : QApplication::topLevelWidgets())
    if (w->isVisible() && w->objectName() == name) found = w;
  return found;
}

// The child of an open window named "WINDOW.CHILD", both by object name.
template <typename Child>
Child* ChildNamed(const std::string& target, const char* usage, const char* kind) {
  const size_t dot = target.find('.');
  if (dot == std::string::npos) throw ScriptError{std::string("expected ") + usage};
  QWidget* window = WindowNamed(QString::fromStdString(target.substr(0, dot)));
  if (!window) throw ScriptError{"window " + target.substr(0, dot) + " is not open"};
  auto* child = window->findChild<Child*>(QString::fromStdString(target.substr(dot + 1)));
  if (!child) throw ScriptError{std::string("no ") + kind + " " + target};
  return child;
}

void RunPress(const std::string& target) {
  ChildNamed<QAbstractButton>(target, "press WINDOW.CHILD", "button")->click();
}

void RunChart(const std::string& rest) {
  std::istringstream words(rest);
  std::string target;
  double x = 0, y = 0;
  if (!(words >> target >> x >> y)) throw ScriptError{"expected chart WINDOW.CHILD X Y"};
  FigureView* view = ChildNamed<FigureView>(target, "chart WINDOW.CHILD X Y", "figure");
  const Figure& figure = view->figure();
  if (figure.panels.empty()) throw ScriptError{"the figure " + target + " is empty"};
  // Where the painter puts that point at the view's present size.
  const FigureLayout layout = LayoutFigure(figure, view->width(), view->height());
  const std::optional<FigPoint> pixel = ToPixel(figure.panels[0], layout.frames[0], {x, y});
  if (!pixel) throw ScriptError{"the point is not on the figure"};
  const QPointF at(pixel->x, pixel->y);
  const QPointF global = view->mapToGlobal(at);
  QMouseEvent press(QEvent::MouseButtonPress, at, global, Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(view, &press);
  QMouseEvent release(QEvent::MouseButtonRelease, at, global, Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
  QApplication::sendEvent(view, &release);
}

void RunLine(const std::string& line, DesignState& state) {
  const size_t space = line.find(' ');
  const std::string verb = line.substr(0, space);
  const std::string rest = space == std::string::npos ? "" : line.substr(space + 1);
  if (verb == "set") {
    const size_t sp = rest.find(' ');
    RunSet(ParseTarget(rest.substr(0, sp)), sp == std::string::npos ? "" : rest.substr(sp + 1));
  } else if (verb == "click") {
    RunClick(ParseTarget(rest));
  } else if (verb == "close") {
    QWidget* w = FormFrame(ParseForm(rest));
    if (!w) throw ScriptError{"window " + rest + " is not open"};
    w->close();
  } else if (verb == "menu") {
    const size_t sp = rest.find(' ');
    if (sp == std::string::npos) throw ScriptError{"expected menu FORM PATH"};
    const FormId form = ParseForm(rest.substr(0, sp));
    if (!FormFrame(form)) throw ScriptError{"window " + rest.substr(0, sp) + " is not open"};
    const std::string error = TriggerMenuEntry(form, QString::fromStdString(rest.substr(sp + 1)));
    if (!error.empty()) throw ScriptError{error};
  } else if (verb == "press") {
    RunPress(rest);
  } else if (verb == "chart") {
    RunChart(rest);
  } else if (verb == "answer") {
    PushScriptedAnswer(Unescape(rest).toStdString());
  } else if (verb == "snap") {
    RunSnap(rest);
  } else if (verb == "dump" && rest.empty()) {
    RunDump(state);
  } else {
    throw ScriptError{"unknown action '" + verb + "'"};
  }
  QCoreApplication::processEvents();
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::cerr << "usage: bjt-scenario FILE   (or - for standard input)\n";
    return 2;
  }
  if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  std::ifstream file;
  std::istream* in = &std::cin;
  if (std::string(argv[1]) != "-") {
    file.open(argv[1]);
    if (!file) {
      std::cerr << "bjt-scenario: cannot read " << argv[1] << "\n";
      return 2;
    }
    in = &file;
  }
  QApplication app(argc, argv);
  // Started as the program starts: the same names, backend and start window.
  NameApplication();
  LoadItalianQtTexts();
  DesignState design;
  QtProgram program(design);
  SetMessageHandler(RecordMessage);
  OpenStartWindow();
  QCoreApplication::processEvents();

  std::string line;
  for (int number = 1; std::getline(*in, line); ++number) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty() || line[0] == '#') continue;
    try {
      RunLine(line, design);
    } catch (const ScriptError& e) {
      std::cerr << "bjt-scenario: line " << number << ": " << e.what << ": " << line << "\n";
      return 2;
    }
  }
  return 0;
}
