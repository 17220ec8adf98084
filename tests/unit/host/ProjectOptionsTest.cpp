// A project's option storage as the module uses it: values written by DISPID
// are saved to the project's options file at once and read back unchanged
// by the next session that opens the file.
#include <gtest/gtest.h>

#include <string>

#include "automation/HostCall.h"
#include "host/Project.h"
#include "hostsdk/HostDispIds.h"
#include "tests/unit/support/ScratchFolder.h"

namespace {

namespace id = hostsdk::dispid;
using automation::HostCallString;
using automation::HostCallVoid;
using automation::Variant;
using testsupport::ScratchFolder;

struct StoredValue {
  const char* name;
  const char* value;
};

// Values as the module writes them: blanks at either end are part of a tool
// option, custom texts span lines, and folders carry backslashes.
constexpr StoredValue kValues[] = {
    {"Trailing", "-opt fast  "},
    {"Leading", "  indented"},
    {"Lines", "first line\r\nsecond line\nthird"},
    {"Folder", "C:\\Tools\\new\\"},
    {"Escaped", "\\n is not a line break"},
    {"Empty", ""},
};

TEST(ProjectOptions, EveryValueReadsBackUnchangedFromTheFile) {
  ScratchFolder folder;
  const std::string file = folder.File("design.opts");
  {
    auto storage = host::MakeHostObject<host::OptionsStorage>(file);
    for (const StoredValue& entry : kValues)
      HostCallVoid(storage->AsDispatch(), id::kOptions_Write,
                   {Variant::String("Tool"), Variant::String(entry.name),
                    Variant::String(entry.value)});
  }
  auto reopened = host::MakeHostObject<host::OptionsStorage>(file);
  for (const StoredValue& entry : kValues)
    EXPECT_EQ(HostCallString(reopened->AsDispatch(), id::kOptions_Read,
                             {Variant::String("tool"), Variant::String(entry.name),
                              Variant::String("<missing>")}),
              entry.value)
        << entry.name;
}

TEST(ProjectOptions, AHandWrittenFileWithWindowsLineEndsReads) {
  ScratchFolder folder;
  const std::string file = folder.File("design.opts");
  testsupport::WriteWholeFile(file, "; by hand\r\n[Tool]\r\nFolder=C:\\Tools\\bin\r\n Name = x\r\n");
  auto storage = host::MakeHostObject<host::OptionsStorage>(file);
  EXPECT_EQ(storage->Read("tool", "folder", ""), "C:\\Tools\\bin");
  EXPECT_EQ(storage->Read("tool", "name", ""), " x");
}

}  // namespace
