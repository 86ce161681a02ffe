// The bit writer: MSB-first order across word boundaries, MPEG-4 stuffing, and a hard
// stop at the end of the buffer.
#include "txHost/devices/BitWriter.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "EncoderTestPictures.h"

using tx::mpeg4::BitWriter;
using tx::test::Bits;
using tx::test::BitString;

namespace
{

std::string Written(BitWriter &writer, std::vector<uint8_t> &buffer)
{
    const uint64_t bits = writer.GetBitCount();
    writer.GetByteCount();
    return BitString(buffer.data(), static_cast<size_t>(bits));
}

} // namespace

TEST(BitWriter, WritesFieldsMostSignificantBitFirstAcrossWords)
{
    struct Case
    {
        std::vector<std::pair<unsigned, uint32_t>> fields;
        const char *bits;
    } cases[] = {
        {{{1, 1}}, "1"},
        {{{0, 0}, {3, 5}}, "101"},
        {{{32, 0x80000001u}}, "10000000 00000000 00000000 00000001"},
        {{{30, 0}, {4, 0xF}}, "00000000 00000000 00000000 000000 1111"}, // straddles a word
        {{{31, 0}, {32, 0xFFFFFFFFu}, {1, 0}}, "0000000000000000000000000000000 11111111111111111111111111111111 0"},
        {{{3, 0xFF}}, "111"}, // bits above n are ignored
        {{{16, 0x1234}, {16, 0x5678}, {8, 0x9A}}, "0001001000110100 0101011001111000 10011010"},
    };
    for (const Case &c : cases)
    {
        std::vector<uint8_t> buffer(16, 0xCC);
        BitWriter writer;
        writer.Reset(buffer.data(), buffer.size());
        for (const auto &[n, value] : c.fields)
        {
            writer.PutBits(n, value);
        }
        EXPECT_EQ(Written(writer, buffer), Bits(c.bits)) << c.bits;
    }
}

TEST(BitWriter, GetByteCountCountsThePartialByteWithoutAdvancing)
{
    std::vector<uint8_t> buffer(8, 0);
    BitWriter writer;
    writer.Reset(buffer.data(), buffer.size());
    EXPECT_EQ(writer.GetByteCount(), 0u);
    writer.PutBits(9, 0x1FF);
    EXPECT_EQ(writer.GetByteCount(), 2u);
    writer.PutBits(23, 0);
    EXPECT_EQ(writer.GetByteCount(), 4u);
    writer.PutBit(1);
    EXPECT_EQ(writer.GetByteCount(), 5u);
    EXPECT_EQ(BitString(buffer.data(), 33), Bits("111111111 00000000000000000000000 1"));
}

TEST(BitWriter, AlignToByteWritesOneStandardStuffingBeforeAStartCode)
{
    struct Case
    {
        unsigned bitsBefore;
        const char *stuffing;
    } cases[] = {
        {0, ""},                                                   // a fresh writer needs none
        {1, "0111 111"},   {5, "011"}, {7, "0"}, {8, "0111 1111"}, // already aligned: a whole byte
        {32, "0111 1111"},
    };
    for (const Case &c : cases)
    {
        std::vector<uint8_t> buffer(16, 0);
        BitWriter writer;
        writer.Reset(buffer.data(), buffer.size());
        writer.PutZeroBits(c.bitsBefore);
        writer.AlignToByte();
        writer.AlignToByte(); // a second call adds nothing
        const std::string written = Written(writer, buffer);
        EXPECT_EQ(written.substr(c.bitsBefore), Bits(c.stuffing)) << c.bitsBefore;
        EXPECT_EQ(written.size() % 8, 0u);
    }
}

TEST(BitWriter, NeverWritesPastTheBufferAndReportsIt)
{
    std::vector<uint8_t> memory(12, 0xAB);
    BitWriter writer;
    writer.Reset(memory.data() + 4, 5); // 4 guard bytes each side, 5 usable
    for (int i = 0; i < 10; ++i)
    {
        writer.PutBits(32, 0);
    }
    EXPECT_TRUE(writer.HasOverflowed());
    EXPECT_LE(writer.GetByteCount(), 5u);
    for (int i : {0, 1, 2, 3, 9, 10, 11})
    {
        EXPECT_EQ(memory[i], 0xAB) << i;
    }

    BitWriter exact;
    exact.Reset(memory.data() + 4, 5);
    exact.PutBits(32, 0);
    exact.PutBits(8, 0);
    EXPECT_EQ(exact.GetByteCount(), 5u);
    EXPECT_FALSE(exact.HasOverflowed());
}
