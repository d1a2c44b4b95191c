#include "gui/menus.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>

#include <algorithm>

#include "gui/qt_ui.h"

namespace {

struct Registration {
  std::vector<FormId> forms;
  MenuEntry entry;
  MenuItems items;  // set for a dynamic submenu
};

std::vector<Registration>& Registry() {
  static std::vector<Registration> registry;
  return registry;
}

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

// The enabled test travels with its action.
struct EnabledTest {
  FormId form;
  std::function<bool(FormId)> test;
};
std::vector<std::pair<QPointer<QAction>, EnabledTest>>& EnabledTests() {
  static std::vector<std::pair<QPointer<QAction>, EnabledTest>> tests;
  return tests;
}

void RefreshActions(QMenu* menu) {
  auto& tests = EnabledTests();
  tests.erase(std::remove_if(tests.begin(), tests.end(), [](const auto& t) { return !t.first; }),
              tests.end());
  for (auto& [action, t] : tests)
    if (!menu || action->parent() == menu) action->setEnabled(t.test(t.form));
}

QMenu* SubMenu(QWidget* parent, QMenuBar* bar, QMenu* under, const QString& title) {
  const QList<QAction*> actions = under ? under->actions() : bar->actions();
  for (QAction* a : actions)
    if (a->menu() && Plain(a->text()) == Plain(title)) return a->menu();
  auto* menu = new QMenu(under ? title : QLatin1Char('&') + title, parent);
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
  if (list.empty()) {
    menu->addAction(QStringLiteral("(nessuno)"))->setEnabled(false);
    return;
  }
  for (const MenuItem& item : list) {
    QAction* action = menu->addAction(item.text);
    QObject::connect(action, &QAction::triggered, action, [run = item.run] { run(); });
  }
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
    EnabledTests().push_back({action, {form, r.entry.enabled}});
    action->setEnabled(r.entry.enabled(form));
  }
}

QString TopOf(const QString& path) { return path.section(QLatin1Char('/'), 0, 0); }

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
  return bar;
}

void RefreshMenus(FormId form) {
  for (auto& [action, t] : EnabledTests())
    if (action && t.form == form) action->setEnabled(t.test(t.form));
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
