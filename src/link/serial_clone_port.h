#pragma once

// The cable over QSerialPort at the radio's 9600 8N1, with a precise
// single-shot QTimer; everything arrives on the owner's event loop.

#include <QObject>
#include <QSerialPort>
#include <QTimer>

#include "link/clone_port.h"

namespace orvex {

inline constexpr qint32 kCloneBaudRate = 9600;

class SerialClonePort : public QObject, public ClonePort {
  Q_OBJECT
 public:
  explicit SerialClonePort(QObject* parent = nullptr);
  ~SerialClonePort() override;

  Status Open(const std::string& name) override;
  void Send(std::span<const std::uint8_t> bytes) override;
  void Close() override;
  [[nodiscard]] bool IsOpen() const override { return m_port.isOpen(); }
  void Arm(std::chrono::milliseconds delay) override { m_timer.start(delay); }
  void Disarm() override { m_timer.stop(); }

 private:
  void onPortError(QSerialPort::SerialPortError error);

  QSerialPort m_port;
  QTimer m_timer;
};

}  // namespace orvex
