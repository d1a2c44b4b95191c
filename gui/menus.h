#pragma once
// The windows' menu bars are data: every feature registers its entries once
// at start-up, before any window is built, and each window's bar is built
// from the entries registered for it. Entries act on the window they belong
// to, so one registration serves all four result windows.
#include <QKeySequence>
#include <QPointer>
#include <QString>

#include <functional>
#include <initializer_list>
#include <string>
#include <vector>

#include "forms/services.h"

class QAction;
class QMenuBar;
class QWidget;

struct MenuEntry {
  QString path;  // "File/Apri file Touchstone…": menu, submenus, entry
  QKeySequence shortcut;
  std::function<void(FormId)> run;
  std::function<bool(FormId)> enabled;  // empty: always enabled
  // While disabled, what the entry waits for: its tooltip and status tip,
  // so a grey entry says why it is grey.
  QString waitsFor = {};
};

// A submenu whose entries are made each time it opens (recent files).
struct MenuItem {
  QString text;
  std::function<void()> run;
};
using MenuItems = std::function<std::vector<MenuItem>(FormId)>;

// The entries registered, and the enabled test of each action made from
// them. The running program's (gui/program.h).
struct MenuRegistry {
  struct Registration {
    std::vector<FormId> forms;
    MenuEntry entry;
    MenuItems items;  // set for a dynamic submenu
  };
  // The enabled test travels with its action.
  struct EnabledTest {
    FormId form;
    std::function<bool(FormId)> test;
    QString waitsFor;
  };
  std::vector<Registration> entries;
  std::vector<std::pair<QPointer<QAction>, EnabledTest>> enabledTests;
};

void AddMenuEntry(std::initializer_list<FormId> forms, MenuEntry entry);
void AddDynamicMenu(std::initializer_list<FormId> forms, QString path, MenuItems items);
// Registers the program's entries (gui/program_menus.cpp); done once by
// each QtProgram.
void RegisterProgramMenus();

// The menu bar of a window, or nullptr when nothing is registered for it.
QMenuBar* BuildMenuBar(FormId form, QWidget* parent);
// Enabled states follow what each entry's test says now; they are also
// brought up to date whenever a menu opens.
void RefreshMenus(FormId form);
void RefreshAllMenus();
// Gives every entry of the bar and of each of its menus its own mnemonic
// (the letter Alt+ chooses): a letter set with '&' in the registered text
// stays; the others take the first free initial of a word, then any free
// letter. Top-level menus take theirs in the order of every registered menu,
// so a menu has the same letter in every window.
void AssignMnemonics(QMenuBar* bar);
// Triggers an entry of an open window by its path, as a user's choice does;
// "..." matches "…". Returns an error text, empty on success.
std::string TriggerMenuEntry(FormId form, const QString& path);
