// Number words: groups, group names, joiners and the word file names.
#include "voice/number_words.h"

#include <gtest/gtest.h>

#include "console/text_encoding.h"

namespace quipular {
namespace {

TEST(NumberWords, WholeNumbers) {
  struct {
    long long value;
    const char* words;
  } cases[] = {
      {0, "zero"},
      {5, "cinco"},
      {17, "dezessete"},
      {21, "vinte e um"},
      {100, "cem"},
      {101, "cento e um"},
      {110, "cento e dez"},
      {121, "cento e vinte e um"},
      {200, "duzentos"},
      {1000, "mil "},
      {1100, "mil e cem"},
      {2345, "dois mil e trezentos e quarenta e cinco"},
      {1000000, "um milhão "},
      {1000001, "um milhão e um"},
      {1001000, "um milhão e um mil "},
      {1002003, "um milhão dois mil e tres"},
      {2000000, "dois milhões "},
      {2000000000, "dois bilhões "},
      {2147483647,
       "dois bilhões cento e quarenta e sete milhões quatrocentos e oitenta e tres mil "
       "e seiscentos e quarenta e sete"},
  };
  for (const auto& c : cases) EXPECT_EQ(Utf8(NumberToWords(c.value)), c.words) << c.value;
}

TEST(NumberWords, Groups) {
  EXPECT_EQ(GroupToWords("000"), "");
  EXPECT_EQ(GroupToWords("021"), "vinte e um");
  EXPECT_EQ(GroupToWords("005"), "cinco");
  EXPECT_EQ(GroupToWords("910"), "novecentos e dez");
}

TEST(NumberWords, FileNames) {
  struct {
    const char* word;
    const char* file;
  } cases[] = {
      {"um", "_um"},
      {"e", "_e"},
      {"cem", "_cem"},
      {"quatrocentos", "_quatroc"},
      {"quatorze", "_quatorz"},
      {"dezesseis", "_dezesse"},
      {"dezessete", "_dezeset"},
      {"milhão", "_milhao"},
      {"milhões", "_milhoes"},
      {"trilhões", "_trilhoe"},
  };
  for (const auto& c : cases) EXPECT_EQ(WordFileName(Cp1252(c.word)), c.file) << c.word;
}

}  // namespace
}  // namespace quipular
