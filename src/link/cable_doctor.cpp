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
#include <cstdio>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <fstream>

#include "core/strings.h"
#include "link/clone_protocol.h"
#include "link/serial_access.h"

#ifdef __linux__
#include <linux/serial.h>
#include <sys/ioctl.h>
#endif

namespace orvex {

namespace fs = std::filesystem;

namespace {

using Clock = std::chrono::steady_clock;
using Bytes = std::vector<std::uint8_t>;

// String-table numbers of the doctor's findings.
constexpr int kTxtNone = 1858, kTxtPortsSeen = 1859, kTxtNoPort = 1860, kTxtPortExists = 1861, kTxtOpens = 1862,
              kTxtNoAdapter = 1863, kTxtLatency = 1864, kTxtNoLatency = 1865, kTxtNoModemManager = 1866,
              kTxtModemManager = 1867, kTxtNothingBack = 1868, kTxtEchoes = 1869, kTxtNoEcho = 1870,
              kTxtEchoNoRadio = 1871, kTxtNoAnswer = 1872, kTxtWrongAnswer = 1873, kTxtNoIdentify = 1874,
              kTxtThisModel = 1875, kTxtOtherModel = 1876, kTxtWorks = 1877, kTxtFirstProblem = 1878,
              kTxtNoRadio = 1879, kTxtFreshPorts = 1916, kTxtAppearedAgo = 1917, kTxtLatencyAdvice = 1918,
              kTxtLowLatency = 1919, kTxtNoLowLatency = 1920, kTxtAlsoOpen = 1921, kTxtRegularFile = 1922,
              kTxtNotDevice = 1923, kTxtNotSerial = 1924, kTxtDenied = 1925, kTxtBusy = 1926, kTxtWentAway = 1927,
              kTxtCannotOpen = 1928, kTxtNoMaker = 1929, kTxtNoProduct = 1930, kTxtAdapter = 1931, kTxtFakeFtdi = 1932,
              kTxtFakeProlific = 1933, kTxtPlace = 1910;

// The checks' names, as the report shows them.
enum CheckName { kPort = 1934, kOpen, kAdapter, kLatency, kModemManager, kEcho, kRadio };

std::string Named(CheckName name, int language) { return std::string(Text(name, language)); }

std::string Joined(const std::vector<std::string>& items, int language) {
  std::string text;
  for (const auto& item : items) text += (text.empty() ? "" : ", ") + item;
  return text.empty() ? std::string(Text(kTxtNone, language)) : text;
}

std::string Hex(const Bytes& bytes) {
  std::string text;
  char byte[4];
  for (const std::uint8_t b : bytes) {
    std::snprintf(byte, sizeof byte, "%s%02X", text.empty() ? "" : " ", b);
    text += byte;
  }
  return text;
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

// Collects what arrives until `enough` says so or the limit passes.
template <class Enough>
Bytes Collect(int fd, std::chrono::milliseconds limit, Enough enough, LinkTrace* trace) {
  Bytes received;
  const auto deadline = Clock::now() + limit;
  while (!enough(received)) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    if (left <= 0) break;
    pollfd p{fd, POLLIN, 0};
    if (poll(&p, 1, static_cast<int>(left)) <= 0) continue;
    std::uint8_t buffer[256];
    const ssize_t n = read(fd, buffer, sizeof buffer);
    if (n <= 0) {
      if (n < 0 && (errno == EINTR || errno == EAGAIN)) continue;
      break;
    }
    if (trace) trace->Received(std::span(buffer, static_cast<std::size_t>(n)));
    received.insert(received.end(), buffer, buffer + n);
  }
  return received;
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

bool StartsWith(const Bytes& bytes, std::span<const std::uint8_t> prefix) {
  const std::size_t n = std::min(bytes.size(), prefix.size());
  return std::equal(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(n), prefix.begin());
}

std::string Printable(std::span<const std::uint8_t> bytes) {
  std::string text;
  for (const std::uint8_t b : bytes) text += (b >= 0x20 && b < 0x7F) ? static_cast<char>(b) : '.';
  return text;
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
    checks.push_back({DoctorVerdict::Fail, Named(kPort, language),
                      TextOf(kTxtNoPort, language, {device, std::strerror(errno), seen})});
    return;
  }
  std::string text = TextOf(kTxtPortExists, language, {device, seen});
  const std::time_t age = std::time(nullptr) - st.st_ctime;
  if (S_ISCHR(st.st_mode) && age >= 0 && age < 120)
    text = TextOf(kTxtAppearedAgo, language, {text, std::to_string(age)});
  checks.push_back({DoctorVerdict::Pass, Named(kPort, language), text});
}

void AdapterChecks(const std::string& device, int fd, int language, std::vector<DoctorCheck>& checks) {
  const std::string name = fs::path(RealPath(device)).filename().string();
  const fs::path tty = fs::path("/sys/class/tty") / name / "device";
  const fs::path usb = UsbDeviceOf(tty);
  if (usb.empty()) {
    checks.push_back({DoctorVerdict::Note, Named(kAdapter, language), TextOf(kTxtNoAdapter, language, {device})});
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
  checks.push_back({DoctorVerdict::Note, Named(kLatency, language), latency});
}

void ModemManagerCheck(int language, std::vector<DoctorCheck>& checks) {
  const auto managers = ModemManagers();
  if (managers.empty()) {
    checks.push_back({DoctorVerdict::Pass, Named(kModemManager, language), TextOf(kTxtNoModemManager, language)});
    return;
  }
  checks.push_back({DoctorVerdict::Warn, Named(kModemManager, language),
                    TextOf(kTxtModemManager, language, {Joined(managers, language)})});
}

DoctorExchange Exchange(int fd, const DoctorOptions& options, LinkTrace* trace) {
  DoctorExchange exchange;
  tcflush(fd, TCIOFLUSH);
  if (!Send(fd, kGreeting, trace)) return exchange;
  exchange.afterGreeting = Collect(
      fd, options.replyLimit,
      [](const Bytes& r) { return StartsWith(r, kGreeting) ? r.size() > std::size(kGreeting) : !r.empty(); }, trace);
  const bool echo =
      StartsWith(exchange.afterGreeting, kGreeting) && exchange.afterGreeting.size() >= std::size(kGreeting);
  const Bytes& g = exchange.afterGreeting;
  const std::size_t skip = echo ? std::size(kGreeting) : 0;
  if (g.size() <= skip || (g.back() & 0x0F) != CloneFrames::kAck) return exchange;
  const std::uint8_t identify[] = {CloneFrames::kIdentify};
  if (!Send(fd, identify, trace)) return exchange;
  exchange.identifySent = true;
  const std::size_t wanted = (echo ? 1 : 0) + 8;
  exchange.afterIdentify = Collect(
      fd, options.replyLimit, [&](const Bytes& r) { return r.size() >= wanted; }, trace);
  return exchange;
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
  const auto fail = [&](int text, const std::string& detail) {
    return DoctorCheck{DoctorVerdict::Fail, Named(kOpen, language), TextOf(text, language, {detail, reason})};
  };
  if (error == EACCES || error == EPERM) return fail(kTxtDenied, SerialPermissionHelp(device, language));
  if (error == EBUSY) return fail(kTxtBusy, OpenErrorHelp(error, device, language));
  if (error == ENOENT || error == ENXIO || error == ENODEV) return fail(kTxtWentAway, device);
  return fail(kTxtCannotOpen, device);
}

DoctorCheck AdapterVerdict(const std::string& vendorId, const std::string& productId, const std::string& maker,
                           const std::string& product, int language) {
  const std::string ids = vendorId + ":" + productId;
  const std::string text = TextOf(kTxtAdapter, language,
                                  {ids, maker.empty() ? std::string(Text(kTxtNoMaker, language)) : maker,
                                   product.empty() ? std::string(Text(kTxtNoProduct, language)) : product});
  const std::string name = Named(kAdapter, language);
  // Clones give themselves away: an FTDI id with its product id wiped, or a
  // Prolific chip whose maker stopped making it years ago.
  if (ids == "0403:0000") return {DoctorVerdict::Warn, name, TextOf(kTxtFakeFtdi, language, {text})};
  if (vendorId == "067b" &&
      (product.find("HXA") != std::string::npos || product.find("PHASED OUT") != std::string::npos))
    return {DoctorVerdict::Warn, name, TextOf(kTxtFakeProlific, language, {text})};
  return {DoctorVerdict::Pass, name, text};
}

std::vector<DoctorCheck> ExchangeVerdicts(const DoctorExchange& exchange, bool& radioIsThisModel, int language) {
  std::vector<DoctorCheck> checks;
  radioIsThisModel = false;
  const Bytes& g = exchange.afterGreeting;
  const bool echo = StartsWith(g, kGreeting) && g.size() >= std::size(kGreeting);
  if (g.empty()) {
    checks.push_back({DoctorVerdict::Note, Named(kEcho, language), TextOf(kTxtNothingBack, language)});
  } else if (echo) {
    checks.push_back({DoctorVerdict::Note, Named(kEcho, language), TextOf(kTxtEchoes, language)});
  } else {
    checks.push_back({DoctorVerdict::Pass, Named(kEcho, language), TextOf(kTxtNoEcho, language)});
  }
  const std::size_t skip = echo ? std::size(kGreeting) : 0;
  if (g.size() <= skip) {
    checks.push_back(
        {DoctorVerdict::Fail, Named(kRadio, language), TextOf(echo ? kTxtEchoNoRadio : kTxtNoAnswer, language)});
    return checks;
  }
  const std::uint8_t answer = g.back();
  if ((answer & 0x0F) != CloneFrames::kAck) {
    checks.push_back(
        {DoctorVerdict::Fail, Named(kRadio, language), TextOf(kTxtWrongAnswer, language, {Hex({answer})})});
    return checks;
  }
  const Bytes& id = exchange.afterIdentify;
  const std::size_t idSkip = echo ? 1 : 0;
  if (!exchange.identifySent || id.size() < idSkip + 8) {
    checks.push_back({DoctorVerdict::Fail, Named(kRadio, language),
                      TextOf(kTxtNoIdentify, language, {std::to_string(id.size()), Hex(id)})});
    return checks;
  }
  const std::span<const std::uint8_t> reply = std::span(id).last(8);
  const bool ours =
      reply[0] == CloneFrames::kAck && std::equal(std::begin(kModelId), std::end(kModelId), reply.begin() + 1);
  if (ours) {
    radioIsThisModel = true;
    checks.push_back({DoctorVerdict::Pass, Named(kRadio, language),
                      TextOf(kTxtThisModel, language, {Printable(reply.subspan(1, 5))})});
  } else {
    checks.push_back({DoctorVerdict::Fail, Named(kRadio, language),
                      TextOf(kTxtOtherModel, language,
                             {"\"" + Printable(reply.subspan(1, 5)) + "\"", Hex(Bytes(reply.begin(), reply.end()))})});
  }
  return checks;
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
      checks.push_back({DoctorVerdict::Fail, Named(kOpen, language),
                        TextOf(S_ISREG(st.st_mode) ? kTxtRegularFile : kTxtNotDevice, language, {device})});
      close(fd);
      fd = -1;
    } else if (!isatty(fd) || !Configure(fd)) {
      checks.push_back({DoctorVerdict::Fail, Named(kOpen, language),
                        TextOf(kTxtNotSerial, language, {device, std::strerror(errno)})});
      close(fd);
      fd = -1;
    } else {
      std::string text = TextOf(kTxtOpens, language, {device});
      const auto holders = DeviceHolders(device);
      DoctorVerdict verdict = DoctorVerdict::Pass;
      if (!holders.empty()) {
        verdict = DoctorVerdict::Warn;
        text = TextOf(kTxtAlsoOpen, language, {text, Joined(holders, language)});
      }
      checks.push_back({verdict, Named(kOpen, language), text});
    }
  }
  if (fd >= 0) {
    AdapterChecks(device, fd, language, checks);
    const DoctorExchange exchange = Exchange(fd, options, trace);
    close(fd);
    for (auto& check : ExchangeVerdicts(exchange, report.radioIsThisModel, language))
      checks.push_back(std::move(check));
  }
  const auto failed =
      std::find_if(checks.begin(), checks.end(), [](const DoctorCheck& c) { return c.verdict == DoctorVerdict::Fail; });
  if (report.radioIsThisModel)
    report.summary = TextOf(kTxtWorks, language, {device});
  else if (failed != checks.end())
    report.summary = TextOf(kTxtFirstProblem, language, {device, failed->name, failed->text});
  else
    report.summary = TextOf(kTxtNoRadio, language, {device});
  if (trace) trace->Note(report.summary);
  return report;
}

std::string DoctorLine(const DoctorCheck& check, int language) {
  const char* mark = check.verdict == DoctorVerdict::Pass   ? "[ ok ] "
                     : check.verdict == DoctorVerdict::Note ? "[note] "
                     : check.verdict == DoctorVerdict::Warn ? "[warn] "
                                                            : "[FAIL] ";
  return mark + TextOf(kTxtPlace, language, {check.name, check.text});
}

}  // namespace orvex
