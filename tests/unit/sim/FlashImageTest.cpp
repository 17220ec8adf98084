// The chip model's flash image: a programmed chip survives a save and a
// load, and a damaged or foreign image is refused with its line.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "sim/FlashImage.h"
#include "sim/MachXO2Device.h"
#include "sim/MachXO2Status.h"
#include "tests/unit/sim/TapScript.h"
#include "tests/unit/support/ScratchFolder.h"

namespace {

sim::MachXO2Part Part(const char* name) { return *sim::FindMachXO2Part(name); }

sim::MachXO2Flash ProgrammedFlash() {
  sim::MachXO2Flash flash = sim::MachXO2Flash::Erased(*Part("LCMXO2-640HC").die);
  flash.configuration[0][0] = 0x81;
  flash.configuration[1150][15] = 0x80;  // the last bit of the last page
  flash.userFlash[190][3] = 0x10;
  flash.featureRow[7] = 0x42;
  flash.featureBits = 0x0420;
  flash.userCode = 0xCAFE0001;
  flash.done = true;
  flash.securityPlus = true;
  return flash;
}

TEST(SimFlashImage, RoundTripsEveryField) {
  const sim::MachXO2Part part = Part("LCMXO2-640HC");
  const sim::MachXO2Flash flash = ProgrammedFlash();
  const std::string text = sim::FormatFlashImage(part, flash);
  EXPECT_EQ(sim::ParseFlashImage(part, text, "image"), flash);
  // Pages are listed in wire order, only when programmed.
  EXPECT_NE(text.find("\ncfg 0 10000001000"), std::string::npos) << text;
  EXPECT_NE(text.find("\nufm 190 "), std::string::npos);
  EXPECT_EQ(text.find("\ncfg 2 "), std::string::npos);
}

TEST(SimFlashImage, RefusesDamagedAndForeignImagesNamingTheLine) {
  const sim::MachXO2Part part = Part("LCMXO2-640HC");
  const std::string good = sim::FormatFlashImage(part, ProgrammedFlash());
  auto replaced = [&](const std::string& from, const std::string& to) {
    std::string text = good;
    text.replace(text.find(from), from.size(), to);
    return text;
  };
  struct Case {
    const char* what;
    std::string text;
    const char* message;
  };
  const Case cases[] = {
      {"another part", replaced("part LCMXO2-640HC", "part LCMXO2-640ZE"), "image:3: the image is of an LCMXO2-640ZE"},
      {"page outside the flash", replaced("cfg 1150 ", "cfg 1151 "), "out of range"},
      {"short page", replaced("ufm 190 0", "ufm 190 "), "127 bits where 128"},
      {"not a bit", replaced("feature 0", "feature x"), "'x' at bit 0"},
      {"pages out of order", replaced("cfg 1150 ", "cfg 0 "), "out of order or given twice"},
      {"truncated", good.substr(0, good.find("end")), "no \"end\" line"},
      {"not an image", "hello\n", "not a chip-model flash image"},
      {"unknown entry", replaced("done 1", "dune 1"), "unknown entry \"dune\""},
  };
  for (const Case& c : cases) {
    try {
      sim::ParseFlashImage(part, c.text, "image");
      ADD_FAILURE() << c.what << ": no error";
    } catch (const std::runtime_error& e) {
      EXPECT_NE(std::string(e.what()).find(c.message), std::string::npos) << c.what << ": " << e.what();
    }
  }
  // The 256 has no user flash at all.
  EXPECT_THROW(sim::ParseFlashImage(Part("LCMXO2-256HC"),
                                    "mxo2-sim-flash 1\nufm 0 " + std::string(128, '0') + "\nend\n",
                                    "image"),
               std::runtime_error);
}

TEST(SimFlashImage, AProgrammedChipKeepsItsDesignAcrossRuns) {
  testsupport::ScratchFolder folder;
  const std::string path = (folder.Path() / "chip.mxo2flash").string();
  {
    auto chip = sim::MachXO2Device::ForPart("LCMXO2-640HC");
    chip->LoadFlash(ProgrammedFlash());
    sim::SaveFlashImage(path, chip->Part(), chip->Flash());
  }
  EXPECT_FALSE(std::filesystem::exists(path + ".tmp"));
  auto chip = sim::MachXO2Device::ForPart("LCMXO2-640HC-4TG100C");
  chip->LoadFlash(sim::LoadFlashImage(path, chip->Part()));
  EXPECT_EQ(chip->Flash(), ProgrammedFlash());
  // It powers up configured, as a chip with DONE programmed does.
  simtest::TapScript tap(*chip);
  tap.Reset();
  tap.ScanIR(sim::mxo2op::kReadStatus);
  EXPECT_EQ(tap.ScanDRValue(0, 32), sim::mxo2status::kDone);

  EXPECT_THROW(sim::LoadFlashImage((folder.Path() / "missing").string(), chip->Part()),
               std::runtime_error);
  EXPECT_THROW(chip->LoadFlash(sim::MachXO2Flash::Erased(*Part("LCMXO2-1200HC").die)),
               std::invalid_argument);
}

}  // namespace
