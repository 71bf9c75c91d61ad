#pragma once

#include <QMessageBox>
#include <QString>

class QDialog;
class QWidget;

namespace orvex {

// Every question, message and modal dialog of the main window goes through
// one Prompter, so tests can answer them without real dialogs.  The default
// implementation shows the real boxes.
class Prompter {
 public:
  virtual ~Prompter() = default;

  // A message box; returns the button chosen.
  virtual QMessageBox::StandardButton ask(QWidget* parent, QMessageBox::Icon icon, const QString& title,
                                          const QString& text, QMessageBox::StandardButtons buttons,
                                          QMessageBox::StandardButton defaultButton);
  // A message box with an OK button.
  void tell(QWidget* parent, QMessageBox::Icon icon, const QString& title, const QString& text) {
    ask(parent, icon, title, text, QMessageBox::Ok, QMessageBox::Ok);
  }
  // A message box offering one action, its button reading `action`, and
  // Cancel; true when the action is chosen.
  virtual bool offer(QWidget* parent, QMessageBox::Icon icon, const QString& title, const QString& text,
                     const QString& action);
  // The open dialog (an existing file); empty when cancelled.
  virtual QString openFileName(QWidget* parent, const QString& filter);
  // The save dialog proposing a name, asking before overwriting; empty when
  // cancelled.
  virtual QString saveFileName(QWidget* parent, const QString& proposed, const QString& filter);
  // Runs a modal dialog (About, port, memory map, print); returns its result.
  virtual int exec(QDialog& dialog);
};

}  // namespace orvex
