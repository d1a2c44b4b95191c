#include "gui/menus.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QSet>

#include <algorithm>

#include "gui/program.h"
#include "gui/qt_ui.h"

namespace {

using Registration = MenuRegistry::Registration;
using EnabledTest = MenuRegistry::EnabledTest;

std::vector<Registration>& Registry() { return Program().menus.entries; }

// Top-level menus in this order; any other after them, as registered.
const QStringList& TopMenuOrder() {
  static const QStringList order{QStringLiteral("File"), QStringLiteral("Modifica"),
                                 QStringLiteral("Analisi"), QStringLiteral("Esporta"),
                                 QStringLiteral("Strumenti"), QStringLiteral("Aiuto")};
  return order;
}

bool Has(const std::vector<FormId>& forms, FormId form) {
  return std::find(forms.begin(), forms.end(), form) != forms.end();
}

QString Plain(QString text) {
  text.remove(QLatin1Char('&'));
  text.replace(QStringLiteral("…"), QStringLiteral("..."));
  return text;
}

// --- mnemonics ---------------------------------------------------------------

// The letter after a single '&', lower case; null when there is none.
QChar MnemonicOf(const QString& text) {
  for (qsizetype i = 0; i + 1 < text.size(); ++i) {
    if (text[i] != QLatin1Char('&')) continue;
    if (text[i + 1] != QLatin1Char('&')) return text[i + 1].toLower();
    ++i;  // "&&" is a literal '&'
  }
  return {};
}

bool StartsWord(const QString& text, qsizetype i) { return i == 0 || !text[i - 1].isLetterOrNumber(); }

qsizetype WordLength(const QString& text, qsizetype i) {
  qsizetype end = i;
  while (end < text.size() && text[end].isLetterOrNumber()) ++end;
  return end - i;
}

// Where a text's mnemonic goes: the first free initial of a word longer than
// three letters ("Salva progetto con &nome…"), then of any word, then any
// free letter; -1 when every letter is taken.
qsizetype MnemonicPlace(const QString& text, const QSet<QChar>& taken) {
  const auto free = [&](qsizetype i) {
    return text[i].isLetterOrNumber() && !taken.contains(text[i].toLower());
  };
  for (qsizetype i = 0; i < text.size(); ++i)
    if (StartsWord(text, i) && WordLength(text, i) > 3 && free(i)) return i;
  for (qsizetype i = 0; i < text.size(); ++i)
    if (StartsWord(text, i) && free(i)) return i;
  for (qsizetype i = 0; i < text.size(); ++i)
    if (free(i)) return i;
  return -1;
}

// The texts with a mnemonic each, different within the list; a text that
// already has one keeps it.
QStringList WithMnemonics(QStringList texts) {
  QSet<QChar> taken;
  for (const QString& text : texts)
    if (const QChar m = MnemonicOf(text); !m.isNull()) taken.insert(m);
  for (QString& text : texts) {
    if (!MnemonicOf(text).isNull() || text.contains(QLatin1Char('&'))) continue;
    const qsizetype at = MnemonicPlace(text, taken);
    if (at < 0) continue;
    taken.insert(text[at].toLower());
    text.insert(at, QLatin1Char('&'));
  }
  return texts;
}

void AssignMenuMnemonics(QMenu* menu) {
  QList<QAction*> actions;
  QStringList texts;
  for (QAction* a : menu->actions()) {
    if (a->isSeparator()) continue;
    actions.append(a);
    texts.append(a->text());
    if (a->menu()) AssignMenuMnemonics(a->menu());
  }
  texts = WithMnemonics(texts);
  for (qsizetype i = 0; i < actions.size(); ++i) actions[i]->setText(texts[i]);
}

// The top-level menus of every window, in their order; the titles with
// their mnemonics.
QString TopOf(const QString& path) { return path.section(QLatin1Char('/'), 0, 0); }

QStringList AllTopMenus();

QString TopTitle(const QString& title) {
  const QStringList tops = AllTopMenus();
  const QStringList titled = WithMnemonics(tops);
  const qsizetype i = tops.indexOf(title);
  return i < 0 ? title : titled[i];
}

// A grey entry says what it waits for; an enabled one shows its own text.
void SetEnabled(QAction* action, bool enabled, const QString& waitsFor) {
  action->setEnabled(enabled);
  if (waitsFor.isEmpty()) return;
  action->setToolTip(enabled ? QString() : waitsFor);
  action->setStatusTip(enabled ? QString() : waitsFor);
}
std::vector<std::pair<QPointer<QAction>, EnabledTest>>& EnabledTests() { return Program().menus.enabledTests; }

void RefreshActions(QMenu* menu) {
  auto& tests = EnabledTests();
  tests.erase(std::remove_if(tests.begin(), tests.end(), [](const auto& t) { return !t.first; }),
              tests.end());
  for (auto& [action, t] : tests)
    if (!menu || action->parent() == menu) SetEnabled(action, t.test(t.form), t.waitsFor);
}

QMenu* SubMenu(QWidget* parent, QMenuBar* bar, QMenu* under, const QString& title) {
  const QList<QAction*> actions = under ? under->actions() : bar->actions();
  for (QAction* a : actions)
    if (a->menu() && Plain(a->text()) == Plain(title)) return a->menu();
  auto* menu = new QMenu(under ? title : TopTitle(title), parent);
  menu->setToolTipsVisible(true);  // a grey entry's tooltip says why
  QObject::connect(menu, &QMenu::aboutToShow, menu, [menu] { RefreshActions(menu); });
  if (under)
    under->addMenu(menu);
  else
    bar->addMenu(menu);
  return menu;
}

// The menu that holds an entry at path, made as needed; the last part of the
// path is the entry's own text.
QMenu* MenuFor(QWidget* parent, QMenuBar* bar, const QString& path, QString* text) {
  QStringList parts = path.split(QLatin1Char('/'));
  *text = parts.takeLast();
  QMenu* menu = nullptr;
  for (const QString& part : parts) menu = SubMenu(parent, bar, menu, part);
  return menu;
}

void FillDynamic(QMenu* menu, FormId form, const MenuItems& items) {
  menu->clear();
  const std::vector<MenuItem> list = items(form);
  if (list.empty()) menu->addAction(QStringLiteral("(nessuno)"))->setEnabled(false);
  for (const MenuItem& item : list) {
    QAction* action = menu->addAction(item.text);
    QObject::connect(action, &QAction::triggered, action, [run = item.run] { run(); });
  }
  AssignMenuMnemonics(menu);  // the entries made now have theirs too
}

void AddToBar(QWidget* parent, QMenuBar* bar, FormId form, const Registration& r) {
  QString text;
  QMenu* menu = MenuFor(parent, bar, r.entry.path, &text);
  if (!menu) return;  // an entry needs a menu
  if (r.items) {
    QMenu* dynamic = SubMenu(parent, bar, menu, text);
    QObject::connect(dynamic, &QMenu::aboutToShow, dynamic,
                     [dynamic, form, items = r.items] { FillDynamic(dynamic, form, items); });
    return;
  }
  QAction* action = menu->addAction(text);
  action->setShortcut(r.entry.shortcut);
  QObject::connect(action, &QAction::triggered, action, [form, run = r.entry.run] { run(form); });
  if (r.entry.enabled) {
    EnabledTests().push_back({action, {form, r.entry.enabled, r.entry.waitsFor}});
    SetEnabled(action, r.entry.enabled(form), r.entry.waitsFor);
  }
}

QStringList AllTopMenus() {
  QStringList tops = TopMenuOrder();
  for (const Registration& r : Registry())
    if (!tops.contains(TopOf(r.entry.path))) tops.append(TopOf(r.entry.path));
  return tops;
}

QMenuBar* BarOf(FormId form) {
  QWidget* frame = FormFrame(form);
  return frame ? frame->findChild<QMenuBar*>(QStringLiteral("MenuBar")) : nullptr;
}

}  // namespace

void AddMenuEntry(std::initializer_list<FormId> forms, MenuEntry entry) {
  Registry().push_back({forms, std::move(entry), {}});
}

void AddDynamicMenu(std::initializer_list<FormId> forms, QString path, MenuItems items) {
  Registry().push_back({forms, MenuEntry{std::move(path), {}, {}, {}}, std::move(items)});
}

QMenuBar* BuildMenuBar(FormId form, QWidget* parent) {
  std::vector<const Registration*> mine;
  for (const Registration& r : Registry())
    if (Has(r.forms, form)) mine.push_back(&r);
  if (mine.empty()) return nullptr;
  auto* bar = new QMenuBar(parent);
  bar->setObjectName(QStringLiteral("MenuBar"));
  bar->setNativeMenuBar(false);  // the bar is part of the window on every platform
  QStringList tops = TopMenuOrder();
  for (const Registration* r : mine)
    if (!tops.contains(TopOf(r->entry.path))) tops.append(TopOf(r->entry.path));
  for (const QString& top : tops)
    for (const Registration* r : mine)
      if (TopOf(r->entry.path) == top) AddToBar(parent, bar, form, *r);
  AssignMnemonics(bar);
  return bar;
}

void AssignMnemonics(QMenuBar* bar) {
  for (QAction* a : bar->actions())
    if (a->menu()) AssignMenuMnemonics(a->menu());
}

void RefreshMenus(FormId form) {
  for (auto& [action, t] : EnabledTests())
    if (action && t.form == form) SetEnabled(action, t.test(t.form), t.waitsFor);
}

void RefreshAllMenus() { RefreshActions(nullptr); }

std::string TriggerMenuEntry(FormId form, const QString& path) {
  QMenuBar* bar = BarOf(form);
  if (!bar) return std::string(FormName(form)) + " has no menu bar";
  RefreshMenus(form);
  QList<QAction*> actions = bar->actions();
  const QStringList parts = path.split(QLatin1Char('/'));
  for (qsizetype i = 0; i < parts.size(); ++i) {
    QAction* found = nullptr;
    for (QAction* a : actions)
      if (!a->isSeparator() && Plain(a->text()) == Plain(parts[i])) found = a;
    if (!found) return "no menu entry '" + parts[i].toStdString() + "' in " + path.toStdString();
    if (!found->isEnabled()) return "the menu entry " + path.toStdString() + " is disabled";
    if (QMenu* menu = found->menu()) {
      if (i + 1 == parts.size()) return path.toStdString() + " is a menu, not an entry";
      emit menu->aboutToShow();  // fills a dynamic submenu
      actions = menu->actions();
      continue;
    }
    if (i + 1 != parts.size()) return parts[i].toStdString() + " is an entry, not a menu";
    found->trigger();
    return {};
  }
  return "empty menu path";
}
