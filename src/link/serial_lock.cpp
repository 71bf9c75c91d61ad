#include "link/serial_lock.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringList>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#endif

namespace orvex {

namespace {

#ifdef Q_OS_UNIX

// Whether the lock file is a leftover: nobody holds its flock() (QLockFile
// holds one for as long as it owns the lock) and it is empty or names a
// process that has ended.
bool IsStaleLock(const QString& path) {
  const QByteArray name = QFile::encodeName(path);
  const int fd = open(name.constData(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
  if (fd < 0) return false;
  bool stale = false;
  if (flock(fd, LOCK_EX | LOCK_NB) == 0) {
    char text[64] = {};
    const ssize_t got = read(fd, text, sizeof text - 1);
    if (got == 0) {
      stale = true;
    } else if (got > 0) {
      const long pid = std::strtol(text, nullptr, 10);
      stale = pid > 0 && kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH;
    }
    flock(fd, LOCK_UN);
  }
  close(fd);
  return stale;
}

#endif

}  // namespace

QString SerialLockPath(const QString& device) {
  // The folders and the naming QSerialPort uses on Unix.
  static const QStringList kFolders = {
      QStringLiteral("/var/lock"),         QStringLiteral("/etc/locks"), QStringLiteral("/var/spool/locks"),
      QStringLiteral("/var/spool/uucp"),   QStringLiteral("/tmp"),       QStringLiteral("/var/tmp"),
      QStringLiteral("/var/lock/lockdev"), QStringLiteral("/run/lock")};
  QString name = device.startsWith(QLatin1String("/dev/")) ? device.mid(5) : device;
  name.replace(QLatin1Char('/'), QLatin1Char('_'));
  name.prepend(QLatin1String("/LCK.."));
  for (const QString& folder : kFolders) {
    const QFileInfo info(folder);
    if (info.isReadable() && (QFile::exists(folder + name) || info.isWritable())) return folder + name;
  }
  return {};
}

void ClearStaleSerialLock(const QString& device) {
#ifdef Q_OS_UNIX
  const QString lock = SerialLockPath(device);
  if (lock.isEmpty()) return;
  const QFileInfo info(lock);
  // The ".rmlock" files Qt makes while it removes a stale lock, nested when
  // that was interrupted as well.
  const QStringList leftovers =
      QDir(info.path()).entryList({info.fileName() + QStringLiteral(".rmlock*")}, QDir::Files | QDir::System);
  for (const QString& name : leftovers) {
    const QString path = info.path() + QLatin1Char('/') + name;
    if (IsStaleLock(path)) QFile::remove(path);
  }
  if (IsStaleLock(lock)) QFile::remove(lock);
#else
  Q_UNUSED(device);
#endif
}

}  // namespace orvex
