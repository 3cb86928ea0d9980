// The buffered tokenizer: what it accepts as numbers (the rules of formatted
// extraction), where it stops, and tokens across block boundaries.
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "StateSpaceFixture.h"
#include "statespace/LineStorage.h"
#include "statespace/TokenReader.h"

namespace {

struct Step {
  char op;  // 'i' readInt, 'd' readDouble, 's' readToken, 'e' atEnd
  bool ok;
  double number = 0;
  std::string token = {};
};

struct ReadCase {
  std::string input;
  std::vector<Step> steps;
};

void runSteps(const ScratchDir& dir, const ReadCase& c) {
  dir.write("input", c.input);
  TokenReader in;
  ASSERT_TRUE(in.open(dir.file("input").c_str()));
  for (std::size_t k = 0; k < c.steps.size(); ++k) {
    const Step& step = c.steps[k];
    SCOPED_TRACE(testing::Message() << "step " << k << " '" << step.op << "'");
    if (step.op == 'i') {
      int value = 0;
      ASSERT_EQ(in.readInt(value), step.ok);
      if (step.ok) {
        EXPECT_EQ(value, step.number);
      }
    } else if (step.op == 'd') {
      double value = 0;
      ASSERT_EQ(in.readDouble(value), step.ok);
      if (step.ok) {
        EXPECT_EQ(value, step.number);
      }
    } else if (step.op == 's') {
      std::string token;
      ASSERT_EQ(in.readToken(token), step.ok);
      if (step.ok) {
        EXPECT_EQ(token, step.token);
      }
    } else {
      EXPECT_EQ(in.atEnd(), step.ok);
    }
  }
}

TEST(TokenReader, NumbersAsFormattedExtractionReadsThem) {
  const ReadCase cases[] = {
      {"12x 7", {{'i', true, 12}, {'i', false}}},
      {"  +5\t-7\n\r\v\f", {{'i', true, 5}, {'i', true, -7}, {'e', true}}},
      {"+-1", {{'i', false}}},
      {"-", {{'i', false}}},
      {"2147483647 -2147483648 2147483648", {{'i', true, 2147483647}, {'i', true, -2147483648.0}, {'i', false}}},
      {"1.5", {{'i', true, 1}, {'d', true, 0.5}, {'e', true}}},
      {"1.5 .5 5. 1e3 1E-2 +2.5 -0 007", {{'d', true, 1.5}, {'d', true, 0.5}, {'d', true, 5},
                                          {'d', true, 1000}, {'d', true, 0.01}, {'d', true, 2.5},
                                          {'d', true, 0}, {'d', true, 7}}},
      {"1.2.3", {{'d', true, 1.2}, {'d', true, 0.3}}},
      {"0x10", {{'d', true, 0}, {'d', false}}},
      {"1e", {{'d', false}}},
      {"1e+ 5", {{'d', false}}},
      {".", {{'d', false}}},
      {".e5", {{'d', false}}},
      {"inf", {{'d', false}}},
      {"nan", {{'d', false}}},
      {"+-2.0", {{'d', false}}},
      {"1e400", {{'d', false}}},
      {"1e-400", {{'d', true, 0}}},
      {"", {{'e', true}, {'i', false}, {'d', false}, {'s', false}}},
      {"abc  def\n", {{'s', true, 0, "abc"}, {'s', true, 0, "def"}, {'s', false}, {'e', true}}},
  };
  for (const ReadCase& c : cases) {
    SCOPED_TRACE(c.input);
    ScratchDir dir;
    runSteps(dir, c);
  }
}

TEST(TokenReader, DecimalsRoundExactlyAsStrtod) {
  // Short decimals take a shortcut; every digit count and point position
  // around its limits must give the correctly rounded double, bit for bit.
  std::vector<std::string> texts = {"0.1", "0.3", "2.675", "-1.25", "5.", "123456789012345",
                                    "1.23456789012345", "0.0000000000000000000001",
                                    "0.00000000000000000000001", "9007199254740993",
                                    "1234567890123456789012", "-0.000"};
  unsigned long long seed = 12345;
  for (int k = 0; k < 4000; ++k) {
    seed = seed * 6364136223846793005ull + 1442695040888963407ull;
    const int length = 1 + static_cast<int>((seed >> 33) % 24);
    std::string digits;
    for (int d = 0; d < length; ++d) {
      seed = seed * 6364136223846793005ull + 1442695040888963407ull;
      digits += static_cast<char>('0' + (seed >> 40) % 10);
    }
    digits.insert(static_cast<std::size_t>((seed >> 20) % (length + 1)), ".");
    texts.push_back(digits == "." ? "0." : digits);
  }
  std::string input;
  for (const std::string& t : texts) input += t + "\n";
  ScratchDir dir;
  dir.write("input", input);
  TokenReader in;
  ASSERT_TRUE(in.open(dir.file("input").c_str()));
  for (const std::string& t : texts) {
    double value = 0;
    ASSERT_TRUE(in.readDouble(value)) << t;
    const double expected = std::strtod(t.c_str(), nullptr);
    EXPECT_EQ(std::memcmp(&value, &expected, sizeof value), 0) << t;
  }
}

TEST(TokenReader, TokensAcrossBlockBoundaries) {
  // Put the boundary of the first block at every position within the tokens.
  ScratchDir dir;
  const std::string tail = "12345 -6.25e+1 word 17";
  for (std::size_t lead = TokenReader::kBlockSize - tail.size(); lead <= TokenReader::kBlockSize; ++lead) {
    SCOPED_TRACE(lead);
    runSteps(dir, {std::string(lead, ' ') + tail,
                   {{'i', true, 12345}, {'d', true, -62.5}, {'s', true, 0, "word"}, {'i', true, 17}, {'e', true}}});
  }
}

TEST(TokenReader, TokensLongerThanABlock) {
  ScratchDir dir;
  const std::string zeros(TokenReader::kBlockSize * 5 / 2, '0');
  const std::string word(TokenReader::kBlockSize * 3, 'w');
  runSteps(dir, {zeros + "42 " + zeros + "1.5 " + word + " 3",
                 {{'i', true, 42}, {'d', true, 1.5}, {'s', true, 0, word}, {'i', true, 3}}});
}

TEST(LineStorage, ChunksHoldWholeLinesAndAreReleasedFromTheBottom) {
  const int big = static_cast<int>(LineStorage::kChunkEntries);
  // A full chunk, a small line, a line larger than a chunk, two empty lines.
  const int sizes[] = {big, 1, big + 5, 0, 0};
  double* rates[5];
  int* minor[5];
  LineStorage storage;
  storage.layout(5, sizes, rates, minor);
  EXPECT_EQ(storage.chunkCount(), 4u);
  EXPECT_EQ(storage.entryCount(), 2u * big + 6);
  for (int i = 0; i < 3; ++i) {
    // Every entry of every line is writable (the sanitizer checks the ends).
    for (int k = 0; k < sizes[i]; ++k) rates[i][k] = minor[i][k] = i;
  }
  storage.releaseLinesBelow(2);
  EXPECT_EQ(storage.entryCount(), static_cast<std::size_t>(big) + 5);
  EXPECT_EQ(rates[2][big + 4], 2.0);
  storage.releaseLinesBelow(5);
  EXPECT_EQ(storage.chunkCount(), 0u);
}

}  // namespace
