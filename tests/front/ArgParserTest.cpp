#include <gtest/gtest.h>

#include "front/ArgParser.h"

using hovrak::arg_parser;

TEST(ArgParser, ValuesJoinedOrInTheNextArgument) {
  const arg_parser joined({"-sword", "a.txt"}, "fmsK");
  EXPECT_EQ(joined.value('s'), "word");
  EXPECT_EQ(joined.plain(), std::vector<std::string>{"a.txt"});
  const arg_parser next({"-s", "word", "b"}, "fmsK");
  EXPECT_EQ(next.value('s'), "word");
  EXPECT_EQ(next.plain(), std::vector<std::string>{"b"});
  // Flags before the value option in the same argument are all set.
  const arg_parser combined({"-rs", "word"}, "fmsK");
  EXPECT_TRUE(combined.has('r'));
  EXPECT_EQ(combined.value('s'), "word");
  const arg_parser flags({"-rl"}, "fmsK");
  EXPECT_TRUE(flags.has('r'));
  EXPECT_TRUE(flags.has('l'));
  EXPECT_FALSE(flags.has('s'));
}

TEST(ArgParser, PendingValueSurvivesALaterSwitch) {
  const arg_parser p({"-s", "-r", "word", "path"}, "fmsK");
  EXPECT_EQ(p.value('s'), "word");
  EXPECT_TRUE(p.has('r'));
  EXPECT_EQ(p.plain(), std::vector<std::string>{"path"});
}

TEST(ArgParser, MissingValueAndRepeatedOccurrences) {
  const arg_parser last({"x", "-s"}, "fmsK");
  EXPECT_TRUE(last.has('s'));
  EXPECT_EQ(last.value('s'), "");
  const arg_parser twice({"-Kun", "-Ks", "-m", "r"}, "fmsK");
  EXPECT_EQ(twice.count('K'), 2u);
  EXPECT_EQ(twice.value('K'), "un");
  EXPECT_EQ(twice.value('K', 1), "s");
  EXPECT_EQ(twice.value('K', 2), "");
  EXPECT_EQ(twice.value('m'), "r");
  EXPECT_EQ(twice.value('z'), "");
  // The rest of a value-option argument is its value, switches included.
  const arg_parser rest({"-s-r"}, "fmsK");
  EXPECT_EQ(rest.value('s'), "-r");
  EXPECT_FALSE(rest.has('r'));
}
