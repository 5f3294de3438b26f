#include "text/char_classes.h"

#include <gtest/gtest.h>

namespace tallo {
namespace {

TEST(ClassifyTokenEnd, ByLastCharacter) {
  EXPECT_EQ(ClassifyTokenEnd(""), TokenEnd::Other);
  EXPECT_EQ(ClassifyTokenEnd("e"), TokenEnd::LoneE);
  EXPECT_EQ(ClassifyTokenEnd("ee"), TokenEnd::Letter);
  EXPECT_EQ(ClassifyTokenEnd("-3"), TokenEnd::Number);
  EXPECT_EQ(ClassifyTokenEnd("5."), TokenEnd::Number);
  EXPECT_EQ(ClassifyTokenEnd("Group1"), TokenEnd::Number);
  EXPECT_EQ(ClassifyTokenEnd("12+"), TokenEnd::Sign);
  EXPECT_EQ(ClassifyTokenEnd("a_"), TokenEnd::Letter);  // code 95 is a name character
  EXPECT_EQ(ClassifyTokenEnd("sqrt("), TokenEnd::Open);
  EXPECT_EQ(ClassifyTokenEnd("))"), TokenEnd::Close);
  EXPECT_EQ(ClassifyTokenEnd("*/"), TokenEnd::MulDiv);
  EXPECT_EQ(ClassifyTokenEnd(","), TokenEnd::Comma);
  EXPECT_EQ(ClassifyTokenEnd("="), TokenEnd::Equals);
  EXPECT_EQ(ClassifyTokenEnd("{"), TokenEnd::Other);
  EXPECT_EQ(ClassifyTokenEnd("a\t"), TokenEnd::Other);
}

TEST(CharClasses, BoundariesOfTheNameRun) {
  EXPECT_EQ(ClassifyWorksheetChar('@'), WorksheetChar::Other);  // code 64
  EXPECT_EQ(ClassifyWorksheetChar('A'), WorksheetChar::Letter);
  EXPECT_EQ(ClassifyWorksheetChar('^'), WorksheetChar::Letter);
  EXPECT_EQ(ClassifyWorksheetChar('z'), WorksheetChar::Letter);
  EXPECT_EQ(ClassifyWorksheetChar('{'), WorksheetChar::Other);  // code 123
  EXPECT_EQ(ClassifyWorksheetChar('\t'), WorksheetChar::Other);
  EXPECT_EQ(ClassifyWorksheetChar('-'), WorksheetChar::Number);
  EXPECT_EQ(ClassifyExpressionChar('('), ExpressionChar::Letter);
  EXPECT_EQ(ClassifyExpressionChar('{'), ExpressionChar::Brace);
  EXPECT_EQ(ClassifyExpressionChar('\x7f'), ExpressionChar::Brace);
  EXPECT_EQ(ClassifyExpressionChar('\xc3'), ExpressionChar::Other);
}

TEST(Utf8CharLength, WholeCharacters) {
  EXPECT_EQ(Utf8CharLength("a", 0), 1u);
  EXPECT_EQ(Utf8CharLength("\xc3\xa9x", 0), 2u);          // é
  EXPECT_EQ(Utf8CharLength("\xe2\x82\xac", 0), 3u);       // €
  EXPECT_EQ(Utf8CharLength("\xf0\x9f\x98\x80", 0), 4u);   // an emoji
  EXPECT_EQ(Utf8CharLength("\xe2\x82", 0), 2u);           // cut short by the end
  EXPECT_EQ(Utf8CharLength("\xe2" "a", 0), 1u);           // cut short by ASCII
  EXPECT_EQ(Utf8CharLength("\xa9", 0), 1u);               // a stray continuation byte
  EXPECT_EQ(Utf8CharLength("\xff\x80", 0), 1u);           // not a lead byte
}

}  // namespace
}  // namespace tallo
