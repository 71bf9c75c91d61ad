#pragma once

#include <QString>
#include <QStringList>
#include <map>
#include <optional>
#include <vector>

namespace orvex {

// The menus and toolbar of one language, addressed by band and tool keys.
// Loaded from a layout resource (orvexe_layout.json for English,
// orvexc_layout.json for Chinese); "-" in a band's tools is a separator.
struct ToolLayout {
  QString caption;         // menu text with its "&" access key
  QString toolbarCaption;  // text under the toolbar icon; the caption when empty
  QString icon;            // "new", "open", "save", "print", "read", "write", "about"
  QString shortcut;        // "Ctrl+N"
  bool checkable = false;
};

struct BandLayout {
  QString key;
  QString kind;  // "menu", "toolbar", "dock", "status"
  QString caption;
  QStringList tools;
};

struct CommandLayout {
  std::vector<BandLayout> bands;
  std::map<QString, ToolLayout> tools;

  [[nodiscard]] const BandLayout* band(const QString& key) const;
  [[nodiscard]] const ToolLayout* tool(const QString& key) const;
};

// The resource path of a language's layout.
QString CommandLayoutPath(int language);

// Parses a layout; nullopt when the file is missing or not a layout.
std::optional<CommandLayout> LoadCommandLayout(const QString& path);

}  // namespace orvex
