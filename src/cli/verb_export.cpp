#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonValue>

#include "cli/codeplug_args.h"
#include "cli/verb.h"
#include "model/channel_csv.h"
#include "model/codeplug_document.h"

namespace orvex::cli {
namespace {

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

std::string ExportJson(const Image& image) {
  const QByteArray json = QJsonDocument(ToJson(ExportDocument(image)).toObject()).toJson(QJsonDocument::Indented);
  return json.toStdString();
}

int runExport(const Args& args) {
  const std::string format = args.value("--format").value_or("");
  if (format != "csv" && format != "json") {
    PrintError("export needs --format csv or --format json");
    return kExitUsage;
  }
  const auto image = LoadCodeplugOrReport(args.positional[0]);
  if (!image) return kExitFailure;
  const std::string text = format == "json" ? ExportJson(*image) : ExportChannelsCsv(*image);
  return WriteTextOrReport(args.value("-o").value_or(""), text) ? kExitOk : kExitFailure;
}

const VerbRegistration kExport({"export",
                                "export FILE --format csv|json [-o OUT]",
                                "writes the programmed channels as a channel CSV (or the codeplug as JSON) to OUT or "
                                "stdout",
                                {{"--format", true, "csv or json"}, {"-o", true, "output file (default: stdout)"}},
                                1,
                                1,
                                runExport});

}  // namespace
}  // namespace orvex::cli
