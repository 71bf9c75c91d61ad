#include "model/document/json_document.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonParseError>
#include <QJsonValue>
#include <algorithm>

namespace orvex {

namespace {

DocNode FromJson(const QJsonValue& value) {
  switch (value.type()) {
    case QJsonValue::Bool:
      return DocNode{value.toBool()};
    case QJsonValue::Double:
      return DocNode{value.toDouble()};
    case QJsonValue::String:
      return DocNode{value.toString().toStdString()};
    case QJsonValue::Array: {
      DocItems items;
      for (const auto& child : value.toArray()) items.push_back(FromJson(child));
      return DocNode{std::move(items)};
    }
    case QJsonValue::Object: {
      DocMembers members;
      const QJsonObject object = value.toObject();
      for (auto it = object.begin(); it != object.end(); ++it)
        members.emplace_back(it.key().toStdString(), FromJson(it.value()));
      return DocNode{std::move(members)};
    }
    default:
      return DocNode{};
  }
}

QJsonValue ToJson(const DocNode& node) {
  if (const auto* text = node.text()) return QString::fromStdString(*text);
  if (const auto* number = node.number()) return *number;
  if (const auto* flag = std::get_if<bool>(&node.value)) return *flag;
  if (const auto* members = node.members()) {
    QJsonObject object;
    for (const auto& [key, child] : *members) object.insert(QString::fromStdString(key), ToJson(child));
    return object;
  }
  if (const auto* items = node.items()) {
    QJsonArray array;
    for (const auto& child : *items) array.append(ToJson(child));
    return array;
  }
  return QJsonValue::Null;
}

}  // namespace

Result<DocNode> ParseJsonDocument(std::string_view text) {
  const QByteArray json = QByteArray::fromRawData(text.data(), static_cast<qsizetype>(text.size()));
  QJsonParseError error{};
  const QJsonDocument document = QJsonDocument::fromJson(json, &error);
  if (error.error != QJsonParseError::NoError) {
    const qsizetype offset = std::clamp<qsizetype>(error.offset, 0, json.size());
    const qsizetype line = json.left(offset).count('\n') + 1;
    const qsizetype column = offset - (json.lastIndexOf('\n', offset - 1) + 1) + 1;
    return Fail(std::to_string(line) + ":" + std::to_string(column) + ": " + error.errorString().toStdString());
  }
  return document.isObject() ? FromJson(document.object()) : FromJson(document.array());
}

std::string JsonDocumentText(const DocNode& document) {
  return QJsonDocument(ToJson(document).toObject()).toJson(QJsonDocument::Indented).toStdString();
}

Result<Image> ImportJsonCodeplug(const Image& base, std::string_view json, const std::string& file, int language) {
  const auto root = ParseJsonDocument(json);
  if (!root) return Fail(file + ":" + root.error());
  auto imported = ImportDocument(base, *root, language);
  if (imported) return imported;
  std::string lines;
  std::string_view errors = imported.error();
  while (!errors.empty()) {
    const auto end = errors.find('\n');
    lines += (lines.empty() ? "" : "\n") + file + ": " + std::string(errors.substr(0, end));
    errors = end == std::string_view::npos ? std::string_view() : errors.substr(end + 1);
  }
  return Fail(lines);
}

}  // namespace orvex
