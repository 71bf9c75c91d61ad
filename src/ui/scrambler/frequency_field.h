#pragma once

#include <QLineEdit>

namespace orvex {

// `TxtFreq` 7, the frequency of scrambler group 8: takes typed and pasted
// digits only, with the editing keys of any text box, selects its text on
// entry, puts the entry's text back on
// Esc and clamps to 3000..5000 Hz when left or on Enter (which also moves
// on).  Typing stores nothing; the window stores in SaveData.
class FrequencyField : public QLineEdit {
  Q_OBJECT

 public:
  explicit FrequencyField(QWidget* parent = nullptr);

  // The clamp of leaving the field, for a store that finds it still being
  // edited; an untouched text is kept as it stands.
  void CommitTyped();

 signals:
  // The clamp ran over this text (it may have kept the value).
  void clamped(const QString& typed);

 protected:
  void focusInEvent(QFocusEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void Clamp();

  QString m_remembered;
};

}  // namespace orvex
