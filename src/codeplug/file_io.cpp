#include "codeplug/file_io.h"

#include <QFile>
#include <cerrno>
#include <charconv>
#include <cstring>
#include <filesystem>

#ifdef _WIN32
#include <QFileInfo>
#include <QSaveFile>
#else
#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace orvex {

namespace {

constexpr std::size_t kKiB = 1024;
constexpr std::size_t kReadChunk = 64 * kKiB;

std::string SystemText(int error) { return std::strerror(error); }

std::string TooLarge(const InputLimit& limit) {
  return "the file is too large (" + std::string(limit.what) + " is at most " + std::to_string(limit.bytes / kKiB) +
         " KiB)";
}

#ifndef _WIN32

// Temporary files are named "<file>.<pid>.orvex-tmp", so a later save can
// tell its own leftovers from anything else and whether their writer died.
constexpr std::string_view kTempSuffix = ".orvex-tmp";

std::string TempName(const std::string& target) {
  return target + "." + std::to_string(getpid()) + std::string(kTempSuffix);
}

bool ProcessAlive(pid_t pid) { return pid > 0 && (kill(pid, 0) == 0 || errno == EPERM); }

// Removes "<file>.<pid>.orvex-tmp" entries whose writer no longer runs.
void RemoveStaleTemporaries(const std::string& target) {
  const std::filesystem::path path(target);
  const std::string dir = path.has_parent_path() ? path.parent_path().string() : std::string(".");
  const std::string prefix = path.filename().string() + ".";
  DIR* folder = opendir(dir.c_str());
  if (!folder) return;
  while (const dirent* entry = readdir(folder)) {
    const std::string_view name = entry->d_name;
    if (name.size() <= prefix.size() + kTempSuffix.size() || !name.starts_with(prefix) || !name.ends_with(kTempSuffix))
      continue;
    const std::string_view digits = name.substr(prefix.size(), name.size() - prefix.size() - kTempSuffix.size());
    pid_t pid = 0;
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), pid);
    if (error != std::errc{} || end != digits.data() + digits.size()) continue;
    if (pid == getpid() || !ProcessAlive(pid)) (void)unlinkat(dirfd(folder), std::string(name).c_str(), 0);
  }
  closedir(folder);
}

struct Destination {
  std::string target;  // the file actually replaced (a link's target)
  bool exists = false;
  mode_t mode = 0;
};

Result<Destination> ResolveDestination(const std::string& path) {
  if (path.empty()) return Fail(SystemText(ENOENT));
  struct stat st {};
  if (stat(path.c_str(), &st) != 0) {
    if (errno != ENOENT) return Fail(SystemText(errno));
    return Destination{path, false, 0};
  }
  if (S_ISDIR(st.st_mode)) return Fail(SystemText(EISDIR));
  if (!S_ISREG(st.st_mode))
    return Fail("not a regular file (a device, FIFO or socket); it is left as it is and nothing was written");
  std::error_code error;
  const auto real = std::filesystem::canonical(path, error);
  if (error) return Fail(error.message());
  return Destination{real.string(), true, st.st_mode & 07777};
}

Status WriteAll(int fd, const Bytes& bytes) {
  const std::uint8_t* data = bytes.data();
  std::size_t left = bytes.size();
  while (left > 0) {
    const ssize_t written = write(fd, data, left);
    if (written < 0 && errno == EINTR) continue;
    // A short write is retried so the second attempt reports the system's
    // reason ("No space left on device").
    if (written < 0) return Fail(SystemText(errno));
    if (written == 0) return Fail(SystemText(ENOSPC));
    data += written;
    left -= static_cast<std::size_t>(written);
  }
  return Ok{};
}

// Writes and flushes; keeps the replaced file's permissions.
Status FillTemporary(int fd, const Bytes& bytes, const Destination& destination) {
  if (auto written = WriteAll(fd, bytes); !written) return written;
  if (destination.exists && fchmod(fd, destination.mode) != 0) return Fail(SystemText(errno));
  if (fsync(fd) != 0) return Fail(SystemText(errno));
  return Ok{};
}

// One attempt at replacing the file.  An unnamed file is one a kill cannot
// leave behind: it gets its name only for the instant between linking and
// renaming.  Without unnamed files (or /proc to link one) a named temporary
// file is written instead.
Status ReplaceFile(const Destination& destination, const Bytes& bytes, bool unnamed) {
  const std::filesystem::path target(destination.target);
  const std::string dir = target.has_parent_path() ? target.parent_path().string() : std::string(".");
  const std::string temp = TempName(destination.target);
  int fd = -1;
#ifdef O_TMPFILE
  if (unnamed) fd = open(dir.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666);
#endif
  if (fd < 0 && unnamed) return ReplaceFile(destination, bytes, false);
  if (fd < 0) fd = open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
  if (fd < 0) return Fail(SystemText(errno));
  Status status = FillTemporary(fd, bytes, destination);
  bool linkFailed = false;
  if (status && unnamed) {
    const std::string self = "/proc/self/fd/" + std::to_string(fd);
    linkFailed = linkat(AT_FDCWD, self.c_str(), AT_FDCWD, temp.c_str(), AT_SYMLINK_FOLLOW) != 0;
  }
  if (close(fd) != 0 && status) status = Fail(SystemText(errno));
  if (linkFailed && status) return ReplaceFile(destination, bytes, false);
  if (status && rename(temp.c_str(), destination.target.c_str()) != 0) status = Fail(SystemText(errno));
  if (!status) (void)unlink(temp.c_str());
  return status;
}

#endif

}  // namespace

std::string LocalPath(const QString& path) { return QFile::encodeName(path).toStdString(); }

QString DisplayPath(const std::string& path) { return QFile::decodeName(QByteArray::fromStdString(path)); }

InputLimit LimitOf(InputKind kind) {
  switch (kind) {
    case InputKind::Codeplug:
      return {64 * kKiB, "a codeplug file"};
    case InputKind::Document:
      return {4 * kKiB * kKiB, "a channel CSV or JSON codeplug"};
    case InputKind::AnyFile:
      break;
  }
  return {kMaxUnpackedSize, "a file to pack or unpack"};
}

Result<Bytes> ReadInputFile(const std::string& path, InputKind kind) {
  const InputLimit limit = LimitOf(kind);
  Bytes bytes;
#ifdef _WIN32
  QFile file(DisplayPath(path));
  if (!file.open(QIODevice::ReadOnly)) return Fail(file.errorString().toStdString());
  for (;;) {
    const QByteArray chunk = file.read(static_cast<qint64>(kReadChunk));
    if (file.error() != QFileDevice::NoError) return Fail(file.errorString().toStdString());
    if (chunk.isEmpty()) break;
    if (bytes.size() + static_cast<std::size_t>(chunk.size()) > limit.bytes) return Fail(TooLarge(limit));
    bytes.insert(bytes.end(), chunk.begin(), chunk.end());
  }
#else
  const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return Fail(SystemText(errno));
  std::size_t size = 0;
  for (;;) {
    bytes.resize(size + kReadChunk);
    const ssize_t got = read(fd, bytes.data() + size, kReadChunk);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) {
      const int error = errno;
      close(fd);
      return Fail(SystemText(error));
    }
    if (got == 0) break;
    size += static_cast<std::size_t>(got);
    if (size > limit.bytes) {
      close(fd);
      return Fail(TooLarge(limit));
    }
  }
  close(fd);
  bytes.resize(size);
  bytes.shrink_to_fit();
#endif
  return bytes;
}

Status CheckDestination(const std::string& path) {
#ifdef _WIN32
  const QFileInfo info(DisplayPath(path));
  if (info.exists() && !info.isFile()) return Fail("not a regular file; nothing was written");
  return Ok{};
#else
  auto destination = ResolveDestination(path);
  if (!destination) return Fail(destination.error());
  return Ok{};
#endif
}

Status WriteWholeFile(const std::string& path, const Bytes& bytes) {
#ifdef _WIN32
  if (auto checked = CheckDestination(path); !checked) return checked;
  QSaveFile file(DisplayPath(path));
  if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) return Fail(file.errorString().toStdString());
  if (file.write(reinterpret_cast<const char*>(bytes.data()), qint64(bytes.size())) != qint64(bytes.size())) {
    const std::string reason = file.errorString().toStdString();
    file.cancelWriting();
    return Fail(reason);
  }
  if (!file.commit()) return Fail(file.errorString().toStdString());
  return Ok{};
#else
  auto destination = ResolveDestination(path);
  if (!destination) return Fail(destination.error());
  RemoveStaleTemporaries(destination->target);
  return ReplaceFile(*destination, bytes, true);
#endif
}

Status WriteCodeplugFile(const std::string& path, const Image& image) {
  return WriteWholeFile(path, PackCodeplug(image));
}

Result<ParsedCodeplug> ReadCodeplugFile(const std::string& path) {
  auto bytes = ReadInputFile(path, InputKind::Codeplug);
  if (!bytes) return Fail(bytes.error());
  return ParseCodeplug(*bytes);
}

bool LoadParsedCodeplug(RadioMemory& memory, const ParsedCodeplug& parsed) {
  if (parsed.check != CodeplugCheck::Ok) return false;
  memory.image() = parsed.image;
  memory.SaveSnapshot();
  return true;
}

}  // namespace orvex
