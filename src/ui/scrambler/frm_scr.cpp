#include "ui/scrambler/frm_scr.h"

#include <QGridLayout>
#include <QIcon>

#include "ui/main/accessible_cells.h"
#include "ui/main/twips.h"
#include "ui/scrambler/frequency_field.h"

namespace orvex {

namespace {
// Window size in twips (1/1440 inch).
constexpr int kWidthTwips = 4720;
constexpr int kHeightTwips = 4750;
constexpr int kEditableGroup = kScramblerGroups - 1;
}  // namespace

FrmScr::FrmScr(const EditingContext& context, QWidget* parent)
    : EditingWindow(kWinScrambler, context, parent), m_fraScr(new QGroupBox), m_group8(new FrequencyField) {
  setObjectName("frmScr");
  setWindowIcon(QIcon(QStringLiteral(":/ui/orvex.png")));

  auto* grid = new QGridLayout(m_fraScr);
  for (int column = 0; column < 2; ++column) {
    m_lblScr[column] = new QLabel;
    m_lblScr[column]->setObjectName(QStringLiteral("lblScr_%1").arg(column));
    m_lblScr[column]->setAlignment(Qt::AlignCenter);
    grid->addWidget(m_lblScr[column], 0, column);
  }
  for (int group = 0; group < kScramblerGroups; ++group) {
    auto* label = new QLabel(QString::number(group + 1));
    label->setObjectName(QStringLiteral("lblGroup_%1").arg(group));
    label->setAlignment(Qt::AlignCenter);
    grid->addWidget(label, group + 1, 0);
    m_lblGroup[group] = label;

    QLineEdit* field = group == kEditableGroup ? m_group8 : new QLineEdit;
    field->setObjectName(QStringLiteral("TxtFreq_%1").arg(group));
    field->setAlignment(Qt::AlignRight);
    // Groups 1..7 have fixed frequencies.
    field->setEnabled(group == kEditableGroup);
    grid->addWidget(field, group + 1, 1);
    label->setBuddy(field);
    m_txtFreq[group] = field;
  }
  grid->setColumnStretch(1, 1);
  // A frequency left or entered is stored at once, so it can be undone.
  // The field clamps its text only after it has told that editing finished,
  // so the clamp is applied here too.
  connect(m_group8, &QLineEdit::editingFinished, this,
          [this] { StoreFrequency(ClampScramblerText(m_group8->text().toStdString())); });
  connect(m_group8, &FrequencyField::clamped, this, [this](const QString& typed) {
    if (const std::string note = ScramblerClampNote(typed.toStdString(), language()); !note.empty())
      emit noted(QString::fromStdString(note));
  });

  auto* content = new QWidget;
  auto* outer = new QVBoxLayout(content);
  outer->addWidget(m_fraScr);
  outer->addStretch(1);
  setWidget(content);
  resize(TwipsToPixels(*this, kWidthTwips, kHeightTwips));
}

// The field loses the focus while the window is torn down (a program close
// stores nothing); that must not reach a half-destroyed window.
FrmScr::~FrmScr() { m_group8->disconnect(this); }

void FrmScr::RefreshAll() {
  const ScramblerCaptions captions = ScramblerCaptionTexts(language());
  const QString title = QString::fromUtf8(captions.window.data(), qsizetype(captions.window.size()));
  setWindowTitle(title);
  m_fraScr->setTitle(title);
  m_lblScr[0]->setText(QString::fromUtf8(captions.group.data(), qsizetype(captions.group.size())));
  m_lblScr[1]->setText(QString::fromUtf8(captions.frequency.data(), qsizetype(captions.frequency.size())));

  // Each field is spoken with its row and column: "Group 8, Frequency".
  for (int group = 0; group < kScramblerGroups; ++group) {
    const QString name =
        JoinSpoken({m_lblScr[0]->text() + QLatin1Char(' ') + QString::number(group + 1), m_lblScr[1]->text()});
    m_txtFreq[group]->setAccessibleName(name);
    m_lblGroup[group]->setAccessibleName(name);
  }
  for (int group = 0; group < kEditableGroup; ++group)
    m_txtFreq[group]->setText(QString::fromStdString(ScramblerGroupText(memory().image(), group)));
  m_group8->setText(QString::fromStdString(LoadScrambler(memory().image())));
}

void FrmScr::CommitEdit() { m_group8->CommitTyped(); }

void FrmScr::SaveData() { StoreFrequency(m_group8->text().toStdString()); }

void FrmScr::StoreFrequency(const std::string& text) {
  Edit(ScramblerStep(), [&text](Image& image) { SaveScramblerChange(image, text); });
}

namespace {
const EditingWindowRegistration kRegistration{kWinScrambler,
                                              [](const EditingContext& context) { return new FrmScr(context); }};
}  // namespace

}  // namespace orvex
