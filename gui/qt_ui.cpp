#include "gui/qt_ui.h"

#include <QAbstractButton>
#include <QApplication>
#include <QButtonGroup>
#include <QCloseEvent>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QMenuBar>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QStyle>
#include <QVBoxLayout>
#include <QWindow>

#include <algorithm>
#include <array>
#include <functional>
#include <stdexcept>
#include <vector>

#include "forms/commands.h"
#include "forms/controls.h"
#include "gui/design_store.h"
#include "gui/dialogs.h"
#include "gui/form_builder.h"
#include "gui/menus.h"
#include "gui/program.h"

namespace {

OpenWindows& Windows() { return Program().windows; }
QPointer<QWidget>& Slot(FormId form) { return Windows().frames[static_cast<int>(form)]; }

// Room the window manager's frame takes around a window: the real margins
// once the window is framed, a title bar and thin borders before.
QMargins DecorationOf(QWidget* window) {
  if (QWindow* handle = window->windowHandle())
    if (const QMargins m = handle->frameMargins(); !m.isNull()) return m;
  constexpr int kBorder = 4;
  const int title = window->style()->pixelMetric(QStyle::PM_TitleBarHeight);
  return QMargins(kBorder, title + kBorder, kBorder, kBorder);
}

// The size of a scrolled window within `area`: a scroll bar only where the
// content does not fit, and one bar can take the room that makes the other
// dimension need its own.
QSize ScrolledSize(QSize content, QSize area, int bar) {
  bool across = content.width() > area.width(), down = content.height() > area.height();
  if (down && !across) across = content.width() + bar > area.width();
  if (across && !down) down = content.height() + bar > area.height();
  return QSize(std::min(content.width() + (down ? bar : 0), area.width()),
               std::min(content.height() + (across ? bar : 0), area.height()));
}

// A window: its menu bar above the client area, which holds the controls at
// their places and keeps its size; the window grows by the bar's height.
// When that does not fit the screen's available area, the client area is
// shown inside a scroll area sized to the screen instead, and taken out again
// once the window fits (another screen, another resolution).
class FormWindow : public QWidget {
 public:
  explicit FormWindow(FormId id) : id_(id), client_(new QWidget(this)), layout_(new QVBoxLayout(this)) {
    layout_->setContentsMargins(0, 0, 0, 0);
    layout_->setSpacing(0);
    if (QMenuBar* bar = BuildMenuBar(id, this)) layout_->setMenuBar(bar);
    layout_->addWidget(client_);
  }
  QWidget* client() const { return client_; }
  bool scrolled() const { return scroll_ != nullptr; }

  // A line of its own under the client area, outside the window's layout of
  // controls: the window grows by its height, the controls stay where they are.
  void setStatusLine(const QString& text, bool warning) {
    if (!status_) {
      status_ = new QLabel(this);
      status_->setObjectName(QStringLiteral("StatusLine"));
      status_->setWordWrap(true);
      status_->setTextInteractionFlags(Qt::TextSelectableByMouse);
      status_->setContentsMargins(6, 3, 6, 3);
      layout_->addWidget(status_);
    }
    status_->setText(text);
    status_->setStyleSheet(warning ? QStringLiteral("QLabel { color: #a01010; font-weight: bold; }") : QString());
    status_->setVisible(!text.isEmpty());
    layout_->activate();
    if (scroll_) return;
    const int wanted = layout_->hasHeightForWidth() ? layout_->totalHeightForWidth(width())
                                                    : layout_->totalSizeHint().height();
    if (wanted > height()) resize(width(), wanted);
  }
  QString statusLine() const { return status_ && status_->isVisible() ? status_->text() : QString(); }

  void fitToScreen() {
    QScreen* screen = this->screen();
    if (!screen) return;
    watch(screen);
    const QRect available = screen->availableGeometry();
    // Shown again on the same screen: the user's own size stays.
    if (available == fittedTo_) return;
    fittedTo_ = available;
    const QRect area = available.marginsRemoved(DecorationOf(this));
    const QSize content = client_->size() + QSize(0, barHeight() + statusHeight());
    if (content.width() <= area.width() && content.height() <= area.height()) {
      unscroll();
      return;
    }
    const bool first = !scroll_ && !isVisible();
    scrollClient();
    const int bar = style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    setMaximumSize(content + QSize(bar, bar));
    resize(ScrolledSize(content, area.size(), bar));
    if (first) move(available.topLeft());  // the frame's corner: all of it on the screen
  }

  // After the focus went to a control by code: scrolled into view.
  void reveal(QWidget* control) {
    if (scroll_) scroll_->ensureWidgetVisible(control);
  }

 protected:
  void showEvent(QShowEvent* event) override {
    QWidget::showEvent(event);
    if (watchingWindow_ || !windowHandle()) return;
    watchingWindow_ = true;
    connect(windowHandle(), &QWindow::screenChanged, this, [this] { fitToScreen(); });
  }

  void closeEvent(QCloseEvent* event) override {
    const OpenWindows& windows = Windows();
    if (id_ == FormId::Form1 && windows.inputCloseGuard && !windows.inputCloseGuard()) {
      event->ignore();
      return;
    }
    QWidget::closeEvent(event);
    if (!event->isAccepted()) return;
    Slot(id_) = nullptr;
    ForgetWindowDesign(id_);
    if (id_ == FormId::Form1) {
      QPointer<QWidget>& closed = Windows().closedInput;
      if (closed) closed->deleteLater();
      closed = this;
    } else {
      deleteLater();  // it comes back in its start state when shown again
    }
  }

 private:
  int barHeight() const {
    QWidget* bar = layout_->menuBar();
    if (!bar) return 0;
    const int width = client_->width();
    return bar->hasHeightForWidth() ? bar->heightForWidth(width) : bar->sizeHint().height();
  }

  int statusHeight() const {
    if (!status_ || status_->isHidden()) return 0;
    return status_->heightForWidth(client_->width());
  }

  void watch(QScreen* screen) {
    if (screen == watched_) return;
    disconnect(areaChange_);
    watched_ = screen;
    areaChange_ = connect(screen, &QScreen::availableGeometryChanged, this, [this] { fitToScreen(); });
  }

  void scrollClient() {
    if (scroll_) return;
    QWidget* focus = focusWidget();
    scroll_ = new QScrollArea(this);
    scroll_->setObjectName(QStringLiteral("ScrollArea"));
    scroll_->setFrameShape(QFrame::NoFrame);
    delete layout_->replaceWidget(client_, scroll_);  // the old item is ours to delete
    scroll_->setWidget(client_);
    layout_->activate();  // the window's least size is now the scroll area's
    if (focus) focus->setFocus();
  }

  void unscroll() {
    if (!scroll_) return;
    QWidget* focus = focusWidget();
    scroll_->takeWidget();
    delete layout_->replaceWidget(scroll_, client_);
    delete scroll_;
    scroll_ = nullptr;
    client_->setAutoFillBackground(false);  // the scroll area had it paint itself
    client_->show();
    setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    layout_->activate();
    resize(layout_->totalSizeHint());
    if (focus) focus->setFocus();
  }

  FormId id_;
  QWidget* client_;
  QVBoxLayout* layout_;
  QScrollArea* scroll_ = nullptr;
  QLabel* status_ = nullptr;
  QScreen* watched_ = nullptr;
  QRect fittedTo_;  // the available area the window was last fitted to
  QMetaObject::Connection areaChange_;
  bool watchingWindow_ = false;
};

FormWindow* FrameOf(QWidget* frame) { return static_cast<FormWindow*>(frame); }

QWidget* ClientOf(QWidget* frame) { return frame ? FrameOf(frame)->client() : nullptr; }

// Enter and Return press a focused push button as Space does, in every
// window of the program; a dialog's buttons already take them (as its
// default button).
class EnterPressesButtons : public QObject {
 public:
  using QObject::QObject;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() != QEvent::KeyPress) return false;
    auto* key = static_cast<QKeyEvent*>(event);
    auto* button = qobject_cast<QPushButton*>(watched);
    if (!button || button->autoDefault() || key->modifiers() & ~Qt::KeypadModifier ||
        (key->key() != Qt::Key_Return && key->key() != Qt::Key_Enter))
      return false;
    if (!key->isAutoRepeat() && button->isEnabled()) button->click();
    return true;
  }
};

// After a command has run to its end, the windows that show a design keep it.
void NoteCommandDone(FormId id, std::string_view control) {
  if (control != "Command1") return;
  if (id == FormId::Form1)
    NoteCalculateDone();
  else
    NoteComputeDone(id, Program().design);
}

void ConnectClicks(FormId id, QWidget* window) {
  for (const ControlSpec& c : FormSpecOf(id).controls) {
    if (c.kind != ControlKind::Button && c.kind != ControlKind::Option) continue;
    auto* button = window->findChild<QAbstractButton*>(QString::fromLatin1(c.name),
                                                       Qt::FindDirectChildrenOnly);
    // clicked comes after the option's checked state has changed.
    QObject::connect(button, &QAbstractButton::clicked, [id, name = c.name] {
      if (HandleClick(Program().design, id, name)) NoteCommandDone(id, name);
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
  return form == FormId::Form1 ? ClientOf(Windows().closedInput.data()) : nullptr;
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
    QPointer<QWidget>& closed = Windows().closedInput;
    if (form == FormId::Form1 && closed) {
      closed->deleteLater();
      closed = nullptr;
    }
    window = CreateWindow(form);
  }
  FrameOf(window)->fitToScreen();
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
  if (const MessageHandler handler = Windows().messageHandler) {
    handler(text);
    return;
  }
  QMessageBox box(QMessageBox::NoIcon, QApplication::applicationDisplayName(),
                  QString::fromStdString(text), QMessageBox::Ok, QApplication::activeWindow());
  box.setTextFormat(Qt::PlainText);
  box.button(QMessageBox::Ok)->setIcon(QIcon());  // no icon at all, the button's included
  box.exec();
}

// Scripted, the question is recorded as a message is and the next queued
// answer names the choice; the real box has a button for each choice, the
// last one also taking Escape and the close button.
std::size_t AskQuestionImpl(const std::string& text, std::span<const std::string> choices) {
  if (const MessageHandler handler = Windows().messageHandler) {
    handler(text);
    const std::optional<std::string> answer = TakeScriptedAnswer();
    const auto found = answer ? std::find(choices.begin(), choices.end(), *answer) : choices.end();
    return found != choices.end() ? static_cast<std::size_t>(found - choices.begin()) : choices.size() - 1;
  }
  QMessageBox box(QMessageBox::Question, QApplication::applicationDisplayName(), QString::fromStdString(text),
                  QMessageBox::NoButton, QApplication::activeWindow());
  box.setTextFormat(Qt::PlainText);
  std::vector<QAbstractButton*> buttons;
  for (std::size_t i = 0; i < choices.size(); ++i) {
    const bool last = i + 1 == choices.size();
    buttons.push_back(box.addButton(
        QString::fromStdString(choices[i]),
        i == 0 ? QMessageBox::AcceptRole : (last ? QMessageBox::RejectRole : QMessageBox::DestructiveRole)));
  }
  box.setDefaultButton(static_cast<QPushButton*>(buttons.front()));
  box.setEscapeButton(buttons.back());
  box.exec();
  const auto found = std::find(buttons.begin(), buttons.end(), box.clickedButton());
  return found != buttons.end() ? static_cast<std::size_t>(found - buttons.begin()) : choices.size() - 1;
}

// The window comes to the front (a message about its field may have come
// from another window), then the field takes the focus with its text selected.
void FocusFieldImpl(FormId form, std::string_view control) {
  QLineEdit* field = ControlOf<QLineEdit>(form, control);
  if (!field || !Slot(form) || field->isHidden()) return;
  QWidget* frame = Slot(form);
  if (frame->isVisible()) {
    if (QGuiApplication::platformName() != QLatin1String("offscreen")) frame->raise();
    frame->activateWindow();
  }
  field->setFocus(Qt::OtherFocusReason);
  field->selectAll();
  FrameOf(frame)->reveal(field);
}

const UiBackend kQtBackend{ReadTextImpl,   SetTextImpl,     SetCaptionImpl, SetVisibleImpl,
                           IsVisibleImpl,  IsSelectedImpl,  ClearOptionImpl, ShowFormImpl,
                           IsFormOpenImpl, ShowMessageImpl, FocusFieldImpl, AskQuestionImpl};

}  // namespace

void NameApplication() {
  // Only the name: a display name of its own would be appended to every
  // window caption on some platforms; applicationDisplayName falls back to it.
  QApplication::setApplicationName(QStringLiteral("Adattamento BJT"));
  QGuiApplication::setDesktopFileName(QStringLiteral("io.github.adattamentobjt.AdattamentoBJT"));
}

void InstallQtWindows(QtProgram& program) {
  // A child of the program, so that it stops filtering when the program goes.
  qApp->installEventFilter(new EnterPressesButtons(&program));
  SetUiBackend(&kQtBackend);
}

void RemoveQtWindows(QtProgram& program) {
  SetUiBackend(nullptr);
  // Deleted, not closed: closing would ask about unsaved edits.
  for (QPointer<QWidget>& frame : program.windows.frames) delete frame.data();
  delete program.windows.closedInput.data();
  for (QPointer<QWidget>& window : program.windows.others) delete window.data();
}

void PresentWindow(QWidget* window) {
  std::vector<QPointer<QWidget>>& others = Windows().others;
  std::erase_if(others, [](const QPointer<QWidget>& w) { return w.isNull(); });
  others.emplace_back(window);
  window->setAttribute(Qt::WA_DeleteOnClose);
  window->show();
  window->raise();
  window->activateWindow();
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

void SetStatusLine(FormId form, const QString& text, bool warning) {
  if (QWidget* frame = Slot(form)) FrameOf(frame)->setStatusLine(text, warning);
}

QString StatusLine(FormId form) {
  QWidget* frame = Slot(form);
  return frame ? FrameOf(frame)->statusLine() : QString();
}

QWidget* FindControl(FormId form, std::string_view name) {
  QWidget* window = FormWidget(form);
  if (!window) return nullptr;
  return window->findChild<QWidget*>(QString::fromUtf8(name.data(), qsizetype(name.size())),
                                     Qt::FindDirectChildrenOnly);
}

void SetInputCloseGuard(std::function<bool()> guard) { Windows().inputCloseGuard = std::move(guard); }

void SetMessageHandler(MessageHandler handler) {
  Windows().messageHandler = handler;
  SetDialogsScripted(handler != nullptr);
}
