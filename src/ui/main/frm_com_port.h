#pragma once

#include <QDialog>
#include <QString>
#include <array>

#include "link/serial_ports.h"

class QLineEdit;
class QRadioButton;

namespace orvex {

// What the port dialog returns: the slot 1..10 and, when the user typed one,
// a device path that overrides the slot for the rest of the run.
struct PortChoice {
  int portNumber = 1;
  QString device;
};

// One of the ten slots as the dialog shows it: the device it stands for
// (empty when the system has none) and whether the probe opened it.
struct PortOffer {
  QString device;
  QString description;
  bool usable = false;
};

// The communication port dialog: COM1..COM10, four to a line, greyed when
// the probe failed; the current slot is selected even when greyed, so OK
// keeps it.  A device path typed below (a pseudo-terminal, /dev/ttyUSB3)
// wins over the slot.
class FrmComPort : public QDialog {
  Q_OBJECT

 public:
  FrmComPort(int language, const PortChoice& current, const std::array<PortOffer, kPortSlotCount>& offers,
             QWidget* parent = nullptr);

  // The choice to apply after OK.
  [[nodiscard]] PortChoice choice() const;

  [[nodiscard]] QRadioButton* option(int index) const { return m_options[static_cast<std::size_t>(index)]; }
  [[nodiscard]] QLineEdit* deviceBox() const { return m_device; }

 private:
  std::array<QRadioButton*, kPortSlotCount> m_options{};
  QLineEdit* m_device;
  int m_currentPort;
};

}  // namespace orvex
