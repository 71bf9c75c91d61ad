#include "ui/main/report_dialog.h"

#include <QClipboard>
#include <QDialogButtonBox>
#include <QGuiApplication>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "codeplug/file_io.h"
#include "ui/main/prompter.h"
#include "ui/main/ui_text.h"

namespace orvex {

namespace {
constexpr int kTxtCopy = 1826, kTxtSave = 1827, kTxtClose = 1828, kTxtFilter = 1829, kTxtReport = 1831;
}  // namespace

ReportDialog::ReportDialog(const QString& title, const QString& text, int language, Prompter& prompter, QWidget* parent)
    : QDialog(parent), m_text(new QPlainTextEdit(this)), m_prompter(prompter), m_language(language) {
  setObjectName("dlgReport");
  setWindowTitle(title);
  m_text->setObjectName("txtReport");
  m_text->setReadOnly(true);
  m_text->setTextInteractionFlags(Qt::TextSelectableByKeyboard | Qt::TextSelectableByMouse);
  m_text->setLineWrapMode(QPlainTextEdit::WidgetWidth);
  m_text->setPlainText(text);
  m_text->setAccessibleName(UiText(kTxtReport, language));
  m_text->setTabChangesFocus(true);
  auto* buttons = new QDialogButtonBox(this);
  QPushButton* copy = buttons->addButton(UiText(kTxtCopy, language), QDialogButtonBox::ActionRole);
  QPushButton* save = buttons->addButton(UiText(kTxtSave, language), QDialogButtonBox::ActionRole);
  QPushButton* close = buttons->addButton(UiText(kTxtClose, language), QDialogButtonBox::RejectRole);
  copy->setObjectName("cmdCopy");
  save->setObjectName("cmdSave");
  close->setObjectName("cmdClose");
  close->setDefault(true);
  connect(copy, &QPushButton::clicked, this, &ReportDialog::CopyAll);
  connect(save, &QPushButton::clicked, this, &ReportDialog::Save);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(m_text);
  layout->addWidget(buttons);
  resize(640, 400);
  m_text->setFocus();
}

void ReportDialog::CopyAll() { QGuiApplication::clipboard()->setText(m_text->toPlainText()); }

void ReportDialog::Save() {
  const QString path = m_prompter.saveFileName(this, QString(), UiText(kTxtFilter, m_language));
  if (path.isEmpty()) return;
  const QByteArray text = m_text->toPlainText().toUtf8() + '\n';
  if (const Status written = WriteWholeFile(LocalPath(path), Bytes(text.begin(), text.end())); !written)
    m_prompter.tell(this, QMessageBox::Warning, windowTitle(),
                    path + QStringLiteral(": ") + QString::fromStdString(written.error()));
}

void ShowReport(Prompter& prompter, QWidget* parent, const QString& title, const QString& text, int language) {
  ReportDialog dialog(title, text, language, prompter, parent);
  prompter.exec(dialog);
}

}  // namespace orvex
