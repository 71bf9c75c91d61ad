#include "link/clone_transfer.h"

namespace orvex {

CloneTransfer::CloneTransfer(QObject* parent) : QObject(parent) { m_port.SetListener(&m_run); }

CloneTransfer::~CloneTransfer() {
  // No signal may reach a caller that is being torn down with us.
  blockSignals(true);
  m_port.SetListener(nullptr);
}

bool CloneTransfer::start(CloneDirection direction, const QString& portName, RadioMemory& memory) {
  return m_run.Start(direction, portName.toStdString(), memory);
}

void CloneTransfer::RunEnded(CloneEnd end, const std::string& reason) {
  const QString text = QString::fromStdString(reason);
  switch (end) {
    case CloneEnd::Completed:
      emit completed();
      break;
    case CloneEnd::ModelMismatch:
      emit modelMismatch();
      break;
    case CloneEnd::Failed:
      emit failed(text);
      break;
    case CloneEnd::OpenFailed:
      emit openFailed(text);
      break;
  }
  emit finished();
}

}  // namespace orvex
