#include "gui/dialogs.h"

#include <QDialog>
#include <QFileDialog>

#include <deque>

namespace {

bool g_scripted = false;
std::deque<std::string> g_answers;

// Cancelled when none is queued: a script that forgot one must not hang.
std::optional<std::string> TakeAnswer() {
  if (g_answers.empty()) return std::nullopt;
  std::string answer = std::move(g_answers.front());
  g_answers.pop_front();
  if (answer == "cancel") return std::nullopt;
  return answer;
}

std::optional<QString> Scripted() {
  const std::optional<std::string> answer = TakeAnswer();
  if (!answer || answer->empty()) return std::nullopt;
  return QString::fromStdString(*answer);
}

}  // namespace

void SetDialogsScripted(bool scripted) { g_scripted = scripted; }
bool DialogsScripted() { return g_scripted; }
void PushScriptedAnswer(std::string answer) { g_answers.push_back(std::move(answer)); }
void ClearScriptedAnswers() { g_answers.clear(); }
std::optional<std::string> TakeScriptedAnswer() { return TakeAnswer(); }

std::optional<QString> AskOpenFileName(QWidget* parent, const QString& title, const QString& filter) {
  if (g_scripted) return Scripted();
  const QString path = QFileDialog::getOpenFileName(parent, title, QString(), filter);
  if (path.isEmpty()) return std::nullopt;
  return path;
}

namespace {
QString g_lastSuggested;
}  // namespace

QString LastSuggestedSaveName() { return g_lastSuggested; }

std::optional<QString> AskSaveFileName(QWidget* parent, const QString& title, const QString& filter,
                                       const QString& suggested) {
  g_lastSuggested = suggested;
  if (g_scripted) return Scripted();
  const QString path = QFileDialog::getSaveFileName(parent, title, suggested, filter);
  if (path.isEmpty()) return std::nullopt;
  return path;
}

bool ExecDialog(QDialog& dialog, const std::function<bool(const std::string& answer)>& apply) {
  if (!g_scripted) return dialog.exec() == QDialog::Accepted;
  const std::optional<std::string> answer = TakeAnswer();
  if (!answer || !apply(*answer)) {
    dialog.reject();
    return false;
  }
  dialog.accept();
  return true;
}
