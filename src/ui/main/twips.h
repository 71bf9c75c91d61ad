#pragma once

// Window and column sizes are given in twips (1/1440 inch), as the radio
// software laid them out; they become pixels at the screen's resolution.

#include <QSize>
#include <QWidget>

namespace orvex {

inline constexpr int kTwipsPerInch = 1440;

inline int TwipsToPixelsX(const QWidget& widget, int twips) { return twips * widget.logicalDpiX() / kTwipsPerInch; }
inline int TwipsToPixelsY(const QWidget& widget, int twips) { return twips * widget.logicalDpiY() / kTwipsPerInch; }
inline QSize TwipsToPixels(const QWidget& widget, int widthTwips, int heightTwips) {
  return {TwipsToPixelsX(widget, widthTwips), TwipsToPixelsY(widget, heightTwips)};
}

}  // namespace orvex
