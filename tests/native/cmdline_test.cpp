#include "app/cmdline.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// The first argument, or "<none>".
std::string First(const char* commandLine, size_t size = 64) {
  char out[64];
  return FirstArgument(commandLine, out, size) ? std::string(out) : std::string("<none>");
}

TEST(FirstArgument, SkipsTheProgramName) {
  EXPECT_EQ(First("kwiet.exe"), "<none>");
  EXPECT_EQ(First("kwiet.exe   "), "<none>");
  EXPECT_EQ(First("kwiet.exe 90"), "90");
  EXPECT_EQ(First("kwiet.exe 90 120"), "90");
  EXPECT_EQ(First("\"C:\\Program Files\\Kwiet\\kwiet.exe\" 45"), "45");
  EXPECT_EQ(First(""), "<none>");
  EXPECT_EQ(First(nullptr), "<none>");
}

TEST(FirstArgument, SplitsAtBlanksAndControlCharacters) {
  EXPECT_EQ(First("kwiet.exe\t30"), "30");
  EXPECT_EQ(First("kwiet.exe \r\n 7\t8"), "7");
}

TEST(FirstArgument, QuotesGroupAndAreRemoved) {
  EXPECT_EQ(First("kwiet.exe \"1 2\" 3"), "1 2");
  EXPECT_EQ(First("kwiet.exe 1\"2 3\"4 5"), "12 34");
  EXPECT_EQ(First("kwiet.exe \"\""), "");
  EXPECT_EQ(First("kwiet.exe \"unterminated 9"), "unterminated 9");
}

TEST(FirstArgument, CutsLongArgumentsToTheBuffer) {
  std::string longLine = "kwiet.exe " + std::string(500, '7');
  EXPECT_EQ(First(longLine.c_str(), 8), "7777777");
  EXPECT_EQ(First("kwiet.exe 90", 1), "");
}

}  // namespace
