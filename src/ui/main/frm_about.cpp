#include "ui/main/frm_about.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "core/version.h"
#include "ui/main/ui_text.h"

namespace orvex {

namespace {
// The release date as the box has always shown it: "2012-8-20", no leading zeros.
QString ShownDate(std::string_view isoDate) {
  const QStringList parts = QString::fromUtf8(isoDate.data(), static_cast<qsizetype>(isoDate.size())).split('-');
  QStringList shown;
  for (const QString& part : parts) shown << QString::number(part.toInt());
  return shown.join('-');
}
}  // namespace

QString FrmAbout::AboutText(int language) {
  const QString version = language == 1 ? QString::fromUtf8(" \xE7\x89\x88\xE6\x9C\xAC ") : QStringLiteral(" Version ");
  const QString notice = language == 1 ? QString::fromUtf8("\xE7\x89\x88\xE6\x9D\x83\xE6\x89\x80\xE6\x9C\x89 (C) 2011")
                                       : QStringLiteral("Copyright (C) 2011");
  return QString(kProgramTitle) + version + "v" + QString::fromStdString(VersionText()) + "\n" + notice + "\n\n" +
         ShownDate(ReleaseDate());
}

FrmAbout::FrmAbout(int language, QWidget* parent) : QDialog(parent) {
  setObjectName("frmAbout");
  setWindowTitle(UiText(1118, language) + " " + kProgramTitle);
  const QIcon icon(QStringLiteral(":/ui/orvex.png"));
  setWindowIcon(icon);

  auto* image = new QLabel(this);
  image->setObjectName("Image1");
  image->setPixmap(icon.pixmap(64, 64));
  auto* label = new QLabel(AboutText(language), this);
  label->setObjectName("Label1");
  auto* ok = new QPushButton(UiText(1156, language), this);
  ok->setObjectName("Command1");
  ok->setDefault(true);
  connect(ok, &QPushButton::clicked, this, &QDialog::accept);

  auto* top = new QHBoxLayout;
  top->addWidget(image, 0, Qt::AlignTop);
  top->addSpacing(12);
  top->addWidget(label, 1);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(ok);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(top);
  layout->addLayout(buttons);
  setFixedSize(sizeHint());
}

}  // namespace orvex
