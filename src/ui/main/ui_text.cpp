#include "ui/main/ui_text.h"

#include "core/strings.h"

namespace orvex {

namespace {
QString FromUtf8(std::string_view text) { return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())); }
}  // namespace

QString UiText(int base, int language) { return FromUtf8(Text(base, language)); }

QString DialogFilter(std::string_view filter) { return FromUtf8(filter.substr(0, filter.find('|'))); }

}  // namespace orvex
