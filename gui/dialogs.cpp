#include "gui/dialogs.h"

#include <QDialog>
#include <QFileDialog>

#include "gui/program.h"

namespace {

DialogScript& Script() { return Program().dialogs; }

// Cancelled when none is queued: a script that forgot one must not hang.
std::optional<std::string> TakeAnswer() {
  std::deque<std::string>& answers = Script().answers;
  if (answers.empty()) return std::nullopt;
  std::string answer = std::move(answers.front());
  answers.pop_front();
  if (answer == "cancel") return std::nullopt;
  return answer;
}

std::optional<QString> Scripted() {
  const std::optional<std::string> answer = TakeAnswer();
  if (!answer || answer->empty()) return std::nullopt;
  return QString::fromStdString(*answer);
}

}  // namespace

void SetDialogsScripted(bool scripted) { Script().scripted = scripted; }
bool DialogsScripted() { return Script().scripted; }
void PushScriptedAnswer(std::string answer) { Script().answers.push_back(std::move(answer)); }
void ClearScriptedAnswers() { Script().answers.clear(); }
std::optional<std::string> TakeScriptedAnswer() { return TakeAnswer(); }

std::optional<QString> AskOpenFileName(QWidget* parent, const QString& title, const QString& filter) {
  if (DialogsScripted()) return Scripted();
  const QString path = QFileDialog::getOpenFileName(parent, title, QString(), filter);
  if (path.isEmpty()) return std::nullopt;
  return path;
}

QString LastSuggestedSaveName() { return Script().lastSuggested; }

std::optional<QString> AskSaveFileName(QWidget* parent, const QString& title, const QString& filter,
                                       const QString& suggested) {
  Script().lastSuggested = suggested;
  if (DialogsScripted()) return Scripted();
  const QString path = QFileDialog::getSaveFileName(parent, title, suggested, filter);
  if (path.isEmpty()) return std::nullopt;
  return path;
}

bool ExecDialog(QDialog& dialog, const std::function<bool(const std::string& answer)>& apply) {
  if (!DialogsScripted()) return dialog.exec() == QDialog::Accepted;
  const std::optional<std::string> answer = TakeAnswer();
  if (!answer || !apply(*answer)) {
    dialog.reject();
    return false;
  }
  dialog.accept();
  return true;
}
