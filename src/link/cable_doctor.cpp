#include "link/cable_doctor.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <QSerialPortInfo>
#include <algorithm>
#include <cctype>
#include <cerrno>
#include <climits>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <fstream>

#include "core/strings.h"
#include "link/serial_access.h"

#ifdef __linux__
#include <linux/serial.h>
#include <sys/ioctl.h>
#endif

namespace orvex {

namespace fs = std::filesystem;

namespace {

using Clock = std::chrono::steady_clock;

// String-table numbers of the doctor's findings on the device.
constexpr int kTxtNone = 1858, kTxtPortsSeen = 1859, kTxtNoPort = 1860, kTxtPortExists = 1861, kTxtNoAdapter = 1863,
              kTxtLatency = 1864, kTxtNoLatency = 1865, kTxtNoModemManager = 1866, kTxtModemManager = 1867,
              kTxtFreshPorts = 1916, kTxtAppearedAgo = 1917, kTxtLatencyAdvice = 1918, kTxtLowLatency = 1919,
              kTxtNoLowLatency = 1920, kTxtAlsoOpen = 1921, kTxtRegularFile = 1922, kTxtNotDevice = 1923,
              kTxtNotSerial = 1924;

std::string Named(DoctorStep step, int language) { return DoctorStepName(step, language); }

std::string Joined(const std::vector<std::string>& items, int language) {
  std::string text;
  for (const auto& item : items) text += (text.empty() ? "" : ", ") + item;
  return text.empty() ? std::string(Text(kTxtNone, language)) : text;
}

std::string Trimmed(std::string text) {
  text.erase(text.find_last_not_of(" \n\r\t") + 1);
  return text;
}

std::string ReadSys(const fs::path& path) {
  std::ifstream in(path);
  std::string text;
  std::getline(in, text);
  return Trimmed(text);
}

std::string RealPath(const std::string& path) {
  char resolved[PATH_MAX];
  return realpath(path.c_str(), resolved) ? std::string(resolved) : path;
}

// The USB device above a tty in sysfs: the first ancestor with an idVendor.
fs::path UsbDeviceOf(const fs::path& ttyDevice) {
  std::error_code error;
  fs::path at = fs::canonical(ttyDevice, error);
  for (int level = 0; !error && level < 6 && !at.empty() && at != at.root_path(); ++level, at = at.parent_path())
    if (fs::exists(at / "idVendor")) return at;
  return {};
}

std::vector<std::string> ModemManagers() {
  std::vector<std::string> found;
  std::error_code error;
  for (fs::directory_iterator proc("/proc", error), end; !error && proc != end; proc.increment(error)) {
    const std::string pid = proc->path().filename().string();
    if (pid.empty() || !std::all_of(pid.begin(), pid.end(), ::isdigit)) continue;
    const std::string name = ReadSys(proc->path() / "comm");
    if (name == "ModemManager" || name == "modem-manager") found.push_back(pid);
  }
  return found;
}

bool Configure(int fd) {
  termios tio{};
  if (tcgetattr(fd, &tio) != 0) return false;
  cfmakeraw(&tio);
  cfsetspeed(&tio, B9600);
  tio.c_cflag |= CLOCAL | CREAD;
  tio.c_cflag &= ~static_cast<tcflag_t>(CSTOPB | PARENB | CRTSCTS);
  return tcsetattr(fd, TCSANOW, &tio) == 0;
}

// Collects what arrives until `enough` says so of a chunk or the limit
// passes.
template <class Enough>
void Collect(int fd, std::chrono::milliseconds limit, Enough enough, LinkTrace* trace) {
  const auto deadline = Clock::now() + limit;
  for (;;) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    if (left <= 0) return;
    pollfd p{fd, POLLIN, 0};
    if (poll(&p, 1, static_cast<int>(left)) <= 0) continue;
    std::uint8_t buffer[256];
    const ssize_t n = read(fd, buffer, sizeof buffer);
    if (n <= 0) {
      if (n < 0 && (errno == EINTR || errno == EAGAIN)) continue;
      return;
    }
    const auto chunk = std::span(buffer, static_cast<std::size_t>(n));
    if (trace) trace->Received(chunk);
    if (enough(chunk)) return;
  }
}

bool Send(int fd, std::span<const std::uint8_t> bytes, LinkTrace* trace) {
  if (trace) trace->Sent(bytes);
  std::size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n = write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0 && (errno == EINTR || errno == EAGAIN)) continue;
    if (n <= 0) return false;
    done += static_cast<std::size_t>(n);
  }
  tcdrain(fd);
  return true;
}

void PortChecks(const std::string& device, const DoctorOptions& options, std::vector<DoctorCheck>& checks) {
  const int language = options.language;
  const auto now = SerialDevicesNow();
  std::vector<std::string> fresh;
  for (const auto& port : now)
    if (std::find(options.portsAtStart.begin(), options.portsAtStart.end(), port) == options.portsAtStart.end())
      fresh.push_back(port);
  std::string seen = TextOf(kTxtPortsSeen, language, {Joined(now, language)});
  if (!fresh.empty()) seen = TextOf(kTxtFreshPorts, language, {seen, Joined(fresh, language)});
  struct stat st {};
  if (stat(device.c_str(), &st) != 0) {
    checks.push_back({DoctorVerdict::Fail, Named(DoctorStep::Port, language),
                      TextOf(kTxtNoPort, language, {device, std::strerror(errno), seen})});
    return;
  }
  std::string text = TextOf(kTxtPortExists, language, {device, seen});
  const std::time_t age = std::time(nullptr) - st.st_ctime;
  if (S_ISCHR(st.st_mode) && age >= 0 && age < 120)
    text = TextOf(kTxtAppearedAgo, language, {text, std::to_string(age)});
  checks.push_back({DoctorVerdict::Pass, Named(DoctorStep::Port, language), text});
}

void AdapterChecks(const std::string& device, int fd, int language, std::vector<DoctorCheck>& checks) {
  const std::string name = fs::path(RealPath(device)).filename().string();
  const fs::path tty = fs::path("/sys/class/tty") / name / "device";
  const fs::path usb = UsbDeviceOf(tty);
  if (usb.empty()) {
    checks.push_back(
        {DoctorVerdict::Note, Named(DoctorStep::Adapter, language), TextOf(kTxtNoAdapter, language, {device})});
  } else {
    checks.push_back(AdapterVerdict(ReadSys(usb / "idVendor"), ReadSys(usb / "idProduct"),
                                    ReadSys(usb / "manufacturer"), ReadSys(usb / "product"), language));
  }

  std::string latency;
  const fs::path timer = tty / "latency_timer";
  if (const std::string value = ReadSys(timer); !value.empty()) {
    latency = TextOf(kTxtLatency, language, {value});
    if (value != "1") latency = TextOf(kTxtLatencyAdvice, language, {latency, timer.string()});
  } else {
    latency = Text(kTxtNoLatency, language);
  }
  bool accepted = false;
#ifdef __linux__
  serial_struct serial{};
  if (ioctl(fd, TIOCGSERIAL, &serial) == 0) {
    serial.flags |= ASYNC_LOW_LATENCY;
    accepted = ioctl(fd, TIOCSSERIAL, &serial) == 0 && ioctl(fd, TIOCGSERIAL, &serial) == 0 &&
               (serial.flags & ASYNC_LOW_LATENCY) != 0;
  }
#endif
  latency = TextOf(accepted ? kTxtLowLatency : kTxtNoLowLatency, language, {latency});
  checks.push_back({DoctorVerdict::Note, Named(DoctorStep::Latency, language), latency});
}

void ModemManagerCheck(int language, std::vector<DoctorCheck>& checks) {
  const auto managers = ModemManagers();
  if (managers.empty()) {
    checks.push_back(
        {DoctorVerdict::Pass, Named(DoctorStep::ModemManager, language), TextOf(kTxtNoModemManager, language)});
    return;
  }
  checks.push_back({DoctorVerdict::Warn, Named(DoctorStep::ModemManager, language),
                    TextOf(kTxtModemManager, language, {Joined(managers, language)})});
}

DoctorExchange Exchange(int fd, const DoctorOptions& options, LinkTrace* trace) {
  DoctorConversation talk;
  tcflush(fd, TCIOFLUSH);
  for (auto bytes = talk.Next(); !bytes.empty(); bytes = talk.Next()) {
    if (!Send(fd, bytes, trace)) {
      talk.SendFailed();
      break;
    }
    Collect(
        fd, options.replyLimit, [&](std::span<const std::uint8_t> chunk) { return talk.Received(chunk); }, trace);
  }
  return talk.exchange();
}

}  // namespace

std::vector<std::string> SerialDevicesNow() {
  std::vector<std::string> list;
  for (const auto& info : QSerialPortInfo::availablePorts()) list.push_back(info.systemLocation().toStdString());
  std::sort(list.begin(), list.end());
  return list;
}

DoctorCheck OpenVerdict(int error, const std::string& device, int language) {
  const std::string reason = std::strerror(error);
  if (error == EACCES || error == EPERM)
    return OpenProblemVerdict(OpenProblem::Denied, SerialPermissionHelp(device, language), reason, language);
  if (error == EBUSY)
    return OpenProblemVerdict(OpenProblem::Busy, OpenErrorHelp(error, device, language), reason, language);
  if (error == ENOENT || error == ENXIO || error == ENODEV)
    return OpenProblemVerdict(OpenProblem::WentAway, device, reason, language);
  return OpenProblemVerdict(OpenProblem::Other, device, reason, language);
}

DoctorReport RunCableDoctor(const std::string& device, const DoctorOptions& options, LinkTrace* trace) {
  DoctorReport report;
  auto& checks = report.checks;
  // The link log is a hex dump for whoever debugs the link; its notes stay
  // English in every language, as the transfers' notes do.
  if (trace) trace->Note("cable doctor on " + device);
  PortChecks(device, options, checks);
  const bool exists = checks.back().verdict != DoctorVerdict::Fail;
  const int language = options.language;
  ModemManagerCheck(language, checks);
  int fd = -1;
  if (exists) {
    fd = open(device.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
      checks.push_back(OpenVerdict(errno, device, language));
    } else if (struct stat st{}; fstat(fd, &st) == 0 && !S_ISCHR(st.st_mode)) {
      checks.push_back({DoctorVerdict::Fail, Named(DoctorStep::Open, language),
                        TextOf(S_ISREG(st.st_mode) ? kTxtRegularFile : kTxtNotDevice, language, {device})});
      close(fd);
      fd = -1;
    } else if (!isatty(fd) || !Configure(fd)) {
      checks.push_back({DoctorVerdict::Fail, Named(DoctorStep::Open, language),
                        TextOf(kTxtNotSerial, language, {device, std::strerror(errno)})});
      close(fd);
      fd = -1;
    } else {
      DoctorCheck opens = OpensVerdict(device, language);
      if (const auto holders = DeviceHolders(device); !holders.empty()) {
        opens.verdict = DoctorVerdict::Warn;
        opens.text = TextOf(kTxtAlsoOpen, language, {opens.text, Joined(holders, language)});
      }
      checks.push_back(opens);
    }
  }
  if (fd >= 0) {
    AdapterChecks(device, fd, language, checks);
    const DoctorExchange exchange = Exchange(fd, options, trace);
    close(fd);
    for (auto& check : ExchangeVerdicts(exchange, report.radioIsThisModel, language))
      checks.push_back(std::move(check));
  }
  report.summary = DoctorSummary(checks, report.radioIsThisModel, device, language);
  if (trace) trace->Note(report.summary);
  return report;
}

}  // namespace orvex
