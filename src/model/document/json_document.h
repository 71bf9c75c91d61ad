#pragma once

// The JSON form of the codeplug document: text to the document tree and back
// (nlohmann-json, which only the source file sees).

#include <string>
#include <string_view>

#include "core/result.h"
#include "model/document/codeplug_document.h"

namespace orvex {

// The document tree of a JSON text; on a syntax error "LINE:COLUMN: reason",
// both counted from 1.
Result<DocNode> ParseJsonDocument(std::string_view json, int language = 0);

// A JSON codeplug applied onto `base`, all or nothing.  Every problem is
// a line naming `file`: "file:3:5: reason" for a syntax error, "file:
// $.options.vox_level: ..." for a value the radio cannot take.
Result<Image> ImportJsonCodeplug(const Image& base, std::string_view json, const std::string& file, int language = 0);

// The document as indented JSON text.
std::string JsonDocumentText(const DocNode& document);

}  // namespace orvex
