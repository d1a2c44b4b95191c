#include "ui/qt/qt_ui.h"

#include <QAbstractButton>
#include <QApplication>
#include <QButtonGroup>
#include <QCloseEvent>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QMenuBar>
#include <QPointer>
#include <QVBoxLayout>

#include <array>
#include <stdexcept>

#include "input/commands.h"
#include "ui/controls.h"
#include "ui/qt/design_store.h"
#include "ui/qt/dialogs.h"
#include "ui/qt/form_builder.h"
#include "ui/qt/menus.h"

namespace {

DesignState* g_design = nullptr;
MessageHandler g_messageHandler = nullptr;

// The open windows by FormId. The input window the user closed is kept,
// hidden, so that a result window's command can still read its fields.
std::array<QPointer<QWidget>, 6> g_open;
QPointer<QWidget> g_closedInput;

QPointer<QWidget>& Slot(FormId form) { return g_open[static_cast<int>(form)]; }

// A window: its menu bar above the client area, which holds the controls at
// their places and keeps its size; the window grows by the bar's height.
class FormWindow : public QWidget {
 public:
  explicit FormWindow(FormId id) : id_(id), client_(new QWidget(this)) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    if (QMenuBar* bar = BuildMenuBar(id, this)) layout->setMenuBar(bar);
    layout->addWidget(client_);
  }
  QWidget* client() const { return client_; }

 protected:
  void closeEvent(QCloseEvent* event) override {
    QWidget::closeEvent(event);
    if (!event->isAccepted()) return;
    Slot(id_) = nullptr;
    ForgetWindowDesign(id_);
    if (id_ == FormId::Form1) {
      if (g_closedInput) g_closedInput->deleteLater();
      g_closedInput = this;
    } else {
      deleteLater();  // it comes back in its start state when shown again
    }
  }

 private:
  FormId id_;
  QWidget* client_;
};

QWidget* ClientOf(QWidget* frame) {
  return frame ? static_cast<FormWindow*>(frame)->client() : nullptr;
}

// After a command has run to its end, the windows that show a design keep it.
void NoteCommandDone(FormId id, std::string_view control) {
  if (control != "Command1" || !g_design) return;
  if (id == FormId::Form1)
    NoteCalculateDone();
  else
    NoteComputeDone(id, *g_design);
}

void ConnectClicks(FormId id, QWidget* window) {
  for (const ControlSpec& c : FormSpecOf(id).controls) {
    if (c.kind != ControlKind::Button && c.kind != ControlKind::Option) continue;
    auto* button = window->findChild<QAbstractButton*>(QString::fromLatin1(c.name),
                                                       Qt::FindDirectChildrenOnly);
    // clicked comes after the option's checked state has changed.
    QObject::connect(button, &QAbstractButton::clicked, [id, name = c.name] {
      if (!g_design) return;
      if (HandleClick(*g_design, id, name)) NoteCommandDone(id, name);
      RefreshAllMenus();
    });
  }
}

QWidget* CreateWindow(FormId id) {
  auto* window = new FormWindow(id);
  BuildFormWidgets(FormSpecOf(id), window->client());
  window->client()->setFixedSize(window->client()->size());
  window->setObjectName(window->client()->objectName() + QStringLiteral("Frame"));
  window->setWindowTitle(window->client()->windowTitle());
  window->setWindowIcon(window->client()->windowIcon());
  ConnectClicks(id, window->client());
  Slot(id) = window;
  return window;
}

// The window a service reads or writes: the open one, or for Form1 the one
// the user closed.
QWidget* WindowOf(FormId form) {
  if (QWidget* w = Slot(form)) return ClientOf(w);
  return form == FormId::Form1 ? ClientOf(g_closedInput.data()) : nullptr;
}

template <typename T>
T* ControlOf(FormId form, std::string_view name) {
  QWidget* window = WindowOf(form);
  if (!window) return nullptr;
  auto* control = window->findChild<T*>(QString::fromUtf8(name.data(), qsizetype(name.size())),
                                        Qt::FindDirectChildrenOnly);
  if (!control)
    throw std::out_of_range(std::string(FormName(form)) + " has no such control: " + std::string(name));
  return control;
}

std::u16string ReadTextImpl(FormId form, std::string_view control) {
  QLineEdit* field = ControlOf<QLineEdit>(form, control);
  return field ? field->text().toStdU16String() : std::u16string();
}

void SetTextImpl(FormId form, std::string_view control, const std::u16string& text) {
  if (QLineEdit* field = ControlOf<QLineEdit>(form, control))
    field->setText(QString::fromStdU16String(text));
}

void SetCaptionImpl(FormId form, std::string_view control, const std::string& caption) {
  QWidget* w = ControlOf<QWidget>(form, control);
  if (auto* label = qobject_cast<QLabel*>(w)) {
    label->setText(QString::fromStdString(caption));
    // A label's accessible name is its caption and unit; screen readers
    // read the value shown from the description.
    label->setAccessibleDescription(label->text());
  } else if (auto* button = qobject_cast<QAbstractButton*>(w))
    button->setText(QString::fromStdString(caption));
}

void SetVisibleImpl(FormId form, std::string_view control, bool visible) {
  if (QWidget* w = ControlOf<QWidget>(form, control)) w->setVisible(visible);
}

bool IsVisibleImpl(FormId form, std::string_view control) {
  QWidget* w = ControlOf<QWidget>(form, control);
  return w && !w->isHidden();
}

bool IsSelectedImpl(FormId form, std::string_view option) {
  QAbstractButton* button = ControlOf<QAbstractButton>(form, option);
  return button && button->isChecked();
}

void ClearOptionImpl(FormId form, std::string_view option) {
  QAbstractButton* button = ControlOf<QAbstractButton>(form, option);
  if (!button || !button->isChecked()) return;
  // An exclusive group never lets its checked button go; setChecked emits no
  // clicked, so no click action runs.
  QButtonGroup* group = button->group();
  if (group) group->setExclusive(false);
  button->setChecked(false);
  if (group) group->setExclusive(true);
}

void ShowFormImpl(FormId form) {
  QWidget* window = Slot(form);
  if (!window) {
    if (form == FormId::Form1 && g_closedInput) {
      g_closedInput->deleteLater();
      g_closedInput = nullptr;
    }
    window = CreateWindow(form);
  }
  window->show();
  // The headless platform cannot raise and says so on every call.
  if (QGuiApplication::platformName() != QLatin1String("offscreen")) window->raise();
  window->activateWindow();
}

bool IsFormOpenImpl(FormId form) {
  QWidget* window = Slot(form);
  return window && window->isVisible();
}

void ShowMessageImpl(const std::string& text) {
  if (g_messageHandler) {
    g_messageHandler(text);
    return;
  }
  QMessageBox box(QMessageBox::NoIcon, QApplication::applicationDisplayName(),
                  QString::fromStdString(text), QMessageBox::Ok, QApplication::activeWindow());
  box.setTextFormat(Qt::PlainText);
  box.button(QMessageBox::Ok)->setIcon(QIcon());  // no icon at all, the button's included
  box.exec();
}

const UiBackend kQtBackend{ReadTextImpl,   SetTextImpl,    SetCaptionImpl, SetVisibleImpl,
                           IsVisibleImpl,  IsSelectedImpl, ClearOptionImpl, ShowFormImpl,
                           IsFormOpenImpl, ShowMessageImpl};

}  // namespace

void NameApplication() {
  // Only the name: a display name of its own would be appended to every
  // window caption on some platforms; applicationDisplayName falls back to it.
  QApplication::setApplicationName(QStringLiteral("Adattamento BJT"));
  QGuiApplication::setDesktopFileName(QStringLiteral("io.github.adattamentobjt.AdattamentoBJT"));
}

void InstallQtUi(DesignState& design) {
  g_design = &design;
  RegisterProgramMenus();
  SetUiBackend(&kQtBackend);
}

void OpenStartWindow() {
  if (QWidget* old = Slot(FormId::Form1)) {
    Slot(FormId::Form1) = nullptr;
    old->hide();
    old->deleteLater();
  }
  ShowFormImpl(FormId::Form1);
}

QWidget* FormWidget(FormId form) { return ClientOf(Slot(form)); }
QWidget* FormFrame(FormId form) { return Slot(form); }

QWidget* FindControl(FormId form, std::string_view name) {
  QWidget* window = FormWidget(form);
  if (!window) return nullptr;
  return window->findChild<QWidget*>(QString::fromUtf8(name.data(), qsizetype(name.size())),
                                     Qt::FindDirectChildrenOnly);
}

void SetMessageHandler(MessageHandler handler) {
  g_messageHandler = handler;
  SetDialogsScripted(handler != nullptr);
}
