#pragma once

#include <QString>

namespace orvex {

class MDIForm1;

// Saves main_<lang>.png (main window with the tree), port_<lang>.png (the
// port dialog) and memorymap_<lang>.png into a directory.
bool SaveScreenshots(MDIForm1& window, const QString& directory);

}  // namespace orvex
