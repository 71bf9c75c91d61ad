#include "core/preferences.h"

#include <QSettings>
#include <QString>

#include "core/app_state.h"

namespace orvex {

namespace {
// "SoftWare", a key named by a single space, "ORVEX"; value "Language".
constexpr auto kLanguageKey = "SoftWare/ /ORVEX/Language";
constexpr auto kVerifyKey = "SoftWare/ /ORVEX/VerifyAfterWrite";

QSettings Store() { return QSettings(QSettings::IniFormat, QSettings::UserScope, "ORVEX", "orvex"); }
}  // namespace

int ReadLanguagePreference() {
  const QString stored = Store().value(kLanguageKey).toString();
  return LanguageFromStored(stored.toStdString());
}

void WriteLanguagePreference(int language) {
  auto store = Store();
  store.setValue(kLanguageKey, QString::number(language == 1 ? 1 : 0));
  store.sync();
}

bool ReadVerifyAfterWrite() { return Store().value(kVerifyKey, true).toBool(); }

void WriteVerifyAfterWrite(bool verify) {
  auto store = Store();
  store.setValue(kVerifyKey, verify);
  store.sync();
}

}  // namespace orvex
