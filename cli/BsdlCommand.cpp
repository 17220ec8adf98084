#include "cli/BsdlCommand.h"

#include <cstdio>
#include <nlohmann/json.hpp>
#include <stdexcept>

#include "automation/HostCall.h"
#include "bsdl/BSDLEntity.h"
#include "bsdl/BsdlReader.h"
#include "bsdl/BsdlWriter.h"
#include "bsdl/InstructionOpCode.h"
#include "bsdl/ScanPin.h"
#include "host/BsdlFromDispatch.h"

namespace cli {

namespace {

constexpr DISPID kGetIdCode = 503379;
constexpr DISPID kGetBSDLEntity = 503406;

std::string Hex(uint32_t value) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%08X", value);
  return text;
}

}  // namespace

int RunBsdlWrite(DriverSession& session, const std::string& device, const std::string& output) {
  const auto kind = session.FindKind(device);
  if (!kind) throw std::invalid_argument(UnknownDeviceMessage(session, device));
  auto driver = session.Driver(*kind);
  auto source = automation::HostCallDispatch(driver.Get(), kGetBSDLEntity);
  if (!source) throw std::runtime_error(device + " has no built-in boundary-scan description");
  auto entity = host::BsdlEntityFromDispatch(source.Get());
  // The built-in tables leave the IDCODE to the driver; a BSDL file for
  // other tools carries it.
  if (entity->IdCode() == 0)
    entity->SetIdCode(static_cast<uint32_t>(automation::HostCallInt(driver.Get(), kGetIdCode)));
  if (output.empty() || output == "-") {
    std::fputs(bsdl::WriteBsdlText(*entity).c_str(), stdout);
    return 0;
  }
  bsdl::WriteBsdlFile(*entity, output);
  std::fprintf(stderr, "wrote %s (%zu pins, %d cells)\n", output.c_str(), entity->Pins().size(),
               entity->BoundaryLength());
  return 0;
}

int RunBsdlCheck(const std::string& file, bool json) {
  auto entity = bsdl::ReadBsdlFile(file);
  nlohmann::ordered_json report;
  report["file"] = file;
  report["entity"] = entity->Name();
  report["pins"] = entity->Pins().size();
  report["boundaryLength"] = entity->BoundaryLength();
  report["instructionLength"] = entity->InstructionLength();
  report["idcode"] = Hex(entity->IdCode());
  nlohmann::ordered_json instructions = nlohmann::ordered_json::object();
  for (const bsdl::TInstructionOpCode* opCode : entity->InstructionOpCodes())
    instructions[opCode->InstructionName()] = opCode->OpCodePattern();
  report["instructions"] = instructions;
  report["registers"] = entity->RegisterAssociations().size();
  report["tap"] = {
      {"TDI", entity->TAP_TDI() ? entity->TAP_TDI()->PinNumber() : ""},
      {"TDO", entity->TAP_TDO() ? entity->TAP_TDO()->PinNumber() : ""},
      {"TMS", entity->TAP_TMS() ? entity->TAP_TMS()->PinNumber() : ""},
      {"TCK", entity->TAP_TCK() ? entity->TAP_TCK()->PinNumber() : ""},
      {"TRST", entity->TAP_TRST() ? entity->TAP_TRST()->PinNumber() : ""},
  };
  if (json) {
    std::printf("%s\n", report.dump(2).c_str());
    return 0;
  }
  std::printf("%s: entity %s, %zu pins, %d boundary cells, %zu instructions, %zu registers\n",
              file.c_str(), entity->Name().c_str(), entity->Pins().size(), entity->BoundaryLength(),
              entity->InstructionOpCodes().size(), entity->RegisterAssociations().size());
  std::printf("  IDCODE %s, instruction length %d, TAP TDI %s TDO %s TMS %s TCK %s\n",
              Hex(entity->IdCode()).c_str(), entity->InstructionLength(),
              report["tap"]["TDI"].get<std::string>().c_str(),
              report["tap"]["TDO"].get<std::string>().c_str(),
              report["tap"]["TMS"].get<std::string>().c_str(),
              report["tap"]["TCK"].get<std::string>().c_str());
  return 0;
}

}  // namespace cli
