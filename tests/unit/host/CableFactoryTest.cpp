// Cables made from the text a user gives.
#include <gtest/gtest.h>

#include <string>

#include "host/cables/CableFactory.h"
#include "host/cables/XvcCable.h"

namespace {

TEST(SimCableFactory, MakesEachKindOfCable) {
  struct Case {
    const char* url;
    const char* name;
    size_t simChips;
  };
  const Case cases[] = {
      {"sim", "simulated chain", 1},
      {"sim:LCMXO2-256HC,lcmxo2-7000he-4tg144c", "simulated chain", 2},
      {"xvc://127.0.0.1:2542", "xvc 127.0.0.1:2542", 0},
      {"xvc://localhost:3000?tck_period_ns=250", "xvc localhost:3000", 0},
      {"rbb://127.0.0.1:44853", "rbb 127.0.0.1:44853", 0},
  };
  for (const Case& c : cases) {
    const host::CableTarget target = host::MakeCable(c.url, "LCMXO2-1200HC-4TG100C");
    EXPECT_EQ(target.cable->Name(), c.name) << c.url;
    EXPECT_EQ(target.simChips.size(), c.simChips) << c.url;
  }
  const host::CableTarget two = host::MakeCable("sim:LCMXO2-256HC,LCMXO2-7000HE", "");
  EXPECT_EQ(two.simChips[1]->Part().idCode, 0x012B5043u);
}

TEST(SimCableFactory, RefusesWhatItCannotMake) {
  struct Case {
    const char* url;
    const char* defaultDevice;
    const char* message;
  };
  const Case cases[] = {
      {"sim", "", "no device to simulate"},
      {"sim:LFXP2-5E", "", "not a MachXO2 part the chip model knows"},
      {"sim:LCMXO2-256HC,", "", "an empty device name"},
      {"xvc://127.0.0.1", "", "HOST:PORT expected"},
      {"xvc://127.0.0.1:70000", "", "port 70000 is out of range"},
      {"xvc://127.0.0.1:0", "", "port 0"},
      {"xvc://h:1?speed=3", "", "unknown option"},
      {"rbb://h:1?x=1", "", "takes no options"},
      {"ftdi://0403:6010", "", "unknown cable"},
  };
  for (const Case& c : cases) {
    try {
      host::MakeCable(c.url, c.defaultDevice);
      ADD_FAILURE() << c.url << ": no error";
    } catch (const std::invalid_argument& e) {
      const std::string message = e.what();
      EXPECT_NE(message.find(c.message), std::string::npos) << c.url << ": " << message;
      EXPECT_NE(message.find("accepted: sim"), std::string::npos) << message;
    }
  }
}

}  // namespace
