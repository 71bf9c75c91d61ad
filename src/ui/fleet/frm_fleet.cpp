#include "ui/fleet/frm_fleet.h"

#include <QCheckBox>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QSerialPortInfo>
#include <QTableWidget>
#include <QVBoxLayout>

#include "codeplug/backups.h"
#include "core/preferences.h"
#include "link/serial_ports.h"
#include "ui/main/editing_window.h"
#include "ui/main/prompter.h"
#include "ui/main/ui_text.h"
#include "ui/main/window_context.h"

namespace orvex {

namespace {

struct Texts {
  static constexpr int kAll = 1752;
  static constexpr int kPorts = 1751;
  static constexpr int kOtherPorts = 1753;
  static constexpr int kValuesCsv = 1754;
  static constexpr int kBrowse = 1755;
  static constexpr int kVerify = 1756;
  static constexpr int kWatch = 1757;
  static constexpr int kStart = 1758;
  static constexpr int kStop = 1759;
  static constexpr int kClose = 1760;
  static constexpr int kChoosePort = 10220;
  static constexpr int kValuesUnusable = 10221;
};

enum Column { kColPort, kColProgress, kColOutcome, kColTime, kColumns };
constexpr int kPortsPerLine = 3;
constexpr int kDetailLines = 4;

}  // namespace

FrmFleet::FrmFleet(const Image& codeplug, int language, Prompter& prompter, const QStringList& listedPorts,
                   QWidget* parent)
    : QDialog(parent), m_codeplug(codeplug), m_language(language), m_prompter(prompter), m_listed(listedPorts) {
  setObjectName("frmFleet");
  setWindowTitle(UiText(FleetTexts::kTitle, language));
  setWindowIcon(QIcon(QStringLiteral(":/ui/orvex.png")));

  auto* ports = new QGroupBox(UiText(Texts::kPorts, language), this);
  auto* grid = new QGridLayout(ports);
  m_all = new QCheckBox(UiText(Texts::kAll, language), ports);
  m_all->setObjectName("ChkAll");
  grid->addWidget(m_all, 0, 0);
  for (int i = 0; i < m_listed.size(); ++i) {
    auto* box = new QCheckBox(QFileInfo(m_listed[i]).fileName(), ports);
    box->setObjectName(QStringLiteral("ChkPort_%1").arg(i));
    box->setToolTip(m_listed[i]);
    grid->addWidget(box, 1 + i / kPortsPerLine, i % kPortsPerLine);
    m_portBoxes.push_back(box);
    connect(box, &QCheckBox::toggled, this, [this](bool on) {
      if (!on) m_all->setChecked(false);
    });
  }
  connect(m_all, &QCheckBox::clicked, this, [this](bool on) {
    for (QCheckBox* box : m_portBoxes) box->setChecked(on);
  });
  m_otherPorts = new QLineEdit(ports);
  m_otherPorts->setObjectName("TxtOtherPorts");
  m_otherPorts->setPlaceholderText(QStringLiteral("/dev/ttyUSB4 /dev/ttyUSB5"));
  auto* other = new QHBoxLayout;
  auto* otherLabel = new QLabel(UiText(Texts::kOtherPorts, language), ports);
  otherLabel->setBuddy(m_otherPorts);
  other->addWidget(otherLabel);
  other->addWidget(m_otherPorts, 1);
  grid->addLayout(other, 2 + static_cast<int>(m_listed.size()) / kPortsPerLine, 0, 1, kPortsPerLine);

  m_values = new QLineEdit(this);
  m_values->setObjectName("TxtValues");
  m_browse = new QPushButton(UiText(Texts::kBrowse, language), this);
  connect(m_browse, &QPushButton::clicked, this, &FrmFleet::Browse);
  auto* values = new QHBoxLayout;
  auto* valuesLabel = new QLabel(UiText(Texts::kValuesCsv, language), this);
  valuesLabel->setBuddy(m_values);
  values->addWidget(valuesLabel);
  values->addWidget(m_values, 1);
  values->addWidget(m_browse);

  m_verify = new QCheckBox(UiText(Texts::kVerify, language), this);
  m_verify->setObjectName("ChkVerify");
  m_verify->setChecked(true);
  m_watch = new QCheckBox(UiText(Texts::kWatch, language), this);
  m_watch->setObjectName("ChkWatch");

  m_table = new QTableWidget(0, kColumns, this);
  m_table->setObjectName("GridRadios");
  m_table->setHorizontalHeaderLabels({UiText(FleetTexts::kPort, language), UiText(FleetTexts::kProgress, language),
                                      UiText(FleetTexts::kOutcome, language), UiText(FleetTexts::kTime, language)});
  m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
  m_table->setSelectionMode(QAbstractItemView::SingleSelection);
  m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
  m_table->verticalHeader()->hide();
  m_table->horizontalHeader()->setSectionResizeMode(kColOutcome, QHeaderView::Stretch);
  // A failure's reason is shown whole: wrapped in its row, and below the
  // table for the row chosen (or the last failure), where it can be copied.
  m_table->setWordWrap(true);
  m_table->setTextElideMode(Qt::ElideNone);
  connect(m_table->horizontalHeader(), &QHeaderView::sectionResized, m_table,
          [this] { m_table->resizeRowsToContents(); });
  m_detail = new QPlainTextEdit(this);
  m_detail->setObjectName("TxtOutcome");
  m_detail->setReadOnly(true);
  m_detail->setAccessibleName(UiText(FleetTexts::kOutcome, language));
  m_detail->setMaximumHeight(m_detail->fontMetrics().lineSpacing() * kDetailLines + 2 * m_detail->frameWidth() + 8);
  connect(m_table, &QTableWidget::currentCellChanged, this, [this](int row) {
    if (const QTableWidgetItem* item = row >= 0 ? m_table->item(row, kColOutcome) : nullptr)
      m_detail->setPlainText(m_table->item(row, kColPort)->toolTip() + QStringLiteral(": ") + item->text());
  });
  m_table->setColumnWidth(kColPort, 140);
  m_table->setColumnWidth(kColProgress, 160);
  m_table->setColumnWidth(kColTime, 70);
  m_table->setMinimumHeight(200);

  m_summary = new QLabel(this);
  m_summary->setObjectName("LblSummary");
  m_start = new QPushButton(UiText(Texts::kStart, language), this);
  m_start->setObjectName("CmdStart");
  m_start->setDefault(true);
  m_stop = new QPushButton(UiText(Texts::kStop, language), this);
  m_stop->setObjectName("CmdStop");
  m_close = new QPushButton(UiText(Texts::kClose, language), this);
  m_close->setObjectName("CmdClose");
  connect(m_start, &QPushButton::clicked, this, &FrmFleet::Start);
  connect(m_stop, &QPushButton::clicked, this, &FrmFleet::Stop);
  connect(m_close, &QPushButton::clicked, this, &FrmFleet::reject);
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(m_summary, 1);
  buttons->addWidget(m_start);
  buttons->addWidget(m_stop);
  buttons->addWidget(m_close);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(ports);
  layout->addLayout(values);
  layout->addWidget(m_verify);
  layout->addWidget(m_watch);
  layout->addWidget(m_table, 1);
  layout->addWidget(m_detail);
  layout->addLayout(buttons);
  resize(620, 480);
  UpdateControls();
}

FrmFleet::~FrmFleet() {
  if (m_run) {
    m_run->disconnect(this);
    m_run->stop();
  }
}

QStringList FrmFleet::chosenPorts() const {
  QStringList ports;
  for (std::size_t i = 0; i < m_portBoxes.size(); ++i)
    if (m_portBoxes[i]->isChecked()) ports << m_listed[static_cast<int>(i)];
  static const QRegularExpression separators(QStringLiteral("[\\s,;]+"));
  for (const QString& text : m_otherPorts->text().split(separators, Qt::SkipEmptyParts)) {
    const QString device = ResolvePort(text);
    if (!device.isEmpty()) ports << device;
  }
  ports.removeDuplicates();
  return ports;
}

void FrmFleet::Browse() {
  const QString path = m_prompter.openFileName(this, QStringLiteral("CSV (*.csv)"));
  if (!path.isEmpty()) m_values->setText(path);
}

void FrmFleet::Start() {
  if (isRunning()) return;
  const bool watch = m_watch->isChecked();
  const bool all = m_all->isChecked();
  const QStringList ports = chosenPorts();
  if (ports.isEmpty() && !(watch && all)) {
    m_prompter.tell(this, QMessageBox::Warning, kProgramTitle, UiText(Texts::kChoosePort, m_language));
    return;
  }
  m_fleetValues.reset();
  const QString valuesPath = m_values->text().trimmed();
  if (!valuesPath.isEmpty()) {
    auto loaded = FleetValues::Load(valuesPath.toStdString(), m_language);
    if (!loaded) {
      m_prompter.tell(this, QMessageBox::Critical, kProgramTitle,
                      UiText(Texts::kValuesUnusable, m_language) + "\n\n" + QString::fromStdString(loaded.error()));
      return;
    }
    m_fleetValues.emplace(std::move(*loaded));
  }
  FleetJob job;
  job.direction = CloneDirection::Write;
  job.image = m_codeplug;
  job.verify = m_verify->isChecked();
  if (m_fleetValues) job.imageFor = [this](const QString& port) { return m_fleetValues->ImageFor(m_codeplug, port); };
  // "Back up the radio before writing" holds for every radio of the run.
  if (ReadBackupBeforeWrite()) job.keepBeforeWrite = KeepBackupsBeforeWrite(DefaultBackupFolder());

  m_table->setRowCount(0);
  m_detail->clear();
  m_rowOfStation.clear();
  m_summary->clear();
  m_run = std::make_unique<FleetRun>(job);
  connect(m_run.get(), &FleetRun::radioStarted, this,
          [this](int station, const QString& port) { m_rowOfStation[station] = AddRow(port); });
  connect(m_run.get(), &FleetRun::radioProgress, this, [this](int station, int value, int maximum) {
    const auto it = m_rowOfStation.find(station);
    if (it == m_rowOfStation.end()) return;
    if (auto* bar = qobject_cast<QProgressBar*>(m_table->cellWidget(it->second, kColProgress))) {
      bar->setMaximum(maximum);
      bar->setValue(value);
    }
  });
  connect(m_run.get(), &FleetRun::radioFinished, this, [this](int station, const RadioReport& report) {
    const auto it = m_rowOfStation.find(station);
    const int row = it != m_rowOfStation.end() ? it->second : AddRow(report.port);
    ShowReport(row, report);
    if (m_fleetValues) m_fleetValues->Finished(report);
    m_rowOfStation.erase(station);
    m_summary->setText(QString::fromStdString(
        SummaryText(m_run->succeeded(), static_cast<int>(m_run->reports().size()), m_language)));
  });
  connect(m_run.get(), &FleetRun::finished, this, [this] {
    UpdateControls();
    emit runFinished();
  });
  if (watch) {
    m_summary->setText(UiText(FleetTexts::kWaiting, m_language));
    m_run->watch(ports, all ? std::function<QStringList()>(ListedPorts) : nullptr);
  } else {
    m_run->start(ports);
  }
  UpdateControls();
}

void FrmFleet::Stop() {
  if (m_run) m_run->stop();
  UpdateControls();
}

void FrmFleet::reject() {
  // Closing stops the radios first, so no transfer is left half done unseen.
  Stop();
  QDialog::reject();
}

int FrmFleet::AddRow(const QString& port) {
  const int row = m_table->rowCount();
  m_table->insertRow(row);
  auto* name = new QTableWidgetItem(QFileInfo(port).fileName());
  name->setToolTip(port);
  m_table->setItem(row, kColPort, name);
  auto* bar = new QProgressBar(m_table);
  bar->setMaximum(1);
  bar->setValue(0);
  bar->setTextVisible(false);
  m_table->setCellWidget(row, kColProgress, bar);
  m_table->setItem(row, kColOutcome, new QTableWidgetItem(UiText(FleetTexts::kWorking, m_language)));
  m_table->setItem(row, kColTime, new QTableWidgetItem);
  m_table->scrollToBottom();
  return row;
}

void FrmFleet::ShowReport(int row, const RadioReport& report) {
  QString outcome = QString::fromStdString(OutcomeText(report, m_language));
  if (m_fleetValues)
    if (const auto line = m_fleetValues->LineOf(report.port))
      outcome += QStringLiteral("  [%1 %2]").arg(UiText(FleetTexts::kValues, m_language)).arg(*line);
  auto* item = new QTableWidgetItem(outcome);
  item->setToolTip(outcome);
  item->setForeground(Succeeded(report.outcome) ? QColor(0, 110, 0) : QColor(180, 0, 0));
  m_table->setItem(row, kColOutcome, item);
  m_table->setItem(row, kColTime, new QTableWidgetItem(QString::fromStdString(SecondsText(report.milliseconds))));
  m_table->resizeRowToContents(row);
  if (!Succeeded(report.outcome) || m_table->currentRow() == row) m_detail->setPlainText(report.port + ": " + outcome);
}

void FrmFleet::UpdateControls() {
  const bool running = isRunning();
  m_start->setEnabled(!running);
  m_stop->setEnabled(running);
  for (QWidget* w : std::initializer_list<QWidget*>{m_all, m_otherPorts, m_values, m_browse, m_verify, m_watch})
    w->setEnabled(!running);
  for (QCheckBox* box : m_portBoxes) box->setEnabled(!running);
}

namespace {

void ProgramSeveralRadios(CommandContext& main) {
  // What the windows show is what every radio gets.
  main.SaveAll();
  FrmFleet dialog(main.memory().image(), main.state().language, main.prompter(), ListedPorts(), main.frame());
  main.prompter().exec(dialog);
}

const MainCommandRegistration kCommand{"miFleet", &ProgramSeveralRadios};

}  // namespace

}  // namespace orvex
