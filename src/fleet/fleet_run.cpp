#include "fleet/fleet_run.h"

#include <algorithm>

namespace orvex {

FleetRun::FleetRun(FleetJob job, QObject* parent) : QObject(parent), m_job(std::move(job)) {
  connect(&m_listTimer, &QTimer::timeout, this, &FleetRun::lookForPorts);
}

FleetRun::~FleetRun() {
  // Stations report nothing into a run that is being torn down.
  for (auto& station : m_stations) station->disconnect(this);
}

int FleetRun::succeeded() const {
  return static_cast<int>(std::ranges::count_if(m_reports, [](const RadioReport& r) { return Succeeded(r.outcome); }));
}

void FleetRun::addStation(const QString& port) {
  const int index = static_cast<int>(m_stations.size());
  auto& station = m_stations.emplace_back(std::make_unique<RadioStation>(port, m_job));
  connect(station.get(), &RadioStation::radioStarted, this,
          [this, index] { emit radioStarted(index, m_stations[static_cast<std::size_t>(index)]->port()); });
  connect(station.get(), &RadioStation::progress, this,
          [this, index](int value, int maximum) { emit radioProgress(index, value, maximum); });
  connect(station.get(), &RadioStation::radioFinished, this, [this, index](const RadioReport& report) {
    m_reports.push_back(report);
    emit radioFinished(index, report);
    if (!m_watching) {
      --m_pending;
      checkFinished();
    }
  });
}

void FleetRun::start(const QStringList& ports) {
  if (m_running) return;
  m_running = true;
  m_watching = false;
  m_pending = static_cast<int>(ports.size());
  const std::size_t first = m_stations.size();
  for (const QString& port : ports) addStation(port);
  // Started from the event loop, so outcomes reported at once (a port that
  // cannot be opened) reach a caller that connects after start().
  QTimer::singleShot(0, this, [this, first] {
    if (!m_running) return;  // stopped before it began
    for (std::size_t i = first; i < m_stations.size(); ++i) m_stations[i]->start();
    checkFinished();
  });
}

void FleetRun::watch(const QStringList& ports, std::function<QStringList()> listPorts) {
  if (m_running) return;
  m_running = true;
  m_watching = true;
  m_listPorts = std::move(listPorts);
  for (const QString& port : ports) addStation(port);
  QTimer::singleShot(0, this, [this] {
    if (!m_running) return;
    for (auto& station : m_stations) station->watch();
    lookForPorts();
  });
  if (m_listPorts) m_listTimer.start(kWatchPoll);
}

void FleetRun::lookForPorts() {
  if (!m_running || !m_watching || !m_listPorts) return;
  for (const QString& port : m_listPorts()) {
    const bool known = std::ranges::any_of(m_stations, [&](const auto& s) { return s->port() == port; });
    if (known) continue;
    addStation(port);
    m_stations.back()->watch();
  }
}

void FleetRun::stop() {
  if (!m_running) return;
  m_listTimer.stop();
  const bool watching = m_watching;
  m_watching = true;  // reports of stopped radios do not count down
  for (auto& station : m_stations) station->stop();
  m_watching = watching;
  m_pending = 0;
  checkFinished();
}

void FleetRun::checkFinished() {
  if (!m_running || m_pending > 0) return;
  m_running = false;
  m_listTimer.stop();
  emit finished();
}

}  // namespace orvex
