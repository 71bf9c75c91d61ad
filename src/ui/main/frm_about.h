#pragma once

#include <QDialog>

namespace orvex {

// The About box: model, version and release date, in the current language.
class FrmAbout : public QDialog {
  Q_OBJECT

 public:
  explicit FrmAbout(int language, QWidget* parent = nullptr);

  // The four lines of the label.
  static QString AboutText(int language);
};

}  // namespace orvex
