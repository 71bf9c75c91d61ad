#include "ui/key/key_picture.h"

#include <QBoxLayout>
#include <QPainter>

#include "model/settings/side_key.h"

// The resource lives in this static library; nothing else would pull it in.
static void InitKeyResources() { Q_INIT_RESOURCE(key); }

namespace orvex {

namespace {

// The picture is drawn from resources/ui/key/radio.png, rendered from the
// SVG whose units the key marks are given in.
constexpr QSizeF kRadioUnits{kRadioPictureSize.x, kRadioPictureSize.y};
static_assert(std::size(kKeyPicturePoints) == KeyPicture::kKeyCount);

// Share of the width the groups take; the radio has the rest.
constexpr int kGroupStretch = 3;
constexpr int kRadioStretch = 2;
constexpr int kMargin = 12;

}  // namespace

KeyPicture::KeyPicture(QWidget* parent) : QWidget(parent) {
  InitKeyResources();
  setObjectName("PicKey");
  m_radio.load(QStringLiteral(":/ui/key/radio.png"));
  setAutoFillBackground(true);

  auto* column = new QVBoxLayout;
  column->addStretch(1);
  auto* row = new QHBoxLayout(this);
  row->setContentsMargins(kMargin, kMargin, kMargin, kMargin);
  row->addLayout(column, kGroupStretch);
  row->addStretch(kRadioStretch);
}

void KeyPicture::setGroup(Key key, QWidget* group) {
  auto* column = static_cast<QBoxLayout*>(layout()->itemAt(0)->layout());
  // Groups in key order, each followed by a stretch so they spread over the
  // height as the keys do.
  column->insertWidget(column->count() - 1, group);
  column->insertStretch(column->count() - 1, 1);
  m_groups[key] = group;
  update();
}

QRect KeyPicture::radioRect() const {
  const QRect inner = rect().adjusted(kMargin, kMargin, -kMargin, -kMargin);
  const int left = inner.left() + inner.width() * kGroupStretch / (kGroupStretch + kRadioStretch) + kMargin;
  const QRect room(QPoint(left, inner.top()), inner.bottomRight());
  const QSize size = kRadioUnits.toSize().scaled(room.size(), Qt::KeepAspectRatio);
  return QRect(QPoint(room.center().x() - size.width() / 2, room.center().y() - size.height() / 2), size);
}

QPoint KeyPicture::keyPoint(Key key) const {
  const QRect radio = radioRect();
  const PicturePoint point = kKeyPicturePoints[key];
  return {radio.left() + static_cast<int>(point.x * radio.width() / kRadioUnits.width()),
          radio.top() + static_cast<int>(point.y * radio.height() / kRadioUnits.height())};
}

void KeyPicture::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setRenderHint(QPainter::SmoothPixmapTransform);
  if (!m_radio.isNull()) painter.drawPixmap(radioRect(), m_radio);

  painter.setPen(QPen(palette().color(QPalette::Highlight), 1.5));
  painter.setBrush(palette().color(QPalette::Highlight));
  for (int key = 0; key < kKeyCount; ++key) {
    const QWidget* group = m_groups[key];
    if (group == nullptr || !group->isVisible()) continue;
    const QPoint from(group->geometry().right() + 2, group->geometry().center().y());
    const QPoint to = keyPoint(static_cast<Key>(key));
    const QPoint bend(from.x() + (to.x() - from.x()) / 2, from.y());
    painter.drawPolyline(QList<QPoint>{from, bend, to});
    painter.drawEllipse(to, 3, 3);
  }
}

}  // namespace orvex
