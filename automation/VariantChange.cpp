// VariantChangeType for the Linux build (placeholder: replaced by the full
// conversion table).
#ifndef _WIN32
#include "automation/ComTypes.h"
HRESULT VariantChangeType(VARIANTARG* dest, const VARIANTARG* src, uint16_t flags, VARTYPE vt) {
  return DISP_E_TYPEMISMATCH;
}
#endif
