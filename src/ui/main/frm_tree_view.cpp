#include "ui/main/frm_tree_view.h"

#include <QGuiApplication>
#include <QHeaderView>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "ui/main/ui_text.h"

namespace orvex {

namespace {
constexpr int kKeyRole = Qt::UserRole;

struct NodeText {
  const char* key;
  int string;           // table entry; 0 when the text is fixed
  const char* english;  // fixed texts
  const char* chinese;
};

// Children of the root, in the order shown.
constexpr NodeText kNodes[] = {
    {"Item1", 1100, nullptr, nullptr},
    {"Item2", 1101, nullptr, nullptr},
    {"Item8", 0, "Scrambler Frequency", "\xE6\x89\xB0\xE9\xA2\x91\xE9\xA2\x91\xE7\x8E\x87"},  // 扰频频率
    {"Item3", 1102, nullptr, nullptr},
    {"Item5", 0, "MSK", "MSK"},
    {"Item6", 1520, nullptr, nullptr},
    {"Item7", 1521, nullptr, nullptr},
};

QString NodeCaption(const NodeText& node, int language) {
  if (node.string != 0) return UiText(node.string, language);
  return QString::fromUtf8(language == 1 ? node.chinese : node.english);
}
}  // namespace

FrmTreeView::FrmTreeView(int language, QWidget* parent) : QWidget(parent), m_tree(new QTreeWidget(this)) {
  setObjectName("frmTreeView");
  m_tree->setObjectName("Tree0");
  m_tree->setHeaderHidden(true);
  m_tree->setRootIsDecorated(true);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(m_tree);

  auto* root = new QTreeWidgetItem(m_tree, QStringList(kProgramTitle));
  root->setData(0, kKeyRole, QStringLiteral("Root"));
  root->setIcon(0, QIcon(QStringLiteral(":/ui/orvex.png")));
  for (const NodeText& node : kNodes) {
    auto* item = new QTreeWidgetItem(root);
    item->setData(0, kKeyRole, QString::fromLatin1(node.key));
  }
  m_tree->expandAll();
  RefreshFace(language);
  m_tree->setCurrentItem(node("Item1"));

  connect(m_tree, &QTreeWidget::itemClicked, this,
          [this](QTreeWidgetItem* item) { emit nodeClicked(item->data(0, kKeyRole).toString()); });
  // Enter on a node opens it as a click does (a double click is two clicks
  // already).
  connect(m_tree, &QTreeWidget::itemActivated, this, [this](QTreeWidgetItem* item) {
    if (QGuiApplication::mouseButtons() == Qt::NoButton) emit nodeEntered(item->data(0, kKeyRole).toString());
  });
}

QTreeWidgetItem* FrmTreeView::node(const QString& key) const {
  QTreeWidgetItem* root = m_tree->topLevelItem(0);
  if (key == QLatin1String("Root")) return root;
  for (int i = 0; i < root->childCount(); ++i) {
    if (root->child(i)->data(0, kKeyRole).toString() == key) return root->child(i);
  }
  return nullptr;
}

void FrmTreeView::RefreshFace(int language) {
  for (const NodeText& node : kNodes)
    this->node(QString::fromLatin1(node.key))->setText(0, NodeCaption(node, language));
}

}  // namespace orvex
