#include "model/signalling/signalling_steps.h"

namespace orvex {

namespace {

std::string CellStepText(const std::string& window, const std::string& frame, const CellGrid& cells, CellPos cell) {
  return window + " " + frame + " " + CellText(cells, {cell.row, 0}) + " " + CellText(cells, {0, cell.column});
}

}  // namespace

StepName TwoToneCellStep(TwoToneGrid which, CellPos cell) {
  return TableStep<TwoToneTable>([which, cell](const TwoToneTable& table) {
    const TwoToneTable::Captions captions = table.captions();
    return CellStepText(captions.window, which == TwoToneGrid::CallList ? captions.callFrame : captions.decodeFrame,
                        table.cells(which), cell);
  });
}

StepName MskCellStep(MskGrid which, CellPos cell) {
  return TableStep<MskTable>([which, cell](const MskTable& table) {
    const MskTable::Captions captions = table.captions();
    return CellStepText(captions.window, which == MskGrid::CallList ? captions.callFrame : captions.idFrame,
                        table.cells(which), cell);
  });
}

StepName FiveToneCellStep(CellPos cell) {
  return TableStep<FiveToneTable>([cell](const FiveToneTable& table) {
    const FiveToneTable::Captions captions = table.captions();
    return CellStepText(captions.window, captions.decodeFrame, table.cells(), cell);
  });
}

StepName RespondWaitingStep() {
  return TableStep<FiveToneTable>([](const FiveToneTable& table) { return table.captions().respondWaitingLabel; });
}

StepName FixDigitStep() {
  return TableStep<FiveToneTable>([](const FiveToneTable& table) { return table.captions().fixDigitLabel; });
}

StepName MskInvertStep() {
  return TableStep<MskTable>([](const MskTable& table) { return table.captions().invert; });
}

}  // namespace orvex
