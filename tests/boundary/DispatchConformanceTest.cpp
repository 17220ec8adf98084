// The driver's dispatch contract, exercised only through the module's
// exports and IDispatch::Invoke.
#include <gtest/gtest.h>

#include "automation/WideText.h"
#include "host/ModuleLoader.h"
#include "plugin/ServiceInterfaces.h"
#include "tests/boundary/ModuleHost.h"

namespace boundary {
namespace {

using automation::ToBool;
using automation::ToInt32;
using automation::ToString;

constexpr int32_t kKind1200HC = 60;

struct RowCase {
  DISPID id;
  std::vector<Variant> (*args)();
  VARTYPE result;  // VT_EMPTY: the row writes no result
};

std::vector<Variant> None() { return {}; }
std::vector<Variant> Index() { return {Variant::Int(0)}; }
std::vector<Variant> Text() { return {Variant::String("x")}; }
std::vector<Variant> NullObject() { return {Variant::Dispatch(nullptr)}; }
std::vector<Variant> IndexAndValue() { return {Variant::Int(0), Variant::Int64(5)}; }
std::vector<Variant> IndexAndText() { return {Variant::Int(0), Variant::String("101")}; }
std::vector<Variant> ThreeTexts() {
  return {Variant::String("a"), Variant::String("b"), Variant::String("c")};
}
std::vector<Variant> SpaceAndAddress() { return {Variant::Int(0), Variant::Int64(0x1000)}; }
std::vector<Variant> SpaceAddressHandle() {
  return {Variant::Int(0), Variant::Int64(0x1000), Variant::Int64(7)};
}

// Every row of both blocks with its result type (CustomAction_GetState,
// which takes references, has a test of its own).
const RowCase kRows[] = {
    {503379, None, VT_I4},  {503380, None, VT_BSTR}, {503381, None, VT_BSTR},
    {503382, None, VT_BSTR}, {503383, None, VT_BSTR}, {503384, None, VT_BSTR},
    {503385, None, VT_BSTR}, {503386, None, VT_BSTR}, {503387, None, VT_I4},
    {503388, None, VT_I4},  {503389, None, VT_BSTR}, {503390, None, VT_BSTR},
    {503391, None, VT_BSTR}, {503392, None, VT_BSTR}, {503393, None, VT_BSTR},
    {503394, None, VT_BSTR}, {503395, None, VT_BSTR}, {503396, None, VT_BSTR},
    {503397, None, VT_BSTR}, {503398, None, VT_BSTR}, {503399, None, VT_BSTR},
    {503400, None, VT_BSTR}, {503401, None, VT_BSTR}, {503402, None, VT_BSTR},
    {503403, None, VT_BSTR}, {503404, None, VT_BSTR}, {503405, None, VT_BSTR},
    {503406, None, VT_DISPATCH}, {503407, None, VT_BSTR}, {503408, None, VT_I4},
    {503409, None, VT_I4},  {503410, None, VT_I4},  {503411, Index, VT_DISPATCH},
    {503412, None, VT_BSTR}, {503413, None, VT_I4},  {503414, None, VT_I4},
    {503415, None, VT_I4},  {503416, None, VT_BOOL}, {503417, None, VT_I4},
    {503418, None, VT_I4},  {503419, None, VT_I4},  {503420, None, VT_I4},
    {503421, None, VT_I4},  {503422, Index, VT_DISPATCH}, {503423, None, VT_BSTR},
    {503424, Text, VT_BSTR},
    {503753, None, VT_DISPATCH}, {503754, NullObject, VT_BOOL}, {503755, None, VT_BOOL},
    {503756, None, VT_I4},  {503757, None, VT_BOOL}, {503758, None, VT_BOOL},
    {503759, None, VT_EMPTY}, {503760, None, VT_DISPATCH}, {503761, Text, VT_BOOL},
    {503762, None, VT_EMPTY}, {503763, None, VT_BSTR}, {503764, None, VT_BOOL},
    {503765, None, VT_BOOL}, {503766, IndexAndValue, VT_BOOL}, {503767, Index, VT_I4},
    {503768, Index, VT_I4}, {503769, Index, VT_BSTR}, {503770, Index, VT_BSTR},
    {503771, None, VT_I4},  {503772, None, VT_I4},  {503773, None, VT_I4},
    {503774, None, VT_I4},  {503775, Index, VT_I4}, {503776, Index, VT_I4},
    {503777, Index, VT_I4}, {503778, Index, VT_BSTR}, {503779, Index, VT_BSTR},
    {503780, None, VT_I4},  {503781, None, VT_I4},  {503782, Index, VT_BOOL},
    {503783, Index, VT_BOOL}, {503784, None, VT_BOOL}, {503785, None, VT_BOOL},
    {503786, None, VT_BOOL}, {503787, None, VT_I4},  {503788, Text, VT_I4},
    {503789, None, VT_I4},  {503790, None, VT_DISPATCH}, {503791, None, VT_DISPATCH},
    {503792, None, VT_BSTR}, {503793, None, VT_EMPTY}, {503794, None, VT_EMPTY},
    {503795, None, VT_EMPTY}, {503796, None, VT_EMPTY}, {503797, None, VT_EMPTY},
    {503798, None, VT_EMPTY}, {503799, Index, VT_EMPTY}, {503800, None, VT_BOOL},
    {503801, None, VT_BOOL}, {503802, None, VT_BOOL}, {503803, None, VT_BOOL},
    {503804, None, VT_BOOL}, {503805, Text, VT_I4},  {503806, None, VT_EMPTY},
    {503807, IndexAndText, VT_BOOL}, {503808, Index, VT_BSTR},
    {503809, NullObject, VT_BOOL}, {503810, None, VT_BOOL}, {503811, None, VT_EMPTY},
    {503812, None, VT_EMPTY}, {503813, None, VT_BOOL}, {503814, Index, VT_EMPTY},
    {503816, ThreeTexts, VT_BOOL}, {503817, None, VT_BOOL}, {503818, Index, VT_I4},
    {503819, NullObject, VT_EMPTY}, {503820, None, VT_BOOL}, {503821, None, VT_BSTR},
    {503822, Text, VT_EMPTY},
    {508552, SpaceAndAddress, VT_I4}, {508553, SpaceAddressHandle, VT_BOOL},
    {508554, Index, VT_I8}, {509312, None, VT_BSTR}, {509376, None, VT_DISPATCH},
    {509427, None, VT_DISPATCH}, {509470, None, VT_DISPATCH}, {509981, Index, VT_DISPATCH},
    {1023, Text, VT_BOOL},
};

TEST(DispatchConformance, EveryRowAnswersWithItsResultType) {
  auto driver = Driver(kKind1200HC);
  ASSERT_TRUE(driver);
  for (const RowCase& row : kRows) {
    SCOPED_TRACE("DISPID " + std::to_string(row.id));
    CallResult call = Call(driver.Get(), row.id, row.args());
    EXPECT_EQ(call.status, S_OK) << call.error;
    EXPECT_EQ(call.value.Type(), row.result);
  }
}

TEST(DispatchConformance, ProcedureRowsLeaveAnEmptyResultEmpty) {
  auto driver = Driver(kKind1200HC);
  for (DISPID id : {503759, 503762, 503793, 503806, 503812}) {
    CallResult call = Call(driver.Get(), id);
    EXPECT_EQ(call.status, S_OK);
    EXPECT_TRUE(call.value.IsEmpty()) << id;
  }
}

TEST(DispatchConformance, UnknownDispIdsAreNotImplementedAndLeaveTheResult) {
  auto driver = Driver(kKind1200HC);
  for (DISPID id : {0, 1022, 1024, 503378, 503425, 503752, 503823, 508551, 509982, -1}) {
    CallResult call = Call(driver.Get(), id, {}, Variant::Int(1234));
    EXPECT_EQ(call.status, E_NOTIMPL) << id;
    EXPECT_EQ(call.value.Type(), VT_I4);
    EXPECT_EQ(call.value.Raw()->lVal, 1234);
  }
}

TEST(DispatchConformance, SupportsServiceByNameInAnyCase) {
  auto driver = Driver(kKind1200HC);
  const std::pair<const char*, bool> cases[] = {
      {"TalvoDriver", true},       {"talvodriver", true}, {"DeviceInformation", true},
      {"DEVICEINFORMATION", true}, {"", false},           {"TalvoDriverX", false},
      {"DevicePin", false},
  };
  for (const auto& [name, expected] : cases) {
    CallResult call = Call(driver.Get(), plugin::kDispId_SupportsService, {Variant::String(name)});
    ASSERT_EQ(call.status, S_OK);
    EXPECT_EQ(ToBool(*call.value.Raw()), expected) << name;
  }
  // The same answers through the ISupportService interface itself.
  plugin::ISupportService* support = nullptr;
  ASSERT_EQ(driver->QueryInterface(plugin::kIID_ISupportService, reinterpret_cast<void**>(&support)),
            S_OK);
  BSTR name = automation::AllocBstr("talvoDRIVER");
  VARIANT_BOOL flag = VARIANT_FALSE;
  EXPECT_EQ(support->SupportsService(name, &flag), S_OK);
  EXPECT_EQ(flag, VARIANT_TRUE);
  EXPECT_EQ(support->SupportsService(nullptr, &flag), S_OK);
  EXPECT_EQ(flag, VARIANT_FALSE);
  SysFreeString(name);
}

TEST(DispatchConformance, ArgumentConversions) {
  auto driver = Driver(kKind1200HC);
  // An integer argument given as text holding a number.
  EXPECT_EQ(Call(driver.Get(), 503411, {Variant::String("3")}).status, S_OK);
  EXPECT_EQ(Call(driver.Get(), 503818, {Variant::Double(2.5)}).status, S_OK);
  // A 64-bit value of which only the low 32 bits are used is accepted whole.
  EXPECT_EQ(Call(driver.Get(), 503766, {Variant::Int(0), Variant::Int64(0x1FFFFFFFFll)}).status,
            S_OK);
  // Numbers for a string argument become their text.
  CallResult supports = Call(driver.Get(), 503761, {Variant::Int(17)});
  EXPECT_EQ(supports.status, S_OK);
  EXPECT_TRUE(ToBool(*supports.value.Raw()));
}

TEST(DispatchConformance, FailedConversionsWriteNoResult) {
  auto driver = Driver(kKind1200HC);
  struct Case {
    DISPID id;
    std::vector<Variant> args;
    HRESULT status;
    UINT argErr;
  };
  std::vector<Case> cases;
  cases.push_back({503411, {}, DISP_E_BADPARAMCOUNT, 0xFFFFFFFFu});
  cases.push_back({503411, {Variant::String("three")}, DISP_E_TYPEMISMATCH, 0});
  cases.push_back({503411, {Variant::Int64(0x100000000ll)}, DISP_E_OVERFLOW, 0});
  cases.push_back({503766, {Variant::String("x"), Variant::Int(1)}, DISP_E_TYPEMISMATCH, 1});
  cases.push_back({503754, {Variant::Int(5)}, DISP_E_TYPEMISMATCH, 0});
  cases.push_back({508553, {Variant::Int(0), Variant::Int(0)}, DISP_E_BADPARAMCOUNT, 0xFFFFFFFFu});
  for (Case& c : cases) {
    SCOPED_TRACE("DISPID " + std::to_string(c.id));
    CallResult call = Call(driver.Get(), c.id, std::move(c.args), Variant::Int(77));
    EXPECT_EQ(call.status, c.status);
    EXPECT_EQ(call.argErr, c.argErr);
    EXPECT_EQ(call.value.Type(), VT_I4);
    EXPECT_EQ(call.value.Raw()->lVal, 77);
  }
}

TEST(DispatchConformance, MissingParamsOrResultSlotIsAnErrorNotACrash) {
  auto driver = Driver(kKind1200HC);
  VARIANT result;
  VariantInit(&result);
  EXPECT_EQ(driver->Invoke(503411, automation::kIID_NULL, 0, DISPATCH_METHOD, nullptr, &result,
                           nullptr, nullptr),
            DISP_E_BADPARAMCOUNT);
  DISPPARAMS none{nullptr, nullptr, 0, 0};
  EXPECT_EQ(driver->Invoke(503380, automation::kIID_NULL, 0, DISPATCH_METHOD, &none, nullptr,
                           nullptr, nullptr),
            E_POINTER);
  // Rows without arguments need no DISPPARAMS; procedures need no result.
  EXPECT_EQ(driver->Invoke(503380, automation::kIID_NULL, 0, DISPATCH_METHOD, nullptr, &result,
                           nullptr, nullptr),
            S_OK);
  VariantClear(&result);
  EXPECT_EQ(driver->Invoke(503762, automation::kIID_NULL, 0, DISPATCH_METHOD, nullptr, nullptr,
                           nullptr, nullptr),
            S_OK);
  // A count of arguments without the arguments: GetDevicePin, and
  // CustomAction_GetState, which reads its references on its own.
  for (const auto& [id, count] : {std::pair<DISPID, UINT>{503411, 1}, {503815, 6}}) {
    DISPPARAMS countOnly{nullptr, nullptr, count, 0};
    EXPECT_EQ(driver->Invoke(id, automation::kIID_NULL, 0, DISPATCH_METHOD, &countOnly, &result,
                             nullptr, nullptr),
              DISP_E_BADPARAMCOUNT)
        << id;
    EXPECT_EQ(result.vt, VT_EMPTY);
  }
}

TEST(DispatchConformance, ObjectArgumentThroughAChainOfVariantReferencesIsRefused) {
  auto driver = Driver(kKind1200HC);
  // A VARIANT reference must lead to a VARIANT holding the object, not to
  // another reference; one pointing at itself would never end.
  VARIANT self;
  self.vt = VT_VARIANT | VT_BYREF;
  self.pvarVal = &self;
  VARIANT inner;
  inner.vt = VT_VARIANT | VT_BYREF;
  inner.pvarVal = &self;
  VARIANT outer;
  outer.vt = VT_VARIANT | VT_BYREF;
  outer.pvarVal = &inner;
  for (VARIANT* arg : {&self, &outer}) {
    DISPPARAMS params{arg, nullptr, 1, 0};
    Variant result = Variant::Int(5);
    UINT argErr = 0xFFFFFFFFu;
    EXPECT_EQ(driver->Invoke(503754, automation::kIID_NULL, 0, DISPATCH_METHOD, &params,
                             result.Raw(), nullptr, &argErr),
              DISP_E_TYPEMISMATCH);  // SetTalvoDevice
    EXPECT_EQ(argErr, 0u);
    EXPECT_EQ(result.Type(), VT_I4);
  }
  EXPECT_EQ(Call(driver.Get(), 503753).value.Raw()->pdispVal, nullptr);  // still unbound
}

TEST(DispatchConformance, PropertyGetAndMethodCallsAnswerAlike) {
  auto driver = Driver(kKind1200HC);
  for (WORD flags : {WORD(DISPATCH_METHOD), WORD(DISPATCH_PROPERTYGET),
                     WORD(DISPATCH_METHOD | DISPATCH_PROPERTYGET)}) {
    VARIANT result;
    VariantInit(&result);
    DISPPARAMS none{nullptr, nullptr, 0, 0};
    ASSERT_EQ(driver->Invoke(503380, automation::kIID_NULL, 0, flags, &none, &result, nullptr, nullptr),
              S_OK);
    EXPECT_EQ(automation::FromBstr(result.bstrVal), "LCMXO2-1200HC-4TG100C");
    VariantClear(&result);
  }
}

TEST(Exports, CountAndFactoryLimits) {
  const host::ModuleLoader& module = Host().Module();
  int32_t count = -1;
  EXPECT_EQ(module.RawGetCount()(&count), S_OK);
  EXPECT_EQ(count, 420);
  for (int32_t kind : {-1, 420, INT32_MIN, INT32_MAX}) {
    IDispatch* driver = reinterpret_cast<IDispatch*>(0x1);
    EXPECT_EQ(module.RawGetDriver()(kind, &driver), S_OK) << kind;
    EXPECT_EQ(driver, nullptr) << kind;
  }
  EXPECT_EQ(module.RawGetDriver()(0, nullptr), E_POINTER);
  EXPECT_EQ(module.RawGetCount()(nullptr), E_POINTER);
}

TEST(Exports, FirstAndLastKinds) {
  CallResult first = Call(Driver(0).Get(), 503380);
  CallResult last = Call(Driver(419).Get(), 503380);
  EXPECT_EQ(ToString(*first.value.Raw()), "LCMXO2-256HC-4UMG64C");
  EXPECT_EQ(ToString(*last.value.Raw()), "LCMXO2-7000ZE-3FG484I");
}

TEST(Exports, DriversAnswerTheirInterfacesAndIgnoreReferenceCounts) {
  auto driver = Driver(kKind1200HC);
  const GUID answered[] = {automation::kIID_IUnknown, automation::kIID_IDispatch,
                           plugin::kIID_ISupportService, plugin::kIID_IDriverMemoryAccess};
  for (const GUID& iid : answered) {
    void* object = nullptr;
    EXPECT_EQ(driver->QueryInterface(iid, &object), S_OK);
    EXPECT_NE(object, nullptr);
  }
  void* other = reinterpret_cast<void*>(0x1);
  EXPECT_EQ(driver->QueryInterface(plugin::kIID_IDispTalvoDriver, &other), E_NOINTERFACE);
  EXPECT_EQ(other, nullptr);
  for (int i = 0; i < 10; ++i) EXPECT_EQ(driver->Release(), static_cast<ULONG>(-1));
  EXPECT_EQ(driver->AddRef(), static_cast<ULONG>(-1));
  EXPECT_EQ(ToString(*Call(driver.Get(), 503380).value.Raw()), "LCMXO2-1200HC-4TG100C");
  // Two factory calls give two independent drivers.
  EXPECT_NE(Driver(kKind1200HC).Get(), driver.Get());
}

TEST(Exports, MemoryAccessDefaultsToFalse) {
  auto driver = Driver(kKind1200HC);
  plugin::IDriverMemoryAccess* memory = nullptr;
  ASSERT_EQ(driver->QueryInterface(plugin::kIID_IDriverMemoryAccess, reinterpret_cast<void**>(&memory)),
            S_OK);
  int32_t flag = 5;
  EXPECT_EQ(memory->MemoryRead(1, 2, 3, 4, 5, &flag), S_OK);
  EXPECT_EQ(flag, 0);
  flag = 5;
  EXPECT_EQ(memory->MemoryWrite(1, 2, 3, 4, 5, &flag), S_OK);
  EXPECT_EQ(flag, 0);
  EXPECT_EQ(memory->MemoryRead(1, 2, 3, 4, 5, nullptr), E_POINTER);
}

}  // namespace
}  // namespace boundary
