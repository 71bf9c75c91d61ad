#pragma once

#include <QWidget>

class QTreeWidget;
class QTreeWidgetItem;

namespace orvex {

// The navigation tree docked in the main window: one root node "ORVEX" and
// one node per editing window.  A click reports the node's key ("Root",
// "Item1".."Item8"); the main window stores and opens.
class FrmTreeView : public QWidget {
  Q_OBJECT

 public:
  explicit FrmTreeView(int language, QWidget* parent = nullptr);

  // Node texts again in a language.
  void RefreshFace(int language);

  [[nodiscard]] QTreeWidget* tree() const { return m_tree; }
  [[nodiscard]] QTreeWidgetItem* node(const QString& key) const;

 signals:
  void nodeClicked(const QString& key);
  // Enter on a node: the keyboard's click.
  void nodeEntered(const QString& key);

 private:
  QTreeWidget* m_tree;
};

}  // namespace orvex
