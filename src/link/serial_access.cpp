#include "link/serial_access.h"

#include <grp.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "core/strings.h"

namespace orvex {

namespace fs = std::filesystem;

namespace {

// String-table numbers of the help texts.
constexpr int kMsgNotInGroup = 10340, kMsgGroupMayNot = 10341, kMsgLogInAgain = 10342, kMsgHeld = 10343,
              kMsgHeldBy = 10344;

bool InGroup(gid_t group) {
  if (getegid() == group) return true;
  std::vector<gid_t> groups(static_cast<std::size_t>(std::max(getgroups(0, nullptr), 0)));
  const int count = getgroups(static_cast<int>(groups.size()), groups.data());
  return std::find(groups.begin(), groups.begin() + std::max(count, 0), group) != groups.begin() + std::max(count, 0);
}

std::string RealPath(const std::string& path) {
  char resolved[PATH_MAX];
  return realpath(path.c_str(), resolved) ? std::string(resolved) : path;
}

}  // namespace

std::string SerialPermissionHelp(const std::string& device, int language) {
  struct stat st {};
  if (stat(device.c_str(), &st) != 0) return {};
  const group* owner = getgrgid(st.st_gid);
  const std::string name = owner ? owner->gr_name : std::to_string(st.st_gid);
  if (!InGroup(st.st_gid)) return TextOf(kMsgNotInGroup, language, {device, name});
  if ((st.st_mode & (S_IRGRP | S_IWGRP)) != (S_IRGRP | S_IWGRP))
    return TextOf(kMsgGroupMayNot, language, {device, name});
  return TextOf(kMsgLogInAgain, language, {name, device});
}

std::vector<std::string> DeviceHolders(const std::string& device) {
  std::vector<std::string> holders;
  const std::string target = RealPath(device);
  const std::string self = std::to_string(getpid());
  std::error_code error;
  for (fs::directory_iterator proc("/proc", error), end; !error && proc != end; proc.increment(error)) {
    const std::string pid = proc->path().filename().string();
    if (pid.empty() || !std::all_of(pid.begin(), pid.end(), ::isdigit) || pid == self) continue;
    std::error_code fdError;
    for (fs::directory_iterator fd(proc->path() / "fd", fdError), fdEnd; !fdError && fd != fdEnd;
         fd.increment(fdError)) {
      std::error_code linkError;
      if (fs::read_symlink(fd->path(), linkError).string() != target) continue;
      std::string name;
      std::ifstream(proc->path() / "comm") >> name;
      holders.push_back(pid + " (" + name + ")");
      break;
    }
  }
  return holders;
}

std::string OpenErrorHelp(int error, const std::string& device, int language) {
  if (error == EACCES || error == EPERM) return SerialPermissionHelp(device, language);
  if (error == EBUSY) {
    const auto holders = DeviceHolders(device);
    if (holders.empty()) return TextOf(kMsgHeld, language, {device});
    std::string list;
    for (const auto& h : holders) list += (list.empty() ? "" : ", ") + h;
    return TextOf(kMsgHeldBy, language, {device, list});
  }
  return {};
}

bool IsPermissionText(const std::string& text) {
  std::string lower = text;
  std::transform(lower.begin(), lower.end(), lower.begin(), [](unsigned char c) { return std::tolower(c); });
  return lower.find("permission") != std::string::npos || lower.find("access denied") != std::string::npos;
}

}  // namespace orvex
