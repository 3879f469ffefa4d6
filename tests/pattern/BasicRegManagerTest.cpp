#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

#include "pattern/BasicRegManager.h"

using hovrak::reg_manager;

TEST(BasicRegManagerTest, FirstOrEveryMatchWithGroups) {
  reg_manager re;
  ASSERT_TRUE(re.match("a1 b22 c333", "([a-z])(\\d+)"));
  ASSERT_EQ(re.size(), 1u);
  EXPECT_EQ(re.groups(), 3u);
  EXPECT_EQ(re.str(), "a1");
  EXPECT_EQ(re.str(0, 2), "1");

  ASSERT_TRUE(re.match("a1 b22 c333", "([a-z])(\\d+)", "g"));
  ASSERT_EQ(re.size(), 3u);
  EXPECT_EQ(re.str(2), "c333");
  EXPECT_EQ(re.str(1, 1), "b");
  EXPECT_EQ(re.position(1), 3u);
  EXPECT_EQ(re.length(2, 2), 3u);

  // Out of range and unmatched groups read as empty.
  EXPECT_EQ(re.str(3), "");
  EXPECT_EQ(re.str(0, 9), "");
  EXPECT_EQ(re.groups(7), 0u);
  ASSERT_TRUE(re.match("x", "(a)?x"));
  EXPECT_FALSE(re.matched(0, 1));
  EXPECT_EQ(re.position(0, 1), reg_manager::npos);
  EXPECT_TRUE(re.matched(0, 0));

  EXPECT_FALSE(re.match("abc", "\\d"));
  EXPECT_EQ(re.size(), 0u);
  EXPECT_EQ(re.str(), "");
}

TEST(BasicRegManagerTest, IgnoreCaseAndWholeMatch) {
  reg_manager re;
  EXPECT_FALSE(re.match("ABC", "b"));
  EXPECT_TRUE(re.match("ABC", "b", "i"));
  EXPECT_EQ(re.position(), 1u);
  // The compiled expression is reused only with the same case rule.
  EXPECT_FALSE(re.match("ABC", "b"));

  EXPECT_FALSE(re.match_whole("xabc", "abc"));
  EXPECT_TRUE(re.match_whole("abc", "a.c"));
  EXPECT_TRUE(re.match_whole("ABC", "abc", "i"));
  // A lazy group still has to reach the end of the text.
  ASSERT_TRUE(re.match_whole("\"a b\" c \"d\"", "(\"(.*?)\"|([^\\s\"]+))\\s+(.*)"));
  EXPECT_EQ(re.str(0, 2), "a b");
  EXPECT_EQ(re.str(0, 4), "c \"d\"");
}

TEST(BasicRegManagerTest, ReplaceFirstOrEvery) {
  reg_manager re;
  EXPECT_EQ(re.replace("a-b-c", "-", "+"), "a+b-c");
  EXPECT_EQ(re.replace("a-b-c", "-", "+", "g"), "a+b+c");
  EXPECT_EQ(re.replace("a\r\nb\nc\r", "[\\r\\n]", "", "g"), "abc");
  EXPECT_EQ(re.replace("abc", "x", "y", "g"), "abc");
  EXPECT_EQ(re.replace("ABA", "a", "x", "gi"), "xBx");
  // Empty matches are each replaced once, the text between them kept.
  EXPECT_EQ(re.replace("ab", "x*", "-", "g"), "-a-b-");
  // Bytes of UTF-8 text pass through.
  EXPECT_EQ(re.replace("東京と京都", "京", "[\\0]", "g"), "東[京]と[京]都");
}

TEST(BasicRegManagerTest, FormatGroupsEscapesAndCase) {
  reg_manager re;
  EXPECT_EQ(re.replace("key=value", "(\\w+)=(\\w+)", "\\2=\\1"), "value=key");
  // One digit only: \10 is group 1 followed by 0; a missing group gives nothing.
  EXPECT_EQ(re.replace("ab", "(a)(b)", "\\10\\9|\\0"), "a0|ab");
  EXPECT_EQ(re.replace("x", "x", "1\\n2\\t3"), "1\n2\t3");
  // Any other escaped character stands for itself; a trailing backslash is dropped.
  EXPECT_EQ(re.replace("x", "x", "\\\\\\$\\r\\a\\"), "\\$ra");
  EXPECT_EQ(re.replace("abc", "(abc)", "\\u\\1"), "Abc");
  EXPECT_EQ(re.replace("abc", "(abc)", "\\U\\1\\E-\\1"), "ABC-abc");
  EXPECT_EQ(re.replace("ABC", "(ABC)", "\\l\\1 \\L\\1 x\\Ey"), "aBC abc xy");
  EXPECT_EQ(re.replace("abc", "(abc)", "[\\1]\\t"), "[abc]\t");
  // \u before an empty group waits for the next non-empty piece.
  EXPECT_EQ(re.replace("b", "(a?)(b)", "\\u\\1\\2"), "B");
  // Only ASCII letters change case.
  EXPECT_EQ(re.replace("äb日", "(.*)", "\\U\\1"), "äB日");
}

TEST(BasicRegManagerTest, ContinuesWhereThePreviousMatchEnded) {
  reg_manager re;
  // \G finds adjacent sequences one after the other.
  const std::string expression = "((\\G|[^\\\\])(\\\\\\\\)*)(\\\\n)";
  EXPECT_EQ(re.replace("\\n\\n", expression, "\\1<LF>", "g"), "<LF><LF>");
  EXPECT_EQ(re.replace("a\\\\n", expression, "\\1<LF>", "g"), "a\\\\n");
  EXPECT_EQ(re.replace("a\\\\\\n", expression, "\\1<LF>", "g"), "a\\\\<LF>");
}

TEST(BasicRegManagerTest, Errors) {
  reg_manager re;
  EXPECT_THROW(re.match("abc", "(a"), boost::regex_error);
  EXPECT_THROW(re.replace("abc", "a", "b", "x"), std::invalid_argument);
  // The manager stays usable after an error.
  EXPECT_TRUE(re.match("abc", "b"));
  EXPECT_EQ(re.str(), "b");
}
