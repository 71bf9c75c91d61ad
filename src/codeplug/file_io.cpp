#include "codeplug/file_io.h"

#include <QFile>
#include <QSaveFile>
#include <QString>

namespace orvex {

Result<Bytes> ReadWholeFile(const std::string& path) {
  QFile file(QString::fromStdString(path));
  if (!file.open(QIODevice::ReadOnly)) return Fail(file.errorString().toStdString());
  const QByteArray data = file.readAll();
  if (file.error() != QFileDevice::NoError) return Fail(file.errorString().toStdString());
  return Bytes(data.begin(), data.end());
}

Status WriteWholeFile(const std::string& path, const Bytes& bytes) {
  // Unbuffered, and every write checked: QSaveFile::commit() ignores a failed
  // flush of buffered data and would rename a truncated file over the old one
  // when the disk fills up.  A short write is retried so the second attempt
  // reports the system's reason ("No space left on device").
  QSaveFile file(QString::fromStdString(path));
  if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) return Fail(file.errorString().toStdString());
  const char* data = reinterpret_cast<const char*>(bytes.data());
  qint64 left = static_cast<qint64>(bytes.size());
  while (left > 0) {
    const qint64 written = file.write(data, left);
    if (written <= 0) {
      const std::string reason = file.errorString().toStdString();
      file.cancelWriting();
      return Fail(reason);
    }
    data += written;
    left -= written;
  }
  if (!file.commit()) return Fail(file.errorString().toStdString());
  return Ok{};
}

Status WriteCodeplugFile(const std::string& path, const Image& image) {
  return WriteWholeFile(path, PackCodeplug(image));
}

Result<ParsedCodeplug> ReadCodeplugFile(const std::string& path) {
  auto bytes = ReadWholeFile(path);
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
