// Conversion between the module's internal UTF-8 text and the UTF-16 text
// (OLECHAR, BSTR) that crosses the automation boundary.
#pragma once

#include <string>
#include <string_view>

#include "automation/ComTypes.h"

namespace automation {

using OleString = std::basic_string<OLECHAR>;
using OleStringView = std::basic_string_view<OLECHAR>;

OleString ToOle(std::string_view utf8);
std::string FromOle(OleStringView text);
std::string FromOle(const OLECHAR* text);  // zero-terminated; null is empty
std::string FromBstr(BSTR text);           // uses the stored length; null is empty

// A new BSTR holding the text; throws std::bad_alloc when allocation fails.
BSTR AllocBstr(std::string_view utf8);

}  // namespace automation
