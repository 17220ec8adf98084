#include "hostsdk/FileHostContext.h"

#include "hostsdk/HostServices.h"

namespace hostsdk {

FileHostContext FileHostContext::FromHost() {
  HostServices& host = HostServices::Instance();
  return FileHostContext{host.Workspace(), host.SilentMode(), ThisMachine()};
}

}  // namespace hostsdk
