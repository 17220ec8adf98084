// How a failing dispatch call reaches the module as an error: the callee's
// own description, however the callee chose to hand it over.
#include <gtest/gtest.h>

#include "automation/HostCall.h"
#include "automation/WideText.h"
#include "host/HostObject.h"

namespace automation {
namespace {

constexpr DISPID kFailingCall = 77;

// Fails every call with DISP_E_EXCEPTION; its description is either filled
// in at once or left to the deferred fill-in function, as callees may do.
class FailingObject : public host::HostObject {
 public:
  explicit FailingObject(bool deferred) : deferred_(deferred) {}

  HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*,
                                   EXCEPINFO* excepInfo, UINT*) override {
    if (deferred_)
      excepInfo->pfnDeferredFillIn = &FillIn;
    else
      FillIn(excepInfo);
    return DISP_E_EXCEPTION;
  }

 private:
  static HRESULT STDMETHODCALLTYPE FillIn(EXCEPINFO* info) {
    info->pfnDeferredFillIn = nullptr;
    info->scode = E_FAIL;
    info->bstrSource = AllocBstr("host");
    info->bstrDescription = AllocBstr("no project is open");
    return S_OK;
  }

  bool deferred_;
};

TEST(HostCall, FailureCarriesTheCalleesDescription) {
  for (bool deferred : {false, true}) {
    SCOPED_TRACE(deferred ? "deferred fill-in" : "filled at once");
    auto object = host::MakeHostObject<FailingObject>(deferred);
    try {
      HostCall(object->AsDispatch(), kFailingCall);
      ADD_FAILURE() << "the failed call did not raise";
    } catch (const EHostCallFailed& e) {
      EXPECT_STREQ(e.what(), "no project is open");
      EXPECT_EQ(e.Status(), DISP_E_EXCEPTION);
      EXPECT_EQ(e.DispId(), kFailingCall);
    }
  }
}

}  // namespace
}  // namespace automation
