#include "ui/main/frm_com_port.h"

#include <QButtonGroup>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "ui/main/ui_text.h"

namespace orvex {

namespace {
constexpr int kSlotsPerLine = 4;
}

FrmComPort::FrmComPort(int language, const PortChoice& current, const std::array<PortOffer, kPortSlotCount>& offers,
                       QWidget* parent)
    : QDialog(parent), m_device(new QLineEdit(this)), m_currentPort(current.portNumber) {
  setObjectName("frmComPort");
  setWindowTitle(UiText(1248, language));
  setWindowIcon(QIcon(QStringLiteral(":/ui/orvex.png")));

  auto* frame = new QGroupBox(UiText(1248, language), this);
  frame->setObjectName("Frame1");
  auto* grid = new QGridLayout(frame);
  auto* group = new QButtonGroup(this);
  for (int i = 0; i < kPortSlotCount; ++i) {
    const PortOffer& offer = offers[static_cast<std::size_t>(i)];
    QString caption = QStringLiteral("COM%1").arg(i + 1);
    if (!offer.device.isEmpty()) caption += QStringLiteral("  (%1)").arg(QFileInfo(offer.device).fileName());
    auto* option = new QRadioButton(caption, frame);
    option->setObjectName(QStringLiteral("Option1_%1").arg(i));
    option->setToolTip(offer.description.isEmpty() ? offer.device : offer.device + " - " + offer.description);
    option->setEnabled(offer.usable);
    group->addButton(option, i);
    grid->addWidget(option, i / kSlotsPerLine, i % kSlotsPerLine);
    m_options[static_cast<std::size_t>(i)] = option;
  }
  const int currentIndex = current.portNumber - 1;
  if (currentIndex >= 0 && currentIndex < kPortSlotCount)
    m_options[static_cast<std::size_t>(currentIndex)]->setChecked(true);

  m_device->setObjectName("TxtDevice");
  m_device->setText(current.device);
  m_device->setPlaceholderText(QStringLiteral("/dev/ttyUSB0"));
  m_device->setClearButtonEnabled(true);
  auto* deviceLine = new QHBoxLayout;
  auto* deviceLabel = new QLabel(UiText(1249, language), this);
  deviceLabel->setObjectName("LblDevice");
  deviceLabel->setBuddy(m_device);
  deviceLine->addWidget(deviceLabel);
  deviceLine->addWidget(m_device, 1);

  auto* ok = new QPushButton(UiText(1156, language), this);
  ok->setObjectName("Command1_0");
  ok->setDefault(true);
  auto* cancel = new QPushButton(UiText(1157, language), this);
  cancel->setObjectName("Command1_1");
  connect(ok, &QPushButton::clicked, this, &QDialog::accept);
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(ok);
  buttons->addWidget(cancel);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(frame);
  layout->addLayout(deviceLine);
  layout->addLayout(buttons);
}

PortChoice FrmComPort::choice() const {
  PortChoice result{m_currentPort, {}};
  for (int i = 0; i < kPortSlotCount; ++i) {
    if (m_options[static_cast<std::size_t>(i)]->isChecked()) result.portNumber = i + 1;
  }
  result.device = m_device->text().trimmed();
  return result;
}

}  // namespace orvex
