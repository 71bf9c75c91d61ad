#pragma once

// What a screen reader speaks for a grid cell.  Header-only, so every grid
// library (the memory map too, which the main window links) can answer it
// from its model.

#include <QString>
#include <QStringList>
#include <QVariant>

namespace orvex {

// The cell's row and column as spoken, without its value ("Channel 6, Rx
// Freq"); an open in-cell editor is named with it.
inline constexpr int kCellNameRole = Qt::UserRole + 0x41;

// "Channel 6, Rx Freq, 145.50000": the parts that are not empty, joined.
inline QString JoinSpoken(const QStringList& parts) {
  QStringList spoken;
  for (const QString& part : parts) {
    if (!part.trimmed().isEmpty()) spoken << part.trimmed();
  }
  return spoken.join(QStringLiteral(", "));
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
