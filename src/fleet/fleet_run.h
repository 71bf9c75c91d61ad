#pragma once

// Many radios at once: one RadioStation per port, all on this thread's
// event loop, and the table of what happened to each radio.  In watch mode
// stations wait for radio after radio and, when the ports come from the
// system's list, a station is added for every port that appears.

#include <QObject>
#include <QString>
#include <QStringList>
#include <QTimer>
#include <functional>
#include <memory>
#include <vector>

#include "fleet/radio_station.h"

namespace orvex {

class FleetRun : public QObject {
  Q_OBJECT
 public:
  explicit FleetRun(FleetJob job, QObject* parent = nullptr);
  ~FleetRun() override;

  // Every port at once; finished() once each radio has an outcome.
  void start(const QStringList& ports);
  // Radio after radio on these ports; when `listPorts` is given, it is asked
  // again now and then and new ports are watched too.  Runs until stop().
  void watch(const QStringList& ports, std::function<QStringList()> listPorts = {});
  // Stops every station (running radios are reported as stopped), then
  // finished().
  void stop();

  bool isRunning() const { return m_running; }
  const std::vector<RadioReport>& reports() const { return m_reports; }
  int succeeded() const;
  const std::vector<std::unique_ptr<RadioStation>>& stations() const { return m_stations; }

 signals:
  void radioStarted(int station, QString port);
  void radioProgress(int station, int value, int maximum);
  void radioFinished(int station, orvex::RadioReport report);
  void finished();

 private:
  void addStation(const QString& port);
  void lookForPorts();
  void checkFinished();

  FleetJob m_job;
  std::vector<std::unique_ptr<RadioStation>> m_stations;
  std::vector<RadioReport> m_reports;
  std::function<QStringList()> m_listPorts;
  QTimer m_listTimer;
  bool m_running = false;
  bool m_watching = false;
  int m_pending = 0;
};

}  // namespace orvex
