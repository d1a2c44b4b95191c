#include "gui/file_menus.h"

#include <QApplication>
#include <QDir>
#include <QDropEvent>
#include <QEventLoop>
#include <QFileInfo>
#include <QFuture>
#include <QFutureWatcher>
#include <QPromise>
#include <QLineEdit>
#include <QMimeData>
#include <QPointer>
#include <QProgressDialog>
#include <QSettings>
#include <QTimer>
#include <QtConcurrent/QtConcurrentRun>
#include <QUrl>
#include <QWidget>

#include <array>
#include <memory>
#include <new>

#include "figures/frequency_rows.h"
#include "forms/services.h"
#include "gui/design_store.h"
#include "gui/dialogs.h"
#include "gui/frequency_chooser.h"
#include "gui/menus.h"
#include "gui/program.h"
#include "gui/project_io.h"
#include "gui/qt_ui.h"
#include "gui/unsaved_project.h"
#include "model/quantities.h"
#include "project/project.h"
#include "session/session_batch.h"
#include "touchstone/touchstone.h"

namespace {

constexpr int kRecentCount = 8;
const QString kRecentKey = QStringLiteral("recentFiles");
const QString kTouchstoneFilter = QStringLiteral("File Touchstone (*.s2p *.S2P);;Tutti i file (*)");
const QString kProjectFilter = QStringLiteral("Progetti di Adattamento BJT (*.bjtp);;Tutti i file (*)");

// The ten fields a Touchstone file fills (S-parameters, Ro and f): while
// they still hold what was written, the design comes from that file. Any of
// them edited by hand detaches it, so that no window designs the file's data
// at another frequency or reference.
constexpr auto kSourceFields = [] {
  std::array<const char*, std::size(kTouchstoneQuantities)> controls{};
  for (std::size_t i = 0; i < controls.size(); ++i) controls[i] = ControlOf(kTouchstoneQuantities[i]);
  return controls;
}();
using SourceTexts = decltype(InputFiles::Source::written);
static_assert(std::tuple_size_v<SourceTexts> == kSourceFields.size());

InputFiles& Files() { return Program().files; }

bool SourceIsCurrent() {
  if (!Files().source || !FormWidget(FormId::Form1)) return false;
  for (std::size_t i = 0; i < kSourceFields.size(); ++i)
    if (ReadText(FormId::Form1, kSourceFields[i]) != Files().source->written[i]) return false;
  return true;
}

std::optional<TouchstoneRef> CurrentTouchstoneRef() {
  if (!SourceIsCurrent()) return std::nullopt;
  return TouchstoneRef{Files().source->path.toStdString(), Files().source->fMHz};
}

// --- recent files ---------------------------------------------------------

std::unique_ptr<QSettings> RecentSettings() {
  if (!Files().recentIni.isEmpty()) return std::make_unique<QSettings>(Files().recentIni, QSettings::IniFormat);
  if (DialogsScripted()) return nullptr;  // a test never touches the user's list
  return std::make_unique<QSettings>(QStringLiteral("adattamento-bjt"), QStringLiteral("adattamento-bjt"));
}

void StoreRecent(const QStringList& list) {
  if (auto settings = RecentSettings())
    settings->setValue(kRecentKey, list);
  else
    Files().recentInMemory = list;
}

void NoteRecent(const QString& path) {
  QStringList list = RecentFiles();
  const QString absolute = QFileInfo(path).absoluteFilePath();
  list.removeAll(absolute);
  list.prepend(absolute);
  while (list.size() > kRecentCount) list.removeLast();
  StoreRecent(list);
}

// A recent file that is gone is named, with its folder, and the user may
// take it off the list; the list stays as it is otherwise.
void OpenRecent(const QString& path) {
  if (QFileInfo::exists(path)) {
    OpenAnyPath(path);
    return;
  }
  static const std::array<std::string, 2> kChoices{"Togli dall'elenco", "Lascia nell'elenco"};
  const QFileInfo info(path);
  const std::string text = "Il file " + info.fileName().toStdString() + " non esiste più (cartella " +
                           QDir::toNativeSeparators(info.absolutePath()).toStdString() +
                           ").\nToglierlo dall'elenco dei file recenti?";
  if (AskQuestion(text, kChoices) != 0) return;
  QStringList list = RecentFiles();
  list.removeAll(path);
  StoreRecent(list);
}

std::vector<MenuItem> RecentItems(FormId) {
  std::vector<MenuItem> items;
  const QStringList list = RecentFiles();
  for (int i = 0; i < list.size(); ++i) {
    // A path's slashes would read as submenus: the entry shows the name.
    const QString text = QStringLiteral("&%1 %2").arg(i + 1).arg(QFileInfo(list[i]).fileName());
    items.push_back({text, [path = list[i]] { OpenRecent(path); }});
  }
  if (items.empty()) items.push_back({QStringLiteral("(nessuno)"), [] {}});
  return items;
}

// --- reading a Touchstone file ----------------------------------------------

// The read runs on a pool thread (QtConcurrent) while the windows stay
// responsive and a progress dialog offers to cancel; nullopt when the user
// cancelled.
std::optional<TouchstoneResult> ReadWithProgress(const QString& path) {
  constexpr int kSteps = 1000;
  QFuture<TouchstoneResult> future =
      QtConcurrent::run([](QPromise<TouchstoneResult>& promise, const std::string& file) {
        promise.setProgressRange(0, kSteps);
        try {
          promise.addResult(ReadTouchstoneFile(file, [&](double f) {
            promise.setProgressValue(static_cast<int>(f * kSteps));
            return !promise.isCanceled();
          }));
        } catch (const std::bad_alloc&) {
          promise.addResult(TouchstoneError{0, "memoria insufficiente per leggere il file"});
        } catch (const std::exception& e) {
          promise.addResult(TouchstoneError{0, std::string("errore di lettura: ") + e.what()});
        }
      }, path.toStdString());

  QFutureWatcher<TouchstoneResult> watcher;
  QEventLoop loop;
  QObject::connect(&watcher, &QFutureWatcherBase::finished, &loop, &QEventLoop::quit);
  std::unique_ptr<QProgressDialog> progress;
  if (!DialogsScripted()) {
    progress = std::make_unique<QProgressDialog>(
        QStringLiteral("Lettura di %1…").arg(QFileInfo(path).fileName()), QStringLiteral("Annulla"), 0, kSteps,
        FormFrame(FormId::Form1));
    progress->setWindowTitle(QStringLiteral("Apri file Touchstone"));
    progress->setWindowModality(Qt::ApplicationModal);
    progress->setMinimumDuration(300);
    progress->setAutoClose(false);
    progress->setAutoReset(false);
    progress->setValue(0);
    QObject::connect(&watcher, &QFutureWatcherBase::progressValueChanged, progress.get(),
                     &QProgressDialog::setValue);
    QObject::connect(progress.get(), &QProgressDialog::canceled, &watcher, &QFutureWatcherBase::cancel);
  }
  watcher.setFuture(future);
  if (!watcher.isFinished()) loop.exec();
  future.waitForFinished();
  if (future.isCanceled() || future.resultCount() == 0) return std::nullopt;
  return future.takeResult();
}

// The ten fields' texts (S-parameters, Ro, f), all made before the first is
// written, so a value that cannot be written changes nothing; `written`
// keeps what the source fields then hold.
bool WriteFields(const SParamFields& f, SourceTexts& written) {
  std::vector<TypedText> texts;
  try {
    texts = TouchstoneFieldTexts(f);
  } catch (const std::exception&) {
    ShowMessage("I valori del file a questa frequenza non sono numeri finiti");
    return false;
  }
  for (const TypedText& t : texts) SetText(FormId::Form1, t.control, t.text);
  for (std::size_t i = 0; i < written.size(); ++i) written[i] = ReadText(FormId::Form1, kSourceFields[i]);
  // A long text shows its first digits in the narrow fields.
  for (const char* name : kSourceFields)
    if (auto* field = qobject_cast<QLineEdit*>(FindControl(FormId::Form1, name))) field->setCursorPosition(0);
  return true;
}

// --- drops ------------------------------------------------------------------

bool IsProjectPath(const QString& path) {
  return path.endsWith(QLatin1String(kProjectExtension), Qt::CaseInsensitive);
}

std::optional<QString> DroppedFile(const QMimeData* mime) {
  if (!mime || !mime->hasUrls() || mime->urls().size() != 1) return std::nullopt;
  const QUrl url = mime->urls().front();
  if (!url.isLocalFile()) return std::nullopt;
  const QString path = url.toLocalFile();
  if (IsProjectPath(path) || path.endsWith(QLatin1String(".s2p"), Qt::CaseInsensitive)) return path;
  return std::nullopt;
}

// Catches drags over any part of the input window, its text fields included
// (which would otherwise take a file's URL as text).
class DropOpener : public QObject {
 public:
  using QObject::QObject;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    const QEvent::Type type = event->type();
    if (type == QEvent::Show && watched == FormFrame(FormId::Form1)) {
      FormFrame(FormId::Form1)->setAcceptDrops(true);
      return false;
    }
    if (type != QEvent::DragEnter && type != QEvent::DragMove && type != QEvent::Drop) return false;
    auto* widget = qobject_cast<QWidget*>(watched);
    if (!widget || !FormFrame(FormId::Form1) || widget->window() != FormFrame(FormId::Form1)) return false;
    auto* drop = static_cast<QDropEvent*>(event);
    const std::optional<QString> path = DroppedFile(drop->mimeData());
    if (!path) return false;
    drop->acceptProposedAction();
    // Opened after the drop has finished, so the source is not kept waiting
    // by the chooser.
    if (type == QEvent::Drop) QTimer::singleShot(0, qApp, [p = *path] { OpenAnyPath(p); });
    return true;
  }
};

// --- menu entries -------------------------------------------------------------

void AskAndOpenTouchstone() {
  if (const auto path = AskOpenFileName(FormFrame(FormId::Form1), QStringLiteral("Apri file Touchstone"),
                                        kTouchstoneFilter))
    OpenTouchstonePath(*path);
}

void AskAndOpenProject() {
  if (const auto path = AskOpenFileName(FormFrame(FormId::Form1), QStringLiteral("Apri progetto"), kProjectFilter))
    OpenProjectPath(*path);
}

void Quit() {
  if (!ConfirmUnsavedProject()) return;
  QApplication::closeAllWindows();
  QCoreApplication::quit();
}

}  // namespace

bool OpenTouchstonePath(const QString& path, std::optional<double> fMHz) {
  // The windows stay live while a file is read: a second open (a shortcut,
  // a drop) before the progress dialog shows is ignored.
  bool& reading = Files().reading;
  if (reading) return false;
  const QString name = QFileInfo(path).fileName();
  reading = true;
  std::optional<TouchstoneResult> read = ReadWithProgress(path);
  reading = false;
  if (!read) return false;
  if (const auto* error = std::get_if<TouchstoneError>(&*read)) {
    ShowMessage(DescribeError(name.toStdString(), *error));
    return false;
  }
  auto data = std::make_shared<const TouchstoneData>(std::get<TouchstoneData>(std::move(*read)));
  if (data->records.empty()) {
    ShowMessage(name.toStdString() + ": il file non contiene frequenze");
    return false;
  }
  if (!FormWidget(FormId::Form1)) ShowForm(FormId::Form1);
  std::optional<SParamFields> fields;
  if (fMHz) {
    auto at = FieldsAtFrequency(*data, *fMHz);
    if (const auto* message = std::get_if<std::string>(&at)) {
      ShowMessage(name.toStdString() + ": " + *message);
      return false;
    }
    fields = std::get<SParamFields>(at);
  } else {
    fields = ChooseFrequency(FormFrame(FormId::Form1), *data, name, InputWindowFeedback());
  }
  NoteRecent(path);
  if (!fields) return false;
  InputFiles::Source source{data, QFileInfo(path).absoluteFilePath(), fields->fMHz, {}};
  if (!WriteFields(*fields, source.written)) return false;
  Files().source = std::move(source);
  RefreshAllMenus();
  return true;
}

namespace {

const char* const kHeldConstant = "i parametri S restano quelli scritti nel progetto, costanti in frequenza";

// The project's Touchstone file back as the source of its S-parameters, when
// it still reads and still gives the project's texts at its frequency;
// otherwise one message names the file and says why, and the fields stay
// as the project wrote them.
void RestoreProjectSource(const TouchstoneRef& ref) {
  const QString path = QString::fromStdString(ref.path);
  const std::string name = QFileInfo(path).fileName().toStdString();
  const std::string head = "Il progetto usa il file Touchstone \"" + ref.path + "\"";
  std::optional<TouchstoneResult> read = ReadWithProgress(path);
  if (!read) {
    ShowMessage(head + ", la cui lettura è stata annullata: " + kHeldConstant);
    return;
  }
  if (const auto* error = std::get_if<TouchstoneError>(&*read)) {
    ShowMessage(head + ", che non si può leggere (" + DescribeError(name, *error) + "): " + kHeldConstant);
    return;
  }
  auto data = std::make_shared<const TouchstoneData>(std::get<TouchstoneData>(std::move(*read)));
  std::variant<SParamFields, std::string> at = FieldsAtFrequency(*data, ref.fMHz);
  InputFiles::Source source{data, QFileInfo(path).absoluteFilePath(), ref.fMHz, {}};
  bool same = std::holds_alternative<SParamFields>(at);
  if (same) {
    const std::vector<TypedText> texts = TouchstoneFieldTexts(std::get<SParamFields>(at));
    for (std::size_t i = 0; i < kSourceFields.size(); ++i) {
      for (const TypedText& t : texts)
        if (t.control == kSourceFields[i]) source.written[i] = t.text;
      same = same && ReadText(FormId::Form1, kSourceFields[i]) == source.written[i];
    }
  }
  if (!same) {
    ShowMessage(head + ", che a " + QString::number(ref.fMHz, 'g', 15).toStdString() +
                " MHz non dà più i valori salvati nel progetto: " + kHeldConstant);
    return;
  }
  Files().source = std::move(source);
}

}  // namespace

bool OpenProjectPath(const QString& path) {
  const std::optional<Project> project = LoadProjectFile(path);
  if (!project) return false;
  Files().source.reset();  // the fields now hold the project's texts
  Files().projectPath = QFileInfo(path).absoluteFilePath();
  NoteProjectSaved();
  NoteRecent(path);
  if (project->touchstone) RestoreProjectSource(*project->touchstone);
  RefreshAllMenus();
  return true;
}

bool OpenAnyPath(const QString& path, std::optional<double> fMHz) {
  return IsProjectPath(path) ? OpenProjectPath(path) : OpenTouchstonePath(path, fMHz);
}

bool SaveProjectAs() {
  const QString suggested = Files().projectPath.isEmpty() ? QStringLiteral("progetto.bjtp") : Files().projectPath;
  auto path = AskSaveFileName(FormFrame(FormId::Form1), QStringLiteral("Salva progetto con nome"), kProjectFilter,
                              suggested);
  if (!path) return false;
  if (QFileInfo(*path).suffix().isEmpty()) *path += QLatin1String(kProjectExtension);
  if (!StoreProjectFile(*path, CurrentTouchstoneRef())) return false;
  Files().projectPath = QFileInfo(*path).absoluteFilePath();
  NoteProjectSaved();
  NoteRecent(*path);
  return true;
}

bool SaveProject() {
  if (Files().projectPath.isEmpty()) return SaveProjectAs();
  if (!StoreProjectFile(Files().projectPath, CurrentTouchstoneRef())) return false;
  NoteProjectSaved();
  return true;
}

QString CurrentProjectPath() { return Files().projectPath; }

QStringList RecentFiles() {
  if (auto settings = RecentSettings()) return settings->value(kRecentKey).toStringList().mid(0, kRecentCount);
  return Files().recentInMemory;
}

void UseRecentFilesSettings(const QString& iniPath) { Files().recentIni = iniPath; }

void ProvideTouchstoneSource() {
  SetTouchstoneSourceProvider([] {
    if (!SourceIsCurrent()) return TouchstoneSource{};
    return TouchstoneSource{Files().source->data, Files().source->path.toStdString()};
  });
}

void RegisterFileMenus() {
  const auto input = {FormId::Form1};
  AddMenuEntry(input, {QStringLiteral("File/Apri file Touchstone…"), QKeySequence(Qt::CTRL | Qt::Key_O),
                       [](FormId) { AskAndOpenTouchstone(); }, {}});
  AddDynamicMenu(input, QStringLiteral("File/File recenti"), RecentItems);
  AddMenuEntry(input, {QStringLiteral("File/Apri progetto…"), QKeySequence(), [](FormId) { AskAndOpenProject(); }, {}});
  AddMenuEntry(input, {QStringLiteral("File/Salva progetto"), QKeySequence(Qt::CTRL | Qt::Key_S),
                       [](FormId) { SaveProject(); }, {}});
  AddMenuEntry(input, {QStringLiteral("File/Salva progetto con nome…"),
                       QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S), [](FormId) { SaveProjectAs(); }, {}});
  AddMenuEntry(input, {QStringLiteral("File/Esci"), QKeySequence(Qt::CTRL | Qt::Key_Q), [](FormId) { Quit(); }, {}});

  ProvideTouchstoneSource();
  SetInputCloseGuard(ConfirmUnsavedProject);
  // A child of the program, so that it stops opening drops when the program goes.
  qApp->installEventFilter(new DropOpener(&Program()));
}
