#pragma once

#include <QString>
#include <string>

#include "model/channels/channel_csv.h"

namespace orvex {

class CommandContext;

// The File menu commands that work on the channels.  Each runs the frame's
// SaveAll first, so an edit still open in the grid is part of
// what they print or write.

// Error lines as a message shows them: the first few, then how many more.
QString ErrorList(const std::string& errors, int language);

// miPrint (menu, toolbar and Ctrl+P alike): the print dialog offering the
// system's printers and Print to File (PDF), with page range and collate,
// then the programmed channels as a table.  A print that fails is said.
void PrintChannelsCommand(CommandContext& main);
// miPrintPreview: the same pages in a preview dialog whose Print is reached
// by Ctrl+P or Tab.
void PrintPreviewCommand(CommandContext& main);
// miImportCsv: a channel CSV applied onto the image, every open window
// refreshed; a file with errors changes nothing and the first errors are
// shown with their line numbers.
void ImportChannelsCsvCommand(CommandContext& main);
// miImportJson: a JSON codeplug applied onto the image as one undo step;
// a document with any bad value changes nothing and its errors are shown.
void ImportCodeplugJsonCommand(CommandContext& main);
// miExportCsv: the programmed channels written as a channel CSV.
void ExportChannelsCsvCommand(CommandContext& main);

}  // namespace orvex
