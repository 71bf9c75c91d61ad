#pragma once

#include <QDialog>

class QPlainTextEdit;

namespace orvex {

class Prompter;

// A report too long for a message box (what an import or a paste did, line
// by line): the whole text read-only and scrollable, with Copy (all of it to
// the clipboard), Save... (as a UTF-8 text file) and Close.
class ReportDialog : public QDialog {
  Q_OBJECT

 public:
  ReportDialog(const QString& title, const QString& text, int language, Prompter& prompter, QWidget* parent = nullptr);

  [[nodiscard]] QPlainTextEdit* textView() const { return m_text; }
  void CopyAll();
  // Asks for a file name and writes the text there; a failure is told.
  void Save();

 private:
  QPlainTextEdit* m_text;
  Prompter& m_prompter;
  int m_language;
};

// Runs a ReportDialog through `prompter`.
void ShowReport(Prompter& prompter, QWidget* parent, const QString& title, const QString& text, int language);

}  // namespace orvex
