#include "gui/form_builder.h"

#include <QButtonGroup>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QFontDatabase>
#include <QFrame>
#include <QLabel>
#include <QGuiApplication>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QStyleFactory>
#include <QStyleOptionButton>
#include <QStylePainter>

#include <algorithm>
#include <vector>

#include "forms/accessible_names.h"
#include "gui/copy_results.h"
#include "gui/pictures.h"

namespace {

// 8.25 pt, 9.75 pt and 9 pt at 96 dots per inch.
constexpr int kStandardPx = 11, kLargePx = 13, kSymbolPx = 12;

const QString& TextFamily() {
  static const QString family = [] {
    const QStringList installed = QFontDatabase::families();
#ifdef Q_OS_WIN
    const char* preferred[] = {"Microsoft Sans Serif", "MS Sans Serif", "Liberation Sans"};
#else
    const char* preferred[] = {"MS Sans Serif", "Microsoft Sans Serif", "Liberation Sans"};
#endif
    for (const char* name : preferred)
      if (installed.contains(QString::fromLatin1(name), Qt::CaseInsensitive))
        return QString::fromLatin1(name);
    return QFontDatabase::systemFont(QFontDatabase::GeneralFont).family();
  }();
  return family;
}

QColor ColourOf(std::uint32_t rgb) {
  return QColor((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF);
}

// Native styles on some platforms paint buttons in their own colours; the
// coloured faces need a style that honours the palette.
QStyle* PaletteStyle() {
  static QStyle* style = QStyleFactory::create(QStringLiteral("Fusion"));
  return style;
}

void Paint(QWidget* w, QPalette::ColorRole role, std::uint32_t rgb) {
  if (rgb == kSystemFace) return;
  QPalette palette = w->palette();
  palette.setColor(role, ColourOf(rgb));
  w->setPalette(palette);
}

// A push button whose caption wraps within the button, as multi-line
// captions do on the original platform.
class WrappingButton : public QPushButton {
 public:
  using QPushButton::QPushButton;

 protected:
  void paintEvent(QPaintEvent*) override {
    QStylePainter painter(this);
    QStyleOptionButton option;
    initStyleOption(&option);
    const QString caption = option.text;
    option.text.clear();
    painter.drawControl(QStyle::CE_PushButton, option);
    QRect area = style()->subElementRect(QStyle::SE_PushButtonContents, &option, this);
    if (isDown()) area.translate(style()->pixelMetric(QStyle::PM_ButtonShiftHorizontal, &option, this),
                                 style()->pixelMetric(QStyle::PM_ButtonShiftVertical, &option, this));
    painter.setPen(palette().color(QPalette::ButtonText));
    painter.drawText(area, Qt::AlignCenter | Qt::TextWordWrap, caption);
  }
};

// A value box: the value it shows is selected whole by a double click, and
// copied alone or with all the window's results from its own menu.
class ValueBox : public QLabel {
 public:
  ValueBox(const QString& text, FormId form, QWidget* parent) : QLabel(text, parent), form_(form) {}

 protected:
  void mouseDoubleClickEvent(QMouseEvent* event) override {
    if (event->button() != Qt::LeftButton) return QLabel::mouseDoubleClickEvent(event);
    setSelection(0, int(text().size()));
    event->accept();
  }
  void contextMenuEvent(QContextMenuEvent* event) override {
    auto* menu = new QMenu(this);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    const QString value = hasSelectedText() ? selectedText() : text();
    QAction* copy = menu->addAction(QStringLiteral("Copia"), menu,
                                    [value] { QGuiApplication::clipboard()->setText(value); });
    copy->setEnabled(!value.isEmpty());
    QAction* all = menu->addAction(QStringLiteral("Copia tutti i risultati"), menu,
                                   [form = form_] { CopyResults(form); });
    all->setEnabled(!ResultsText(form_).isEmpty());
    menu->popup(event->globalPos());  // no nested event loop: a test can answer it
    event->accept();
  }

 private:
  FormId form_;
};

// An option button that answers a click anywhere in its coloured rectangle,
// not only on its circle and caption.
class OptionButton : public QRadioButton {
 public:
  using QRadioButton::QRadioButton;

 protected:
  bool hitButton(const QPoint& pos) const override { return rect().contains(pos); }
};

// A picture area: a sunken frame showing its fixed picture from the top-left
// corner, clipped to the area as the original does. The picture is drawn on
// first paint at the screen's pixel ratio.
class PictureArea : public QFrame {
 public:
  PictureArea(PictureId id, QWidget* parent) : QFrame(parent), id_(id) {}

 protected:
  void paintEvent(QPaintEvent* event) override {
    QFrame::paintEvent(event);
    const qreal ratio = devicePixelRatioF();
    if (pixmap_.isNull() || pixmap_.devicePixelRatio() != ratio) pixmap_ = RenderPicture(id_, ratio);
    QPainter painter(this);
    painter.setClipRect(contentsRect());
    painter.drawPixmap(contentsRect().topLeft(), pixmap_);
  }

 private:
  PictureId id_;
  QPixmap pixmap_;
};

Qt::Alignment AlignmentOf(const ControlSpec& c) {
  const Qt::Alignment vertical = c.border == Border::Single ? Qt::AlignVCenter : Qt::AlignTop;
  switch (c.align) {
    case Align::Center: return Qt::AlignHCenter | vertical;
    case Align::Right: return Qt::AlignRight | vertical;
    case Align::Left: break;
  }
  return Qt::AlignLeft | vertical;
}

QWidget* MakeLabel(const ControlSpec& c, FormId form, QWidget* window) {
  auto* label = c.border == Border::Single ? new ValueBox(DisplayedCaption(c), form, window)
                                           : new QLabel(DisplayedCaption(c), window);
  label->setTextFormat(Qt::PlainText);
  label->setAlignment(AlignmentOf(c));
  label->setWordWrap(c.wrap);
  if (c.back != kSystemFace) {
    label->setAutoFillBackground(true);
    Paint(label, QPalette::Window, c.back);
  }
  if (c.border == Border::Single) {
    label->setFrameStyle(QFrame::Box | QFrame::Plain);
    label->setLineWidth(1);
    // Value boxes: the user may select and copy what they show. Click focus
    // keeps them out of the window's tab order.
    label->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    label->setFocusPolicy(Qt::ClickFocus);
  }
  return label;
}

QWidget* MakeText(const ControlSpec& c, QWidget* window) {
  auto* field = new QLineEdit(QString::fromUtf8(c.caption), window);
  field->setMaxLength(32767);
  Paint(field, QPalette::Base, c.back);
  return field;
}

QWidget* MakeOption(const ControlSpec& c, QWidget* window, QButtonGroup*& group) {
  auto* option = new OptionButton(DisplayedCaption(c), window);
  if (c.back != kSystemFace) {
    option->setAutoFillBackground(true);
    Paint(option, QPalette::Window, c.back);
    Paint(option, QPalette::Button, c.back);
  }
  if (!group) {
    group = new QButtonGroup(window);
    group->setObjectName(QStringLiteral("OptionGroup"));
  }
  group->addButton(option);
  return option;
}

QWidget* MakeButton(const ControlSpec& c, QWidget* window) {
  auto* button = new WrappingButton(DisplayedCaption(c), window);
  button->setAutoDefault(false);
  if (c.back != kSystemFace) {
    if (button->style()->name() != QLatin1String("fusion")) button->setStyle(PaletteStyle());
    Paint(button, QPalette::Button, c.back);
  }
  return button;
}

QWidget* MakePicture(const ControlSpec& c, QWidget* window) {
  auto* picture = new PictureArea(c.picture, window);
  if (c.border == Border::Sunken) {
    picture->setFrameStyle(QFrame::WinPanel | QFrame::Sunken);
  }
  return picture;
}

QWidget* MakeControl(const ControlSpec& c, FormId form, QWidget* window, QButtonGroup*& group) {
  switch (c.kind) {
    case ControlKind::Text: return MakeText(c, window);
    case ControlKind::Label: return MakeLabel(c, form, window);
    case ControlKind::Option: return MakeOption(c, window, group);
    case ControlKind::Button: return MakeButton(c, window);
    case ControlKind::Picture: return MakePicture(c, window);
  }
  return nullptr;
}

}  // namespace

QFont ControlFont(FontRole role) {
  QFont font(TextFamily());
  font.setStyleHint(QFont::SansSerif);
  font.setBold(true);
  font.setPixelSize(role == FontRole::Large ? kLargePx : role == FontRole::Symbol ? kSymbolPx : kStandardPx);
  return font;
}

QString DisplayedCaption(const ControlSpec& control) {
  QString text = QString::fromUtf8(control.caption);
  if (control.font != FontRole::Symbol) return text;
  // The Symbol typeface puts the Greek letters on the Latin keys.
  static const QString upper = QStringLiteral("ΑΒΧΔΕΦΓΗΙϑΚΛΜΝΟΠΘΡΣΤΥςΩΞΨΖ");
  static const QString lower = QStringLiteral("αβχδεφγηιϕκλμνοπθρστυϖωξψζ");
  for (QChar& ch : text) {
    if (ch >= u'A' && ch <= u'Z') ch = upper[ch.unicode() - u'A'];
    else if (ch >= u'a' && ch <= u'z') ch = lower[ch.unicode() - u'a'];
  }
  return text;
}

void BuildFormWidgets(const FormSpec& form, QWidget* window) {
  window->setObjectName(QString::fromLatin1(form.name));
  window->setWindowTitle(QString::fromUtf8(form.caption));
  window->setWindowIcon(AppIcon());
  window->setFont(ControlFont(FontRole::Standard));
  window->resize(TwipsToPixels(form.clientWidth), TwipsToPixels(form.clientHeight));

  QButtonGroup* group = nullptr;
  std::vector<std::pair<int, QWidget*>> tabbed;
  for (const ControlSpec& c : form.controls) {
    QWidget* w = MakeControl(c, form.id, window, group);
    w->setObjectName(QString::fromLatin1(c.name));
    w->setAccessibleName(QString::fromUtf8(AccessibleNameOf(form.id, c)));
    if (c.font != FontRole::Standard) w->setFont(ControlFont(c.font));
    w->setGeometry(TwipsToPixels(c.left), TwipsToPixels(c.top), TwipsToPixels(c.width),
                   TwipsToPixels(c.height));
    if (!c.visible) w->hide();
    if (c.tabIndex >= 0) {
      if (c.kind == ControlKind::Picture) w->setFocusPolicy(Qt::StrongFocus);
      tabbed.emplace_back(c.tabIndex, w);
    }
  }
  std::sort(tabbed.begin(), tabbed.end(),
            [](const auto& a, const auto& b) { return a.first < b.first; });
  for (size_t i = 1; i < tabbed.size(); ++i) QWidget::setTabOrder(tabbed[i - 1].second, tabbed[i].second);

  if (form.startFocus)
    if (QWidget* w = window->findChild<QWidget*>(QString::fromLatin1(form.startFocus)))
      w->setFocus();
}
