#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "platform/TextConversion.h"
#include "textfiles/ImportDecoding.h"

namespace lq {
namespace {

// What every answer of the decoder must satisfy, whatever the input.
void ExpectWellFormed(const std::string& input, const ImportedText& result) {
    const auto encoding = static_cast<int32_t>(result.encoding);
    const auto error = static_cast<int32_t>(result.error);
    ASSERT_GE(encoding, 0);
    ASSERT_LE(encoding, 4);
    ASSERT_GE(error, 0);
    ASSERT_LE(error, 4);
    ASSERT_NE(result.error, ImportError::Unreadable);
    ASSERT_NE(result.error, ImportError::TooLarge);
    if (result.error != ImportError::None) {
        ASSERT_TRUE(result.text.empty()) << testing::PrintToString(input);
        return;
    }
    const std::string& text = result.text;
    ASSERT_EQ(text.find('\0'), std::string::npos) << testing::PrintToString(input);
    // Valid UTF-8: a round trip through UTF-16 changes nothing.
    ASSERT_EQ(Utf16ToUtf8(Utf8ToUtf16(text)), text) << testing::PrintToString(input);
    // Every line end is CR LF.
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r') {
            ASSERT_TRUE(i + 1 < text.size() && text[i + 1] == '\n') << testing::PrintToString(input);
        }
        if (text[i] == '\n') {
            ASSERT_TRUE(i > 0 && text[i - 1] == '\r') << testing::PrintToString(input);
        }
    }
    // Accepted UTF-8 equals what a conversion to UTF-16 and back would give.
    if (result.encoding == TextEncoding::Utf8 || result.encoding == TextEncoding::Utf8Bom) {
        const std::string body = result.encoding == TextEncoding::Utf8Bom ? input.substr(3) : input;
        ASSERT_EQ(text, NormalizeLineEndingsCrlf(Utf16ToUtf8(Utf8ToUtf16(body)))) << testing::PrintToString(input);
    }
    // Input without a mark that is printable ASCII comes back as it was.
    bool plainAscii = !input.empty();
    for (const char c : input) plainAscii = plainAscii && c >= 0x20 && c < 0x7F;
    if (plainAscii) {
        ASSERT_EQ(result.encoding, TextEncoding::Utf8);
        ASSERT_EQ(text, input);
    }
}

TEST(DecoderFuzzTest, RandomAndMutatedBuffersAlwaysGetTextOrAReason) {
    const std::vector<std::string> seeds = {
        "",
        "plain ascii\r\nline two\rline three\n",
        "\xEF\xBB\xBF\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E\r\n",
        "\xE3\x83\xA1\xE3\x83\xA2 \xF0\x9F\x93\x9D\n",
        std::string("\xFF\xFE\xE5\x65"
                    "a\0\r\0\n\0\x3D\xD8\xDD\xDC",
                    14),
        std::string("\xFE\xFF\x65\xE5\0a\0\r\0\n\xD8\x3D\xDC\xDD", 14),
        "\x93\xFA\x96\x7B\x8C\xEA\x82\xCC\x83\x81\x83\x82\r\n\x95\x5C\xB1\xB2\x87\x40",
    };
    std::mt19937 random(20261210);
    std::uniform_int_distribution<int> byte(0, 255);
    std::uniform_int_distribution<int> smallLength(0, 48);
    size_t refused = 0;
    size_t accepted = 0;
    for (int round = 0; round < 200000; ++round) {
        std::string buffer;
        if (round % 3 == 0) {
            // Random bytes, sometimes behind a mark.
            const int length = smallLength(random);
            for (int i = 0; i < length; ++i) buffer.push_back(static_cast<char>(byte(random)));
            static const char* const marks[] = {"", "\xEF\xBB\xBF", "\xFF\xFE", "\xFE\xFF"};
            buffer.insert(0, marks[round / 3 % 4]);
        } else {
            // A seed with a few bytes flipped, inserted, removed or the tail cut off.
            buffer = seeds[static_cast<size_t>(round) % seeds.size()];
            const int edits = 1 + byte(random) % 4;
            for (int e = 0; e < edits; ++e) {
                const size_t at = buffer.empty() ? 0 : static_cast<size_t>(byte(random)) % buffer.size();
                switch (byte(random) % 4) {
                    case 0:
                        if (!buffer.empty()) buffer[at] = static_cast<char>(byte(random));
                        break;
                    case 1:
                        buffer.insert(at, 1, static_cast<char>(byte(random)));
                        break;
                    case 2:
                        if (!buffer.empty()) buffer.erase(at, 1);
                        break;
                    default:
                        buffer.resize(at);
                        break;
                }
            }
        }
        const ImportedText result = DecodeTextBytes(buffer);
        ASSERT_NO_FATAL_FAILURE(ExpectWellFormed(buffer, result));
        (result.error == ImportError::None ? accepted : refused) += 1;
    }
    // The inputs reach both outcomes, or the test proves little.
    EXPECT_GT(accepted, 10000u);
    EXPECT_GT(refused, 10000u);
}

}  // namespace
}  // namespace lq
