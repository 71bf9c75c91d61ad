#include "ui/key/frm_key.h"

#include <QFormLayout>
#include <QIcon>
#include <QKeyEvent>

#include "model/settings/side_key.h"
#include "ui/main/twips.h"

namespace orvex {

namespace {

// Window size in twips (1/1440 inch).
constexpr int kWidthTwips = 8000;
constexpr int kHeightTwips = 6400;

// Indices of the fixed key labels: PTT, long press and slight press of MONI.
constexpr int kPttLabel = 0, kLongPressLabel = 1, kSlightPressLabel = 2;

bool IsEnterKey(const QKeyEvent* key) { return key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter; }

}  // namespace

FrmKey::FrmKey(const EditingContext& context, QWidget* parent)
    : EditingWindow(kWinKey, context, parent), m_picKey(new KeyPicture(this)), m_cboKey(new QComboBox) {
  setObjectName("frmKey");
  setWindowIcon(QIcon(QStringLiteral(":/ui/orvex.png")));
  setWidget(m_picKey);

  const char* labelNames[] = {"LblKey_0", "LblKey_2", "LblKey_3"};
  for (std::size_t i = 0; i < m_lblKey.size(); ++i) {
    m_lblKey[i] = new QLabel;
    m_lblKey[i]->setObjectName(labelNames[i]);
    m_lblKey2[i] = new QLabel;
    m_lblKey2[i]->setObjectName(QString::fromLatin1(labelNames[i]).replace("LblKey", "LblKey2"));
  }
  for (int key = 0; key < KeyPicture::kKeyCount; ++key) {
    m_fraKey[key] = new QGroupBox;
    m_fraKey[key]->setObjectName(QStringLiteral("FraKey_%1").arg(key));
  }

  auto* ptt = new QFormLayout(m_fraKey[KeyPicture::kPtt]);
  ptt->addRow(m_lblKey[kPttLabel], m_lblKey2[kPttLabel]);

  m_cboKey->setObjectName("CboKey");
  m_cboKey->installEventFilter(this);
  auto* side = new QVBoxLayout(m_fraKey[KeyPicture::kSideKey]);
  side->addWidget(m_cboKey);

  auto* monitor = new QFormLayout(m_fraKey[KeyPicture::kMonitor]);
  monitor->addRow(m_lblKey[kLongPressLabel], m_lblKey2[kLongPressLabel]);
  monitor->addRow(m_lblKey[kSlightPressLabel], m_lblKey2[kSlightPressLabel]);

  for (int key = 0; key < KeyPicture::kKeyCount; ++key) m_picKey->setGroup(KeyPicture::Key(key), m_fraKey[key]);

  ApplyCaptions();
  connect(m_cboKey, &QComboBox::currentIndexChanged, this, &FrmKey::SideKeyChosen);
  // The radio may have been read or another window may have changed the
  // image since this window was last in front.
  connect(this, &QMdiSubWindow::aboutToActivate, this, &FrmKey::RefreshKey);

  resize(TwipsToPixels(*this, kWidthTwips, kHeightTwips));
}

void FrmKey::RefreshKey() {
  ApplyCaptions();
  LoadControls();
}

void FrmKey::ApplyCaptions() {
  const KeyCaptions captions = KeyCaptionTexts(language());
  const auto q = [](const std::string& text) { return QString::fromStdString(text); };
  setWindowTitle(q(captions.window));
  m_fraKey[KeyPicture::kPtt]->setTitle(q(captions.pttGroup));
  m_fraKey[KeyPicture::kSideKey]->setTitle(q(captions.sideKeyGroup));
  m_fraKey[KeyPicture::kMonitor]->setTitle(q(captions.moniGroup));
  m_lblKey[kPttLabel]->setText(q(captions.pttKey));
  m_lblKey2[kPttLabel]->setText(q(captions.pttFunction));
  m_lblKey[kLongPressLabel]->setText(q(captions.longPress));
  m_lblKey2[kLongPressLabel]->setText(q(captions.longPressAction));
  m_lblKey[kSlightPressLabel]->setText(q(captions.slightPress));
  m_lblKey2[kSlightPressLabel]->setText(q(captions.slightPressAction));

  // The items change their texts only; the chosen position stays.
  const std::vector<std::string> items = ItemTexts(SideKeySetting(), language());
  m_loading = true;
  if (m_cboKey->count() != static_cast<int>(items.size())) {
    m_cboKey->clear();
    for (const std::string& item : items) m_cboKey->addItem(q(item));
  } else {
    for (int i = 0; i < m_cboKey->count(); ++i) m_cboKey->setItemText(i, q(items[static_cast<std::size_t>(i)]));
  }
  m_loading = false;
  ShowPosition(m_shown);
}

void FrmKey::LoadControls() { ShowPosition(m_shown = RefreshSetting(memory().image(), SideKeySetting(), m_shown)); }

void FrmKey::ShowPosition(std::optional<int> position) {
  m_loading = true;
  m_cboKey->setCurrentIndex(position.value_or(-1));
  m_loading = false;
}

void FrmKey::SideKeyChosen(int position) {
  if (m_loading || position < 0) return;
  const auto store = [position](Image& image) { EncodeSetting(image, SideKeySetting(), position); };
  Edit(SideKeyStep(), store, kSideKeyMerge);
  m_shown = position;
}

bool FrmKey::eventFilter(QObject* watched, QEvent* event) {
  if (watched == m_cboKey && event->type() == QEvent::KeyPress && IsEnterKey(static_cast<QKeyEvent*>(event))) {
    focusNextChild();
    return true;
  }
  return EditingWindow::eventFilter(watched, event);
}

namespace {
const EditingWindowRegistration kRegistration{kWinKey,
                                              [](const EditingContext& context) { return new FrmKey(context); }};
}  // namespace

}  // namespace orvex
