#include "IByteChunk.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace
{
std::vector<unsigned char> Bytes(const IByteChunk& c)
{
    return std::vector<unsigned char>(c.Data(), c.Data() + c.Size());
}

// Out of line, so the compiler does not follow the test's constant sizes into branches the
// chunk never takes for them (and warn about those).
[[gnu::noinline]] bool AssignFromOwnStorage(IByteChunk& c, int offset, int size)
{
    return c.Assign(c.Data() + offset, size);
}
} // namespace

TEST(IByteChunk, PutsLittleEndianWhateverTheType)
{
    IByteChunk c;
    EXPECT_TRUE(c.Put(int32_t{0x70666674}));
    EXPECT_TRUE(c.Put(uint8_t{0xAB}));
    EXPECT_TRUE(c.Put(1.0));
    EXPECT_EQ(Bytes(c), (std::vector<unsigned char>{0x74, 0x66, 0x66, 0x70, 0xAB, 0, 0, 0, 0, 0, 0,
                                                    0xF0, 0x3F}));
}

TEST(IByteChunk, GetAnswersTheNextPositionOrMinusOne)
{
    IByteChunk c;
    c.Put(int32_t{-5});
    c.Put(2.5);
    int32_t i = 0;
    double d = 0.0;
    EXPECT_EQ(c.Get(&i, 0), 4);
    EXPECT_EQ(i, -5);
    EXPECT_EQ(c.Get(&d, 4), 12);
    EXPECT_EQ(d, 2.5);

    d = 9.0;
    EXPECT_EQ(c.Get(&d, 5), -1); // seven bytes left, eight needed
    EXPECT_EQ(d, 9.0);
    EXPECT_EQ(c.Get(&i, -1), -1);
    EXPECT_EQ(c.Get(&i, 12), -1);
    EXPECT_EQ(c.Get(&i, 1 << 30), -1);
}

TEST(IByteChunk, OneShortReadFailsEveryLaterRead)
{
    IByteChunk c;
    c.Put(int32_t{1});
    c.Put(uint8_t{2});
    int32_t a = 0, b = 77;
    uint8_t u = 0;
    int pos = c.Get(&a, 0);
    pos = c.Get(&b, pos); // only one byte left
    pos = c.Get(&u, pos);
    EXPECT_EQ(pos, -1);
    EXPECT_EQ(a, 1);
    EXPECT_EQ(b, 77);
    EXPECT_EQ(u, 0);
}

TEST(IByteChunk, SetSizeZeroesNewBytesAndClearEmpties)
{
    IByteChunk c;
    c.Put(int32_t{-1});
    EXPECT_TRUE(c.SetSize(8));
    EXPECT_EQ(Bytes(c), (std::vector<unsigned char>{0xFF, 0xFF, 0xFF, 0xFF, 0, 0, 0, 0}));
    EXPECT_TRUE(c.SetSize(2));
    EXPECT_EQ(c.Size(), 2);
    EXPECT_FALSE(c.SetSize(-1));
    EXPECT_EQ(c.Size(), 2);
    EXPECT_TRUE(c.SetSize(0));
    EXPECT_EQ(c.Size(), 0);
    c.Put(int32_t{3});
    c.Clear();
    EXPECT_EQ(c.Size(), 0);
}

TEST(IByteChunk, ReservedStorageIsReusedWithoutMoving)
{
    IByteChunk c;
    ASSERT_TRUE(c.Reserve(1000));
    c.Put(uint8_t{1});
    const unsigned char* first = c.Data();
    for (int i = 0; i < 124; ++i)
        c.Put(0.5);
    EXPECT_EQ(c.Data(), first);
    c.Clear();
    c.Put(uint8_t{1});
    EXPECT_EQ(c.Data(), first);
}

TEST(IByteChunk, RejectsBadRawArguments)
{
    IByteChunk c;
    EXPECT_FALSE(c.PutBytes(nullptr, 4));
    EXPECT_FALSE(c.PutBytes("abc", -1));
    EXPECT_TRUE(c.PutBytes("abc", 3));
    char out[4] = {};
    EXPECT_EQ(c.GetBytes(out, 3, 0), 3);
    EXPECT_EQ(c.GetBytes(out, 4, 0), -1);
    EXPECT_EQ(c.GetBytes(nullptr, 1, 0), -1);
    EXPECT_EQ(c.GetBytes(out, -1, 0), -1);
    EXPECT_STREQ(out, "abc");
}

TEST(IByteChunk, MovingLeavesTheSourceEmpty)
{
    IByteChunk a;
    a.Put(int32_t{42});
    IByteChunk b(std::move(a));
    EXPECT_EQ(b.Size(), 4);
    EXPECT_EQ(a.Size(), 0); // NOLINT: checking the moved-from state on purpose
    int32_t v = 0;
    EXPECT_EQ(a.Get(&v, 0), -1);
    a = std::move(b);
    EXPECT_EQ(a.Get(&v, 0), 4);
    EXPECT_EQ(v, 42);
}

TEST(IByteChunk, AssignTakesBytesFromAnywhereIncludingItsOwnStorage)
{
    IByteChunk c;
    const unsigned char outside[] = {1, 2, 3, 4, 5, 6};
    ASSERT_TRUE(c.Assign(outside, 6));
    EXPECT_EQ(Bytes(c), (std::vector<unsigned char>{1, 2, 3, 4, 5, 6}));
    const unsigned char* storage = c.Data();
    // Its own bytes, whole or from a later position: the storage stays where it is.
    ASSERT_TRUE(c.Assign(c.Data(), 6));
    EXPECT_EQ(Bytes(c), (std::vector<unsigned char>{1, 2, 3, 4, 5, 6}));
    ASSERT_TRUE(c.Assign(c.Data() + 2, 4));
    EXPECT_EQ(Bytes(c), (std::vector<unsigned char>{3, 4, 5, 6}));
    EXPECT_EQ(c.Data(), storage);
    // Bytes that would run past the end of its storage are refused, the content kept.
    EXPECT_FALSE(c.Assign(c.Data() + 1, 1 << 20));
    EXPECT_FALSE(c.Assign(nullptr, 1));
    EXPECT_EQ(Bytes(c), (std::vector<unsigned char>{3, 4, 5, 6}));
}

// Every range that starts inside the chunk's own storage: taken (moved to the front) exactly
// when it ends within the storage, refused with the content kept when it would run past its
// end, whatever the offset. The storage is the 64 bytes of a first reserve, all in use.
TEST(IByteChunk, AssignFromItsOwnStorageIsBoundedByWhatFollowsTheStart)
{
    constexpr int kStorage = 64;
    std::vector<unsigned char> original(kStorage);
    for (int i = 0; i < kStorage; ++i)
        original[static_cast<std::size_t>(i)] = static_cast<unsigned char>(i * 7 + 1);
    for (int offset = 0; offset < kStorage; ++offset)
        for (int size = 0; size <= kStorage + 1; ++size)
        {
            IByteChunk c;
            ASSERT_TRUE(c.Reserve(kStorage));
            ASSERT_TRUE(c.PutBytes(original.data(), kStorage));
            const unsigned char* storage = c.Data();
            const bool fits = size <= kStorage - offset;
            ASSERT_EQ(AssignFromOwnStorage(c, offset, size), fits) << offset << " + " << size;
            const auto from = original.begin() + offset;
            EXPECT_EQ(Bytes(c), fits ? std::vector<unsigned char>(from, from + size) : original)
                << offset << " + " << size;
            EXPECT_EQ(c.Data(), storage);
        }
}
