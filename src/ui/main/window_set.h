#pragma once

#include <QObject>
#include <QPointer>
#include <map>

#include "ui/main/editing_window.h"

namespace orvex {

class WorkArea;

// The editing windows of the main window, by bit: each is created the first
// time it is opened, joins the work area, and is stored and refreshed in bit
// order with the others.  A window counts as open while its bit is in the
// program state's open-window set.
class WindowSet : public QObject {
  Q_OBJECT

 public:
  // `context` is what every window is created with; it must have a history.
  WindowSet(const EditingContext& context, EditingWindowFactories factories, WorkArea& area);

  [[nodiscard]] EditingWindow* window(WindowBit bit) const;
  // The editing window that is active, or null.
  [[nodiscard]] EditingWindow* active() const;

  // Creates the window if need be, adds its bit, shows it and brings it to
  // the front; a bit with no window does nothing.
  void Open(WindowBit bit);
  // Creates the window and counts it as open, but leaves it hidden (the
  // optional features window at start-up).
  void OpenHidden(WindowBit bit);
  // Every open window commits its open edit and stores.
  void SaveAll();
  // Every open window: captions and values again.
  void Refresh();
  // Every open window reloads its values, keeping its place.
  void RefreshValues();
  // The channel window stores, then every open window closes.
  void CloseAll();
  // The hidden memory map editor over what the windows hold; what it
  // changed is one undo step.
  void OpenMemoryMap();

 signals:
  // A window's note for the status bar.
  void noted(const QString& note);
  // The windows show new values of the image.
  void valuesRefreshed();

 private:
  EditingWindow* Create(WindowBit bit);

  EditingContext m_context;
  EditingWindowFactories m_factories;
  WorkArea& m_area;
  std::map<std::uint8_t, QPointer<EditingWindow>> m_windows;
};

}  // namespace orvex
