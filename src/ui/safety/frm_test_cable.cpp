#include "ui/safety/frm_test_cable.h"

#include <QFontDatabase>
#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QThread>
#include <QVBoxLayout>

#include "ui/main/ui_text.h"

namespace orvex {

namespace {
constexpr int kClose = 1689, kTitle = 1694, kTesting = 1695;
}  // namespace

FrmTestCable::FrmTestCable(const QString& device, std::vector<std::string> portsAtStart, int language, QWidget* parent)
    : QDialog(parent), m_text(new QPlainTextEdit(this)) {
  setObjectName("frmTestCable");
  setWindowTitle(UiText(kTitle, language));
  m_text->setObjectName("TxtReport");
  m_text->setReadOnly(true);
  m_text->setAccessibleName(windowTitle());
  m_text->setLineWrapMode(QPlainTextEdit::WidgetWidth);
  m_text->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
  m_text->setPlainText(UiText(kTesting, language) + device + " ...");
  auto* close = new QPushButton(UiText(kClose, language), this);
  close->setObjectName("CmdClose");
  connect(close, &QPushButton::clicked, this, &QDialog::accept);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(close);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(m_text);
  layout->addLayout(buttons);
  resize(720, 360);

  // The checks wait for replies up to a second or two; the window stays live.
  m_trace.Begin("Test Cable on " + device.toStdString());
  DoctorOptions options;
  options.portsAtStart = std::move(portsAtStart);
  options.language = language;
  m_thread = QThread::create(
      [this, device = device.toStdString(), options] { m_report = RunCableDoctor(device, options, &m_trace); });
  connect(m_thread, &QThread::finished, this, [this, language] {
    m_text->setPlainText(QString::fromStdString(DoctorReportText(m_report, language)));
    m_done = true;
    emit done();
  });
  m_thread->start();
}

FrmTestCable::~FrmTestCable() {
  m_thread->wait();
  delete m_thread;
}

}  // namespace orvex
