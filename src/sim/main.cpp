// orvex-sim: a virtual radio on a pseudo-terminal.  It prints the device
// path on its first line and then answers the clone protocol as the radio
// does, paced at the wire speed of 9600 baud unless told otherwise.
#include <fcntl.h>
#include <poll.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <iostream>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "codeplug/file_io.h"
#include "sim/sim_radio.h"

namespace {

using orvex::SimFaults;
using orvex::SimFrame;
using orvex::SimRadio;

// One byte on the wire at 9600 baud, 8N1: a start bit, 8 data bits, a stop bit.
constexpr long kByteNanos = 10L * 1'000'000'000L / 9600;
constexpr long kSpinNanos = 300'000;

volatile std::sig_atomic_t g_stop = 0;
void OnSignal(int) { g_stop = 1; }

struct Options {
  std::string link, image, save, log;
  SimFaults faults;
  bool fast = false;
  bool echo = false;
  long noise = 0;
  long delayMs = 0;
};

constexpr std::string_view kUsage =
    "usage: orvex-sim [--link PATH] [--image FILE.tw] [--save FILE.tw] [--log FILE] [--fast]\n"
    "                 [--ident TEXT] [--silent-after N] [--drop-every N] [--noise N] [--echo]\n"
    "                 [--bad-ack] [--hangup-after N] [--delay MS] [--no-radio] [--store-wrong ROW]\n"
    "       orvex-sim --count N --link PREFIX [OPTIONS] [--radio K OPTIONS]...\n"
    "Plays the radio on a pseudo-terminal; prints its device path on the first line.\n"
    "With --count, N independent radios on PREFIX1..PREFIXN, one device path per line;\n"
    "options after --radio K apply to radio K only, and --save and --log files get the\n"
    "radio's number before their extension unless given after --radio.\n"
    "The log has one line per frame: seconds since start, rx (stamped at its first byte) or\n"
    "tx (stamped at its last byte), the bytes in hex.\n"
    "--no-radio: the line is there but nothing answers (with --echo: an echoing cable alone).\n"
    "--store-wrong ROW: the first Write stores that row with its lowest bit flipped.\n";

std::optional<Options> ParseOptions(int argc, char** argv) {
  Options options;
  for (int i = 1; i < argc; ++i) {
    const std::string_view arg = argv[i];
    auto text = [&]() -> std::optional<std::string> {
      if (i + 1 >= argc) return std::nullopt;
      return std::string(argv[++i]);
    };
    auto number = [&](long& out) {
      const auto value = text();
      if (!value) return false;
      char* end = nullptr;
      out = std::strtol(value->c_str(), &end, 10);
      return !value->empty() && *end == '\0' && out >= 0;
    };
    std::string* textOption = arg == "--link"    ? &options.link
                              : arg == "--image" ? &options.image
                              : arg == "--save"  ? &options.save
                              : arg == "--log"   ? &options.log
                              : arg == "--ident" ? &options.faults.ident
                                                 : nullptr;
    bool ok = true;
    if (textOption) {
      const auto value = text();
      ok = value.has_value();
      if (ok) *textOption = *value;
    } else if (arg == "--silent-after")
      ok = number(options.faults.silentAfter);
    else if (arg == "--drop-every")
      ok = number(options.faults.dropEvery);
    else if (arg == "--hangup-after")
      ok = number(options.faults.hangupAfter);
    else if (arg == "--store-wrong")
      ok = number(options.faults.storeWrongRow);
    else if (arg == "--noise")
      ok = number(options.noise);
    else if (arg == "--delay")
      ok = number(options.delayMs);
    else if (arg == "--fast")
      options.fast = true;
    else if (arg == "--echo")
      options.echo = true;
    else if (arg == "--bad-ack")
      options.faults.badAck = true;
    else if (arg == "--no-radio")
      options.faults.noRadio = true;
    else if (arg == "--help" || arg == "-h") {
      std::cout << kUsage;
      std::exit(0);
    } else
      ok = false;
    if (!ok) {
      std::cerr << "orvex-sim: bad or incomplete option " << arg << "\n" << kUsage;
      return std::nullopt;
    }
  }
  return options;
}

timespec Now() {
  timespec t{};
  clock_gettime(CLOCK_MONOTONIC, &t);
  return t;
}
long long Nanos(const timespec& t) { return t.tv_sec * 1'000'000'000LL + t.tv_nsec; }
timespec FromNanos(long long n) {
  return timespec{static_cast<time_t>(n / 1'000'000'000LL), static_cast<long>(n % 1'000'000'000LL)};
}

void SleepUntil(long long deadline) {
  const timespec t = FromNanos(deadline);
  while (clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &t, nullptr) == EINTR && !g_stop) {
  }
}

bool WriteAll(int fd, const std::uint8_t* data, std::size_t size) {
  while (size > 0) {
    const ssize_t n = write(fd, data, size);
    if (n < 0) {
      if (errno == EINTR) continue;
      if (errno == EAGAIN) {
        pollfd p{fd, POLLOUT, 0};
        poll(&p, 1, 100);
        continue;
      }
      return false;
    }
    data += n;
    size -= static_cast<std::size_t>(n);
  }
  return true;
}

class Sim {
 public:
  Sim(const Options& options, const orvex::Image& image)
      : m_options(options), m_radio(image, options.faults), m_start(Nanos(Now())) {
    if (!options.log.empty()) m_log = std::fopen(options.log.c_str(), "w");
  }
  ~Sim() {
    if (m_log) std::fclose(m_log);
  }

  bool Open();
  int Run();
  const std::string& device() const { return m_device; }

 private:
  void Log(long long when, const char* what, const std::uint8_t* data, std::size_t size);
  bool Send(std::vector<std::uint8_t> reply, long long wireFree);
  void Answer(const SimFrame& frame, long long wireEnd);

  const Options& m_options;
  SimRadio m_radio;
  long long m_start;
  std::FILE* m_log = nullptr;
  int m_master = -1;
  int m_slave = -1;
  std::string m_device;
  bool m_noiseSent = false;
  bool m_hungUp = false;
};

bool Sim::Open() {
  m_master = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
  if (m_master < 0 || grantpt(m_master) != 0 || unlockpt(m_master) != 0) return false;
  const char* name = ptsname(m_master);
  if (!name) return false;
  m_device = name;
  // Holding the line open ourselves keeps it alive between clients (the
  // master would otherwise report a hang-up each time one closes it) and
  // raw, so nothing is echoed or translated before a client sets it up.
  m_slave = open(name, O_RDWR | O_NOCTTY | O_CLOEXEC);
  if (m_slave < 0) return false;
  termios tio{};
  if (tcgetattr(m_slave, &tio) == 0) {
    cfmakeraw(&tio);
    cfsetspeed(&tio, B9600);
    tcsetattr(m_slave, TCSANOW, &tio);
  }
  return true;
}

void Sim::Log(long long when, const char* what, const std::uint8_t* data, std::size_t size) {
  if (!m_log) return;
  std::fprintf(m_log, "%.6f %s", static_cast<double>(when - m_start) / 1e9, what);
  for (std::size_t i = 0; i < size; ++i) std::fprintf(m_log, " %02X", data[i]);
  std::fputc('\n', m_log);
  std::fflush(m_log);
}

// Sends bytes as the radio's transmitter would: each one 10 bit times after
// the one before, starting no earlier than `wireFree`.
bool Sim::Send(std::vector<std::uint8_t> reply, long long wireFree) {
  if (m_options.fast) {
    const bool ok = WriteAll(m_master, reply.data(), reply.size());
    Log(Nanos(Now()), "tx", reply.data(), reply.size());
    return ok;
  }
  long long when = std::max(wireFree, Nanos(Now()));
  for (std::size_t i = 0; i < reply.size(); ++i) {
    const std::uint8_t byte = reply[i];
    when += kByteNanos;
    // The last byte decides when the client may answer, so it leaves on
    // time: sleeping alone wakes a fraction of a millisecond late.
    if (i + 1 == reply.size()) {
      SleepUntil(when - kSpinNanos);
      while (Nanos(Now()) < when) {
      }
    } else {
      SleepUntil(when);
    }
    if (!WriteAll(m_master, &byte, 1)) return false;
  }
  Log(Nanos(Now()), "tx", reply.data(), reply.size());
  return true;
}

void Sim::Answer(const SimFrame& frame, long long wireEnd) {
  if (frame.reply.empty()) return;
  long long wireFree = wireEnd;
  if (m_options.delayMs > 0) {
    wireFree = std::max(wireFree, Nanos(Now())) + m_options.delayMs * 1'000'000LL;
    SleepUntil(wireFree);
  }
  if (!m_noiseSent && m_options.noise > 0) {
    // A radio still booting sends a few stray bytes.
    m_noiseSent = true;
    std::vector<std::uint8_t> noise;
    for (long i = 0; i < m_options.noise; ++i) noise.push_back(i % 2 ? 0x00 : 0xF0);
    Send(noise, wireFree);
    wireFree = Nanos(Now());
  }
  Send(frame.reply, wireFree);
  if (frame.writeCompleted && !m_options.save.empty()) {
    if (auto saved = orvex::WriteCodeplugFile(m_options.save, m_radio.memory()); !saved)
      std::cerr << "orvex-sim: " << m_options.save << ": " << saved.error() << "\n";
  }
}

int Sim::Run() {
  std::uint8_t buffer[512];
  long long rxClock = 0;      // when the receive wire has delivered everything read so far
  long long frameStart = -1;  // arrival of the first byte of the frame being received
  while (!g_stop && !m_hungUp) {
    pollfd p{m_master, POLLIN, 0};
    const int ready = poll(&p, 1, 200);
    if (ready < 0 && errno != EINTR) return 1;
    if (ready <= 0) continue;
    const ssize_t n = read(m_master, buffer, sizeof buffer);
    if (n < 0) {
      if (errno == EINTR || errno == EAGAIN) continue;
      // Cannot happen while we hold the line open; stop rather than spin.
      std::cerr << "orvex-sim: " << std::strerror(errno) << "\n";
      return 1;
    }
    const long long arrived = Nanos(Now());
    if (m_options.echo) {
      WriteAll(m_master, buffer, static_cast<std::size_t>(n));
      Log(arrived, "echo", buffer, static_cast<std::size_t>(n));
    }
    for (ssize_t i = 0; i < n && !m_hungUp; ++i) {
      if (frameStart < 0) frameStart = arrived;
      rxClock = std::max(rxClock, arrived) + kByteNanos;
      const auto frame = m_radio.Feed(buffer[i]);
      if (const auto stray = m_radio.TakeDiscarded(); !stray.empty()) {
        Log(arrived, "ignored", stray.data(), stray.size());
        frameStart = -1;
      }
      if (!frame) continue;
      Log(frameStart, "rx", frame->received.data(), frame->received.size());
      frameStart = -1;
      // The frame has reached the radio once its last bit is on the wire.
      Answer(*frame, m_options.fast ? 0 : rxClock);
      if (frame->hangUp) {
        // An unplugged cable: the line goes away under the client.
        Log(Nanos(Now()), "hangup", nullptr, 0);
        close(m_slave);
        close(m_master);
        m_slave = m_master = -1;
        m_hungUp = true;
      }
    }
  }
  return 0;
}

// One radio until it is stopped; its device path goes to `ready`.
int Serve(const Options& options, std::FILE* ready) {
  orvex::Image image = orvex::DefaultSimImage();
  if (!options.image.empty()) {
    auto parsed = orvex::ReadCodeplugFile(options.image);
    if (!parsed || parsed->check != orvex::CodeplugCheck::Ok) {
      std::cerr << "orvex-sim: " << options.image << ": "
                << (parsed ? "not a valid codeplug (" + parsed->detail + ")" : parsed.error()) << "\n";
      return 1;
    }
    image = parsed->image;
  }
  Sim sim(options, image);
  if (!sim.Open()) {
    std::cerr << "orvex-sim: cannot open a pseudo-terminal: " << std::strerror(errno) << "\n";
    return 1;
  }
  if (!options.link.empty()) {
    unlink(options.link.c_str());
    if (symlink(sim.device().c_str(), options.link.c_str()) != 0) {
      std::cerr << "orvex-sim: " << options.link << ": " << std::strerror(errno) << "\n";
      return 1;
    }
  }
  std::fprintf(ready, "%s\n", sim.device().c_str());
  std::fflush(ready);
  const int status = sim.Run();
  if (!options.link.empty()) unlink(options.link.c_str());
  return status;
}

// "radio.tw" for radio 3 is "radio3.tw".
std::string Numbered(const std::string& path, long number) {
  const auto slash = path.find_last_of('/');
  const auto dot = path.find_last_of('.');
  const auto at = dot != std::string::npos && (slash == std::string::npos || dot > slash) ? dot : path.size();
  return path.substr(0, at) + std::to_string(number) + path.substr(at);
}

std::optional<Options> ParseArguments(std::vector<std::string> arguments) {
  std::vector<char*> argv = {const_cast<char*>("orvex-sim")};
  for (auto& a : arguments) argv.push_back(a.data());
  return ParseOptions(static_cast<int>(argv.size()), argv.data());
}

// --count N: each radio in a process of its own, so each keeps the wire's
// pace however many there are.
int ServeMany(long count, const std::vector<std::string>& common,
              const std::map<long, std::vector<std::string>>& perRadio) {
  const auto shared = ParseArguments(common);
  if (!shared) return 2;
  if (shared->link.empty()) {
    std::cerr << "orvex-sim: --count needs --link PREFIX\n" << kUsage;
    return 2;
  }
  std::vector<Options> radios;
  for (long k = 1; k <= count; ++k) {
    auto arguments = common;
    const auto own = perRadio.find(k);
    if (own != perRadio.end()) arguments.insert(arguments.end(), own->second.begin(), own->second.end());
    auto options = ParseArguments(arguments);
    if (!options) return 2;
    options->link = shared->link + std::to_string(k);
    if (!options->save.empty() && options->save == shared->save) options->save = Numbered(options->save, k);
    if (!options->log.empty() && options->log == shared->log) options->log = Numbered(options->log, k);
    radios.push_back(*options);
  }
  for (const auto& [k, unused] : perRadio) {
    if (k < 1 || k > count) {
      std::cerr << "orvex-sim: --radio " << k << " is not one of 1.." << count << "\n";
      return 2;
    }
  }
  std::vector<pid_t> children;
  std::vector<std::FILE*> readies;
  for (const Options& options : radios) {
    int fds[2];
    if (pipe(fds) != 0) return 1;
    const pid_t child = fork();
    if (child < 0) return 1;
    if (child == 0) {
      prctl(PR_SET_PDEATHSIG, SIGTERM);  // never outlives the parent
      close(fds[0]);
      for (std::FILE* other : readies) std::fclose(other);
      std::FILE* ready = fdopen(fds[1], "w");
      std::_Exit(ready ? Serve(options, ready) : 1);
    }
    close(fds[1]);
    children.push_back(child);
    readies.push_back(fdopen(fds[0], "r"));
  }
  // The device paths in radio order, whichever radio is ready first.
  for (std::FILE* ready : readies) {
    char line[256] = {};
    if (ready && std::fgets(line, sizeof line, ready)) std::cout << line << std::flush;
    if (ready) std::fclose(ready);
  }
  std::size_t running = children.size();
  while (running > 0) {
    if (g_stop) {
      for (const pid_t child : children)
        if (child > 0) kill(child, SIGTERM);
    }
    int status = 0;
    const pid_t ended = waitpid(-1, &status, WNOHANG);
    if (ended < 0 && errno == ECHILD) break;
    if (ended <= 0) {
      usleep(50'000);
      continue;
    }
    for (pid_t& child : children)
      if (child == ended) child = -1;
    --running;
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  // --count and --radio sort the other options by radio before they are read.
  long count = 0;
  long radio = 0;
  std::vector<std::string> common;
  std::map<long, std::vector<std::string>> perRadio;
  for (int i = 1; i < argc; ++i) {
    const std::string_view arg = argv[i];
    if ((arg == "--count" || arg == "--radio") && i + 1 < argc) {
      char* end = nullptr;
      const long value = std::strtol(argv[++i], &end, 10);
      if (*end != '\0' || value < 1) {
        std::cerr << "orvex-sim: " << arg << " takes a number from 1\n" << kUsage;
        return 2;
      }
      (arg == "--count" ? count : radio) = value;
      if (arg == "--radio") perRadio[radio];
      continue;
    }
    (radio == 0 ? common : perRadio[radio]).push_back(argv[i]);
  }

  std::signal(SIGINT, OnSignal);
  std::signal(SIGTERM, OnSignal);
  std::signal(SIGHUP, OnSignal);
  std::signal(SIGPIPE, SIG_IGN);

  if (count > 0 || !perRadio.empty()) return ServeMany(std::max(count, 1L), common, perRadio);
  const auto options = ParseArguments(common);
  if (!options) return 2;
  return Serve(*options, stdout);
}
