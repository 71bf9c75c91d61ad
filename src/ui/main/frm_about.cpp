#include "ui/main/frm_about.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "ui/main/ui_text.h"

namespace orvex {

namespace {
constexpr auto kVersion = "v2.1";
constexpr auto kReleaseDate = "2012-8-20";
}  // namespace

QString FrmAbout::AboutText(int language) {
  const QString version = language == 1 ? QString::fromUtf8(" \xE7\x89\x88\xE6\x9C\xAC ") : QStringLiteral(" Version ");
  const QString notice = language == 1 ? QString::fromUtf8("\xE7\x89\x88\xE6\x9D\x83\xE6\x89\x80\xE6\x9C\x89 (C) 2011")
                                       : QStringLiteral("Copyright (C) 2011");
  return QString(kProgramTitle) + version + kVersion + "\n" + notice + "\n\n" + kReleaseDate;
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
