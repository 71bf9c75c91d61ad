#include "ui/main/prompter.h"

#include <QDialog>
#include <QFileDialog>
#include <QPushButton>

namespace orvex {

QMessageBox::StandardButton Prompter::ask(QWidget* parent, QMessageBox::Icon icon, const QString& title,
                                          const QString& text, QMessageBox::StandardButtons buttons,
                                          QMessageBox::StandardButton defaultButton) {
  QMessageBox box(icon, title, text, buttons, parent);
  box.setDefaultButton(defaultButton);
  return static_cast<QMessageBox::StandardButton>(box.exec());
}

bool Prompter::offer(QWidget* parent, QMessageBox::Icon icon, const QString& title, const QString& text,
                     const QString& action) {
  QMessageBox box(icon, title, text, QMessageBox::Cancel, parent);
  QPushButton* chosen = box.addButton(action, QMessageBox::AcceptRole);
  box.setDefaultButton(QMessageBox::Cancel);
  box.exec();
  return box.clickedButton() == chosen;
}

QString Prompter::openFileName(QWidget* parent, const QString& filter) {
  return QFileDialog::getOpenFileName(parent, QString(), QString(), filter, nullptr, QFileDialog::ReadOnly);
}

QString Prompter::saveFileName(QWidget* parent, const QString& proposed, const QString& filter) {
  return QFileDialog::getSaveFileName(parent, QString(), proposed, filter);
}

int Prompter::exec(QDialog& dialog) { return dialog.exec(); }

}  // namespace orvex
