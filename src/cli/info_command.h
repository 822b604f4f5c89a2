#pragma once

#include <nlohmann/json.hpp>
#include <string>

namespace lumetra {

class CTessaraDoc;

// Everything the document holds, as one JSON object; texts are decoded from
// the document code page to UTF-8.
nlohmann::ordered_json DescribeDocument(const CTessaraDoc& doc, const std::string& codePage);

}  // namespace lumetra
