#include "ui/signalling/frm_5tone.h"

#include <QApplication>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QScrollBar>
#include <QSignalBlocker>

#include "ui/signalling/signalling_grid.h"

namespace orvex {

namespace {

// The range the spinners of the reference table carry, in tenths of a hertz.
constexpr int kSpinMinimum = 4000;
constexpr int kSpinMaximum = 30000;
// The reference table shows its sixteen symbols in two columns.
constexpr std::size_t kReferenceRows = 8;

void FillList(QComboBox* list, const std::vector<std::string>& items, std::size_t selected) {
  const QSignalBlocker blocker(list);
  list->clear();
  for (const std::string& item : items) list->addItem(QString::fromStdString(item));
  list->setCurrentIndex(static_cast<int>(selected));
}

}  // namespace

Frm5Tone::Frm5Tone(const EditingContext& context, QWidget* parent) : SignallingWindow(kWin5Tone, context, parent) {
  setObjectName("frm5Tone");
  for (std::size_t i = 0; i < m_lists.size(); ++i) {
    m_labels[i] = new QLabel;
    m_labels[i]->setObjectName(QStringLiteral("Lbl5Tone%1").arg(i));
    m_lists[i] = new QComboBox;
    m_lists[i]->setObjectName(QStringLiteral("Cbo5Tone%1").arg(i));
    m_labels[i]->setBuddy(m_lists[i]);
    EnterMovesFocus(m_lists[i]);
  }
  std::vector<std::string> names(kToneStandardNames.begin(), kToneStandardNames.end());
  FillList(m_lists[0], names, m_table.referenceStandard());
  connect(m_lists[0], &QComboBox::currentIndexChanged, this, [this](int index) {
    if (index >= 0 && m_table.SetReferenceStandard(static_cast<std::size_t>(index))) ShowReference();
  });
  // The two decode settings are stored as soon as they are chosen; choosing
  // again in one list folds into its step.
  connect(m_lists[1], &QComboBox::currentIndexChanged, this, [this](int index) {
    if (index < 0 || !m_table.SetRespondWaitingIndex(static_cast<std::size_t>(index))) return;
    StoreAsStep(RespondWaitingStep(), kRespondWaitingMerge);
  });
  connect(m_lists[2], &QComboBox::currentIndexChanged, this, [this](int index) {
    if (index < 0 || !m_table.SetFixDigitIndex(static_cast<std::size_t>(index))) return;
    StoreAsStep(FixDigitStep(), kFixDigitMerge);
  });

  m_grid = new SignallingGrid(std::make_unique<FiveToneGridTable>(m_table), QStringLiteral("Txt5T"),
                              QStringLiteral("Cbo5T"));
  m_grid->setObjectName("Grid5Tone");
  AddGrid(m_grid, FiveToneCellStep);

  auto* content = new QWidget;
  auto* layout = new QHBoxLayout(content);
  m_frames[0] = MakeReferenceFrame();
  layout->addWidget(m_frames[0]);
  auto* right = new QVBoxLayout;
  m_frames[1] = MakeFrame(QStringLiteral("fra5Tone1"), m_grid);
  right->addWidget(m_frames[1]);
  auto* settings = new QGridLayout;
  for (int i = 1; i <= 2; ++i) {
    settings->addWidget(m_labels[static_cast<std::size_t>(i)], i - 1, 0);
    settings->addWidget(m_lists[static_cast<std::size_t>(i)], i - 1, 1);
  }
  right->addLayout(settings);
  right->addStretch();
  layout->addLayout(right, 1);

  ShowReference();
  RefreshAll();
  InstallContent(content);
}

QGroupBox* Frm5Tone::MakeReferenceFrame() {
  auto* frame = new QGroupBox;
  frame->setObjectName("fra5Tone0");
  auto* layout = new QGridLayout(frame);
  layout->addWidget(m_labels[0], 0, 0, 1, 3);
  layout->addWidget(m_lists[0], 0, 3, 1, 3);
  // Read-only: disabled fields in the menu colour, spinners that never move.
  QPalette palette = QApplication::palette();
  const QColor menu = QApplication::palette("QMenu").color(QPalette::Window);
  for (const auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled})
    palette.setColor(group, QPalette::Base, menu);
  for (std::size_t symbol = 0; symbol < kToneSymbolCount; ++symbol) {
    auto* label = new QLabel(QString(QChar::fromLatin1(ToneSymbolLabel(symbol))));
    label->setObjectName(QStringLiteral("lblTone%1").arg(symbol));
    label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    auto* field = new QLineEdit;
    field->setObjectName(QStringLiteral("txtTone%1").arg(symbol));
    label->setBuddy(field);
    field->setAlignment(Qt::AlignRight);
    field->setPalette(palette);
    field->setEnabled(false);
    field->setMaximumWidth(field->fontMetrics().horizontalAdvance(QStringLiteral("00000.00")));
    // A short vertical scroll bar shows just the two arrows of a spinner.
    auto* spin = new QScrollBar(Qt::Vertical);
    spin->setObjectName(QStringLiteral("updTone%1").arg(symbol));
    spin->setRange(kSpinMinimum, kSpinMaximum);
    spin->setFixedHeight(field->sizeHint().height());
    spin->setEnabled(false);
    spin->setFocusPolicy(Qt::NoFocus);
    const int row = 1 + static_cast<int>(symbol % kReferenceRows);
    const int column = 3 * static_cast<int>(symbol / kReferenceRows);
    layout->addWidget(label, row, column);
    layout->addWidget(field, row, column + 1);
    layout->addWidget(spin, row, column + 2);
    m_toneFields[symbol] = field;
    m_toneSpins[symbol] = spin;
  }
  layout->setRowStretch(static_cast<int>(kReferenceRows) + 1, 1);
  return frame;
}

void Frm5Tone::ShowReference() {
  const auto texts = m_table.referenceFrequencies();
  for (std::size_t symbol = 0; symbol < kToneSymbolCount; ++symbol) {
    m_toneFields[symbol]->setText(QString::fromStdString(texts[symbol]));
    m_toneSpins[symbol]->setValue(ToneStandardTenths(m_table.referenceStandard(), symbol));
  }
}

void Frm5Tone::RefreshAll() {
  m_table.Load(memory().image(), language());
  const FiveToneTable::Captions captions = m_table.captions();
  setWindowTitle(QString::fromStdString(captions.window));
  m_frames[0]->setTitle(QString::fromStdString(captions.standardFrame));
  m_frames[1]->setTitle(QString::fromStdString(captions.decodeFrame));
  m_labels[0]->setText(QString::fromStdString(captions.standardLabel));
  m_labels[1]->setText(QString::fromStdString(captions.respondWaitingLabel));
  m_labels[2]->setText(QString::fromStdString(captions.fixDigitLabel));
  FillList(m_lists[1], m_table.respondWaitingItems(), m_table.respondWaitingIndex());
  FillList(m_lists[2], m_table.fixDigitItems(), m_table.fixDigitIndex());
  m_grid->Reload();
}

StepName Frm5Tone::WindowStep() const {
  return TableStep<FiveToneTable>([](const FiveToneTable& table) { return table.captions().window; });
}

namespace {
const EditingWindowRegistration kRegistration{kWin5Tone,
                                              [](const EditingContext& context) { return new Frm5Tone(context); }};
}  // namespace

}  // namespace orvex
