#include "gui/help_dialogs.h"

#include <QCoreApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLibraryInfo>
#include <QPointer>
#include <QTextBrowser>
#include <QTranslator>
#include <QVBoxLayout>

#include "gui/dialogs.h"
#include "gui/menus.h"
#include "gui/qt_ui.h"

namespace {

const char* const kGuide = R"(
<h2>Adattamento BJT: guida rapida</h2>
<h3>1. I dati del transistor</h3>
<p>Nella finestra dei dati scrivere i quattro parametri S (modulo e fase in gradi) a una
frequenza, la resistenza di riferimento Ro, le resistenze di sorgente RE e di carico RL
in ohm e la frequenza f in MHz. Il separatore decimale è sempre il punto.</p>
<p>Invece di scriverli si può leggere un file Touchstone (<i>.s2p</i>) con
<b>File &gt; Apri file Touchstone…</b> (Ctrl+O) o trascinandolo sulla finestra:
il programma elenca tutte le frequenze del file con i fattori di stabilità K, |Δ|, μ e il
guadagno MAG o MSG. Le righe in verde sono quelle dove esiste l'adattamento coniugato
simultaneo (μ &gt; 1). Scegliere una riga, oppure scrivere una frequenza compresa nel file:
tra due frequenze i parametri S sono interpolati linearmente nelle parti reale e
immaginaria. OK scrive i parametri S, Ro e f nei campi e lascia gli altri come sono.</p>
<h3>2. La retroazione</h3>
<p>Scegliere l'elemento di retroazione Yf: Rf, Rf // Lf, Rf // Cf oppure nessuno
(Rf in kohm, Lf in µH, Cf in pF).</p>
<h3>3. Il calcolo</h3>
<p>"Trova le reti di adattamento" calcola l'adattamento coniugato simultaneo e il guadagno
e apre la finestra del risultato adatta ai segni di ImZi e ImZo. Lì "Calcolo reti di
adattamento e verifica" progetta le reti a T d'ingresso e d'uscita e verifica
l'amplificatore; il menu <b>Analisi</b> mostra la risposta in frequenza, la carta di
Smith e i valori commerciali dei componenti.</p>
<h3>4. I progetti</h3>
<p><b>File &gt; Salva progetto</b> (Ctrl+S) conserva i quindici campi e la retroazione scelta
in un file <i>.bjtp</i>; <b>File &gt; Apri progetto…</b> li rimette nella finestra dei
dati. <b>File recenti</b> elenca gli ultimi otto file aperti o salvati.</p>
<h3>Dalla riga di comando</h3>
<p><tt>adattamento-bjt FILE</tt> apre un file Touchstone o un progetto;
<tt>--freq MHZ</tt> sceglie la frequenza del file senza la finestra di scelta.</p>
)";

QDialog* MakeDialog(QWidget* parent, const QString& title, QWidget* body) {
  auto* dialog = new QDialog(parent);
  dialog->setWindowTitle(title);
  auto* layout = new QVBoxLayout(dialog);
  body->setParent(dialog);
  layout->addWidget(body);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, dialog);
  QObject::connect(buttons, &QDialogButtonBox::rejected, dialog, &QDialog::accept);
  layout->addWidget(buttons);
  return dialog;
}

// Informative only: any scripted answer closes it.
void Run(QDialog* dialog) {
  ExecDialog(*dialog, [](const std::string&) { return true; });
  delete dialog;
}

}  // namespace

QString ProgramVersion() { return QStringLiteral(BJT_VERSION); }

bool LoadItalianQtTexts() {
  // Held weakly: one loaded for an earlier application goes with it.
  static QPointer<QTranslator> translator;
  if (translator) return true;
  auto* loaded = new QTranslator(QCoreApplication::instance());
  if (!loaded->load(QStringLiteral("qtbase_it"), QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
    delete loaded;
    return false;
  }
  QCoreApplication::installTranslator(loaded);
  translator = loaded;
  return true;
}

void ShowGuide(QWidget* parent) {
  auto* text = new QTextBrowser;
  text->setObjectName(QStringLiteral("Guide"));
  text->setHtml(QString::fromUtf8(kGuide));
  QDialog* dialog = MakeDialog(parent, QStringLiteral("Guida di Adattamento BJT"), text);
  dialog->resize(640, 560);
  Run(dialog);
}

void ShowAbout(QWidget* parent) {
  auto* text = new QLabel(
      QStringLiteral("<h3>Adattamento BJT %1</h3>"
                     "<p>Reti di adattamento per amplificatori a BJT dai parametri S.</p>"
                     "<p>Copyright © 2026 gli sviluppatori di Adattamento BJT.<br>"
                     "Distribuito con licenza MIT: si può usare, copiare, modificare e distribuire "
                     "liberamente, senza alcuna garanzia.</p>"
                     "<p>Qt %2</p>")
          .arg(ProgramVersion(), QString::fromLatin1(qVersion())));
  text->setObjectName(QStringLiteral("About"));
  text->setWordWrap(true);
  QDialog* dialog = MakeDialog(parent, QStringLiteral("Informazioni su Adattamento BJT"), text);
  Run(dialog);
}

void RegisterHelpMenus() {
  const auto all = {FormId::Form1, FormId::Form2, FormId::Form3, FormId::Form4, FormId::Form5};
  AddMenuEntry(all, {QStringLiteral("Aiuto/Guida"), QKeySequence(Qt::Key_F1),
                     [](FormId form) { ShowGuide(FormFrame(form)); }, {}});
  AddMenuEntry(all, {QStringLiteral("Aiuto/Informazioni"), QKeySequence(),
                     [](FormId form) { ShowAbout(FormFrame(form)); }, {}});
}
