#pragma once

// What a screen reader speaks for a grid cell.  Header-only, so every grid
// library (the memory map too, which the main window links) can answer it
// from its model.

#include <QString>
#include <QStringList>
#include <QVariant>
#include <string>
#include <vector>

#include "core/spoken_text.h"

namespace orvex {

// The cell's row and column as spoken, without its value ("Channel 6, Rx
// Freq"); an open in-cell editor is named with it.
inline constexpr int kCellNameRole = Qt::UserRole + 0x41;

// The engine's JoinSpoken for Qt texts.
inline QString JoinSpoken(const QStringList& parts) {
  std::vector<std::string> spoken;
  for (const QString& part : parts) spoken.push_back(part.toStdString());
  return QString::fromStdString(JoinSpoken(spoken));
}

// Whether a model role is one of the spoken texts of a cell.
inline bool IsSpokenCellRole(int role) { return role == Qt::AccessibleTextRole || role == kCellNameRole; }

// The spoken texts of a cell named `cellName` holding `value`: the name
// alone for kCellNameRole, the name and the value for Qt::AccessibleTextRole
// (what a screen reader reads when the cell gets the focus).
inline QVariant SpokenCellData(int role, const QString& cellName, const QString& value) {
  if (role == kCellNameRole) return cellName;
  if (role == Qt::AccessibleTextRole) return JoinSpoken({cellName, value});
  return {};
}

}  // namespace orvex
