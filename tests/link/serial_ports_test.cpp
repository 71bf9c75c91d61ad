#include "link/serial_ports.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include "link/sim_process.h"

namespace orvex {
namespace {

TEST(PortSlots, TenSlotsWithDevicesFirst) {
  const auto list = PortSlots();
  ASSERT_EQ(list.size(), 10u);
  bool gap = false;
  for (std::size_t i = 0; i < list.size(); ++i) {
    EXPECT_EQ(list[i].slot, static_cast<int>(i) + 1);
    if (list[i].device.isEmpty()) gap = true;
#ifndef Q_OS_WIN
    else
      EXPECT_FALSE(gap) << "slot " << list[i].slot << " follows an empty slot";
#endif
  }
}

TEST(ResolvePort, SlotNumbersAndComNamesMeanTheSameSlot) {
  const auto list = PortSlots();
  for (const auto& slot : list) {
    EXPECT_EQ(ResolvePort(QString::number(slot.slot)), slot.device);
    EXPECT_EQ(ResolvePort(QStringLiteral("COM%1").arg(slot.slot)), slot.device);
    EXPECT_EQ(ResolvePort(QStringLiteral(" com%1 ").arg(slot.slot)), slot.device);
  }
}

TEST(ResolvePort, DevicePathsAreKeptAndMadeAbsolute) {
  EXPECT_EQ(ResolvePort("/dev/ttyUSB3"), "/dev/ttyUSB3");
  EXPECT_EQ(ResolvePort("./radio-link"), QDir::current().absoluteFilePath("radio-link"));
  EXPECT_EQ(ResolvePort("sub/radio-link"), QDir::current().absoluteFilePath("sub/radio-link"));
  // A bare name is a file here only when /dev has nothing of that name.
  QTemporaryDir here;
  const QString before = QDir::currentPath();
  ASSERT_TRUE(QDir::setCurrent(here.path()));
  QFile(QStringLiteral("radio-link.txt")).open(QIODevice::WriteOnly);
  EXPECT_EQ(ResolvePort("radio-link.txt"), here.filePath("radio-link.txt"));
  EXPECT_EQ(ResolvePort("ttyUSB9"), "ttyUSB9");
  QDir::setCurrent(before);
#ifndef Q_OS_WIN
  EXPECT_TRUE(ResolvePort("0").isEmpty());
  EXPECT_TRUE(ResolvePort("COM11").isEmpty());
#endif
}

TEST(ProbePort, MissingPortsFail) {
  EXPECT_FALSE(ProbePort(QString()));
  EXPECT_FALSE(ProbePort("/nonexistent/ttyORVEX"));
}

TEST(ProbePort, ThePortTestReachesTheLineAndTheRadioIgnoresIt) {
  if (!QFileInfo::exists(test::SimProgram())) GTEST_SKIP() << "orvex-sim is not built";
  test::Scratch scratch;
  const QString log = scratch.path("sim.log");
  test::SimProcess sim({"--fast", "--log", log});
  ASSERT_FALSE(sim.device().isEmpty());
  EXPECT_TRUE(ProbePort(sim.device()));
  test::Spin(std::chrono::milliseconds(500), [&] {
    QFile file(log);
    return file.open(QIODevice::ReadOnly) && file.readAll().contains("ignored 41 54 49 31 0D");
  });
  QFile file(log);
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  const QByteArray text = file.readAll();
  EXPECT_TRUE(text.contains("ignored 41 54 49 31 0D")) << text.toStdString();
  EXPECT_FALSE(text.contains(" tx ")) << "the radio does not answer the port test";
}

}  // namespace
}  // namespace orvex
