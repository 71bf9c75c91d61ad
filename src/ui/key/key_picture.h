#pragma once

#include <QPixmap>
#include <QPointer>
#include <QWidget>
#include <array>

namespace orvex {

// `PicKey`: the picture of the radio filling the key window, with the key
// groups laid over its left part and a leader line from each group to its
// key on the radio's left edge.
class KeyPicture : public QWidget {
  Q_OBJECT

 public:
  // The keys the picture shows, top to bottom on the radio.
  enum Key { kPtt, kSideKey, kMonitor, kKeyCount };

  explicit KeyPicture(QWidget* parent = nullptr);

  // Puts a group over the picture and points it at its key.
  void setGroup(Key key, QWidget* group);

  // Where the radio is drawn, and where a key sits on it.
  [[nodiscard]] QRect radioRect() const;
  [[nodiscard]] QPoint keyPoint(Key key) const;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QPixmap m_radio;
  std::array<QPointer<QWidget>, kKeyCount> m_groups;
};

}  // namespace orvex
