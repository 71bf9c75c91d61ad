#include "app/codeplug_session.h"

#include <filesystem>

#include "core/strings.h"
#include "link/clone_protocol.h"
#include "model/channels/step_names.h"

namespace orvex {

namespace {

constexpr int kRadioOnPort = 1894;  // "%1 on %2"
constexpr int kCsvImportStep = 1649, kJsonImportStep = 1900;

}  // namespace

CodeplugSession::CodeplugSession() : m_proposedPath(kDefaultFileName) { InitMemory(m_memory); }

std::string CodeplugSession::DocumentName(int language) const {
  if (!m_path.empty()) return std::filesystem::path(m_path).filename().string();
  if (!m_readPort.empty()) return TextOf(kRadioOnPort, language, {RadioModelName(), m_readPort});
  return std::string(kDefaultFileName);
}

bool CodeplugSession::ConfirmReplace() {
  if (!IsModified()) return true;
  switch (m_face.askSave ? m_face.askSave() : SaveAnswer::Cancel) {
    case SaveAnswer::Save:
      return Save();
    case SaveAnswer::Discard:
      return true;
    case SaveAnswer::Cancel:
      break;
  }
  return false;
}

bool CodeplugSession::New() {
  if (!m_face.confirmNew || !m_face.confirmNew()) return false;
  InitMemory(m_memory);
  if (!m_path.empty())
    m_proposedPath = (std::filesystem::path(m_path).parent_path() / std::string(kDefaultFileName)).string();
  m_path.clear();
  Tell(SessionChange::Replaced);
  NewBaseline(true);
  return true;
}

ParsedCodeplug CodeplugSession::Open(const std::string& path, std::span<const std::uint8_t> fileBytes) {
  ParsedCodeplug parsed = ParseCodeplug(fileBytes);
  if (parsed.check != CodeplugCheck::Ok) return parsed;
  m_memory.image() = parsed.image;
  m_path = path;
  m_proposedPath = path;
  m_readPort.clear();
  Tell(SessionChange::Replaced);
  NewBaseline(true);
  return parsed;
}

bool CodeplugSession::Save() { return m_path.empty() ? SaveAs() : SaveTo(m_path); }

bool CodeplugSession::SaveAs() {
  const std::string path = m_face.chooseSavePath ? m_face.chooseSavePath(m_proposedPath) : std::string();
  return !path.empty() && SaveTo(path);
}

bool CodeplugSession::SaveTo(const std::string& path) {
  m_proposedPath = path;
  if (!m_face.write || !m_face.write(path, PackCodeplug(m_memory.image()))) return false;
  m_path = path;
  NewBaseline(false);
  return true;
}

bool CodeplugSession::Edit(const StepName& name, const std::function<void(Image&)>& edit, int mergeKey) {
  const bool changed = m_history.Change(m_memory.image(), name, edit, mergeKey);
  Tell(SessionChange::Edited);
  return changed;
}

CsvImportReport CodeplugSession::ImportChannels(const std::vector<CsvChannelRow>& rows, int language) {
  Image image = m_memory.image();
  CsvImportReport report = ApplyChannelsCsv(image, rows, false, language);
  Edit(TextStep(kCsvImportStep), [&](Image& target) { target = image; });
  return report;
}

void CodeplugSession::ImportCodeplug(const Image& imported) {
  Edit(TextStep(kJsonImportStep), [&](Image& target) { target = imported; });
}

bool CodeplugSession::Undo() {
  if (!m_history.Undo(m_memory.image())) return false;
  Tell(SessionChange::Edited);
  return true;
}

bool CodeplugSession::Redo() {
  if (!m_history.Redo(m_memory.image())) return false;
  Tell(SessionChange::Edited);
  return true;
}

void CodeplugSession::ReadReplaced(const std::string& port) {
  m_path.clear();
  NewBaseline(true);
  m_readPort = port;
  Tell(SessionChange::Baseline);
}

void CodeplugSession::NewBaseline(bool freshHistory) {
  m_readPort.clear();
  m_memory.SaveSnapshot();
  if (freshHistory)
    m_history.Clear();
  else
    m_history.Seal();  // a change after the save is a step of its own
  Tell(SessionChange::Baseline);
}

void CodeplugSession::Tell(SessionChange change) const {
  if (m_listener) m_listener(change);
}

}  // namespace orvex
