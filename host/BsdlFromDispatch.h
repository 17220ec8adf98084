// A boundary-scan entity read whole through its dispatch interface
// (IBSDLEntity and the element views), into a model the host owns. This is
// how the host looks at a driver's entity without linking the driver.
#pragma once

#include <memory>

#include "automation/ComTypes.h"
#include "bsdl/BSDLEntity.h"

namespace host {

// Throws when the object does not answer as an IBSDLEntity.
std::unique_ptr<bsdl::TBSDLEntity> BsdlEntityFromDispatch(IDispatch* entity);

}  // namespace host
