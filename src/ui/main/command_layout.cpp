#include "ui/main/command_layout.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace orvex {

const BandLayout* CommandLayout::band(const QString& key) const {
  for (const BandLayout& b : bands) {
    if (b.key == key) return &b;
  }
  return nullptr;
}

const ToolLayout* CommandLayout::tool(const QString& key) const {
  const auto it = tools.find(key);
  return it == tools.end() ? nullptr : &it->second;
}

QString CommandLayoutPath(int language) {
  return language == 1 ? QStringLiteral(":/ui/orvexc_layout.json") : QStringLiteral(":/ui/orvexe_layout.json");
}

std::optional<CommandLayout> LoadCommandLayout(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return std::nullopt;
  const QJsonDocument document = QJsonDocument::fromJson(file.readAll());
  if (!document.isObject()) return std::nullopt;
  const QJsonObject root = document.object();
  if (!root.value("bands").isArray() || !root.value("tools").isObject()) return std::nullopt;

  CommandLayout layout;
  for (const QJsonValue& value : root.value("bands").toArray()) {
    const QJsonObject object = value.toObject();
    BandLayout band{
        object.value("key").toString(), object.value("kind").toString(), object.value("caption").toString(), {}};
    for (const QJsonValue& tool : object.value("tools").toArray()) band.tools << tool.toString();
    if (!band.key.isEmpty()) layout.bands.push_back(band);
  }
  const QJsonObject tools = root.value("tools").toObject();
  for (auto it = tools.begin(); it != tools.end(); ++it) {
    const QJsonObject object = it.value().toObject();
    layout.tools[it.key()] = ToolLayout{object.value("caption").toString(), object.value("toolbarCaption").toString(),
                                        object.value("icon").toString(), object.value("shortcut").toString(),
                                        object.value("checkable").toBool()};
  }
  return layout;
}

}  // namespace orvex
