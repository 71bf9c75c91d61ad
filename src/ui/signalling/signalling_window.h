#pragma once

#include <QString>
#include <functional>
#include <vector>

#include "core/memory_image.h"
#include "model/signalling/signalling_cells.h"
#include "model/signalling/signalling_steps.h"
#include "ui/main/editing_window.h"

class QGroupBox;
class QWidget;

namespace orvex {

class SignallingGrid;

// What the 2-Tone, 5-Tone and MSK windows share: a committed cell, list or
// switch is stored from the table at once as one undoable step, SaveData
// commits an open in-cell edit and stores, and a close by the user stores
// and hides the window.
class SignallingWindow : public EditingWindow {
  Q_OBJECT

 public:
  using EditingWindow::EditingWindow;

  // Captions in the current language and every value from the image.
  virtual void RefreshAll() = 0;
  // The table into the image, an open edit first.
  void SaveData();

  void Refresh() override { RefreshAll(); }
  void Store() override { SaveData(); }
  void CommitEdit() override;
  [[nodiscard]] UserClose userClose() const override { return UserClose::StoreAndHide; }

 protected:
  // Writes the table's values; no other byte changes.
  virtual void StoreTable(Image& image) const = 0;
  // The window's caption in a language, naming the steps of SaveData.
  [[nodiscard]] virtual StepName WindowStep() const = 0;
  // The table into the image as one step called `name`; a non-zero
  // `mergeKey` folds repeated choices in one list into one step.
  void StoreAsStep(const StepName& name, int mergeKey = 0);
  // A grid whose committed cells store the table as a step named by the
  // cell, and whose open edit CommitEdit commits.
  void AddGrid(SignallingGrid* grid, std::function<StepName(CellPos)> name);
  // Puts the window's controls in, with the program icon, sized to what
  // their layout asks for.
  void InstallContent(QWidget* content);

 private:
  std::vector<SignallingGrid*> m_grids;
};

// A frame (group box) named `objectName` holding `content` at its top.
QGroupBox* MakeFrame(const QString& objectName, QWidget* content);

// Enter on `control` moves the focus on to the next control, as Enter does
// everywhere in the program.
void EnterMovesFocus(QWidget* control);

}  // namespace orvex
