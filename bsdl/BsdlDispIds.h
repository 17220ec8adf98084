// DISPIDs of the boundary-scan dispatch interfaces that code outside the
// dispatch tables needs by name.
#pragma once

#include "automation/ComTypes.h"

namespace bsdl::dispid {

// The value-holder entry of scan pins and boundary cells: one integer
// argument, stored as the object's current value.
constexpr DISPID kValueHolder_SetCurrentValue = 509024;

}  // namespace bsdl::dispid
