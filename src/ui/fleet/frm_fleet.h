#pragma once

#include <QDialog>
#include <QString>
#include <QStringList>
#include <map>
#include <memory>
#include <optional>
#include <vector>

#include "core/memory_image.h"
#include "fleet/fleet_run.h"
#include "fleet/fleet_values.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QTableWidget;

namespace orvex {

class Prompter;

// Writes one codeplug to many radios at once: the listed serial ports as
// check boxes (with "All"), device paths typed beside them, an optional
// values CSV, read-back verification and watch mode; a table with one row
// per radio (port, progress, outcome, time) fills as radios finish.
class FrmFleet : public QDialog {
  Q_OBJECT

 public:
  FrmFleet(const Image& codeplug, int language, Prompter& prompter, const QStringList& listedPorts,
           QWidget* parent = nullptr);
  ~FrmFleet() override;

  // The ports ticked and typed, in order, without repeats.
  [[nodiscard]] QStringList chosenPorts() const;
  [[nodiscard]] bool isRunning() const { return m_run && m_run->isRunning(); }

  [[nodiscard]] QCheckBox* allBox() const { return m_all; }
  [[nodiscard]] const std::vector<QCheckBox*>& portBoxes() const { return m_portBoxes; }
  [[nodiscard]] QLineEdit* otherPortsBox() const { return m_otherPorts; }
  [[nodiscard]] QLineEdit* valuesBox() const { return m_values; }
  [[nodiscard]] QCheckBox* verifyBox() const { return m_verify; }
  [[nodiscard]] QCheckBox* watchBox() const { return m_watch; }
  [[nodiscard]] QPushButton* startButton() const { return m_start; }
  [[nodiscard]] QPushButton* stopButton() const { return m_stop; }
  [[nodiscard]] QTableWidget* table() const { return m_table; }
  [[nodiscard]] QLabel* summary() const { return m_summary; }
  // The whole outcome of the chosen radio, or of the last that failed.
  [[nodiscard]] QPlainTextEdit* detail() const { return m_detail; }

 signals:
  void runFinished();

 public slots:
  void Start();
  void Stop();

 protected:
  void reject() override;

 private:
  void Browse();
  int AddRow(const QString& port);
  void ShowReport(int row, const RadioReport& report);
  void UpdateControls();

  Image m_codeplug;
  int m_language;
  Prompter& m_prompter;
  QStringList m_listed;
  std::unique_ptr<FleetRun> m_run;
  std::optional<FleetValues> m_fleetValues;
  std::map<int, int> m_rowOfStation;  // the table row of each station's current radio

  QCheckBox* m_all;
  std::vector<QCheckBox*> m_portBoxes;
  QLineEdit* m_otherPorts;
  QLineEdit* m_values;
  QPushButton* m_browse;
  QCheckBox* m_verify;
  QCheckBox* m_watch;
  QPushButton* m_start;
  QPushButton* m_stop;
  QPushButton* m_close;
  QTableWidget* m_table;
  QLabel* m_summary;
  QPlainTextEdit* m_detail;
};

}  // namespace orvex
