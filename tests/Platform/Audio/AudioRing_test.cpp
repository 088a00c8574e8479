#include "Platform/Audio/AudioRing.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

using plat::CAudioConverter;
using plat::CAudioRing;

namespace
{
std::vector<int16_t> Convert(CAudioConverter& conv, const std::vector<uint8_t>& in)
{
    std::vector<int16_t> out(2 * conv.MaxOutputFrames(in.size()));
    out.resize(2 * conv.Convert(in.data(), in.size(), out.data()));
    return out;
}

std::vector<uint8_t> S16(const std::vector<int16_t>& samples)
{
    std::vector<uint8_t> bytes;
    for (int16_t s : samples)
    {
        bytes.push_back(static_cast<uint8_t>(s & 0xFF));
        bytes.push_back(static_cast<uint8_t>((s >> 8) & 0xFF));
    }
    return bytes;
}
} // namespace

TEST(CAudioConverter, DeviceRateInputBecomesStereo16)
{
    struct sCASE
    {
        int iChannels;
        bool bUnsigned8;
        std::vector<uint8_t> in;
        std::vector<int16_t> want;
    };
    const sCASE cases[] = {
        {2, false, S16({1, -1, 32767, -32768, 1234, -4321}), {1, -1, 32767, -32768, 1234, -4321}}, // as it is
        {2, false, S16({5, 6, 7}), {5, 6}}, // a trailing partial frame is ignored
        {1, false, S16({100, -200}), {100, 100, -200, -200}},
        {2, true, {128, 0, 255, 129}, {0, -32768, 32512, 256}},
    };
    for (const sCASE& c : cases)
    {
        CAudioConverter conv;
        conv.Configure(44100, c.iChannels, c.bUnsigned8);
        EXPECT_EQ(Convert(conv, c.in), c.want) << c.iChannels << (c.bUnsigned8 ? " u8" : " s16");
    }
}

TEST(CAudioConverter, HalfRateInterpolatesAcrossBlocks)
{
    const std::vector<int16_t> ramp = {0, 100, 200, 300, 400, 500, 600, 700};
    CAudioConverter whole;
    whole.Configure(22050, 1, false);
    std::vector<int16_t> one = Convert(whole, S16(ramp));

    CAudioConverter split;
    split.Configure(22050, 1, false);
    std::vector<int16_t> two = Convert(split, S16({0, 100, 200}));
    std::vector<int16_t> rest = Convert(split, S16({300, 400, 500, 600, 700}));
    two.insert(two.end(), rest.begin(), rest.end());

    EXPECT_EQ(one, two);
    // Every input frame and the midpoint after it, both channels equal.
    ASSERT_EQ(one.size(), 2u * 15);
    for (size_t i = 0; i < 15; ++i)
    {
        EXPECT_EQ(one[2 * i], static_cast<int16_t>(50 * i)) << i;
        EXPECT_EQ(one[2 * i + 1], one[2 * i]);
    }
}

TEST(CAudioConverter, QuarterRateGivesFourFramesPerInputFrame)
{
    CAudioConverter conv;
    conv.Configure(11025, 2, true);
    std::vector<uint8_t> in(size_t{2} * 1000, 200);
    size_t total = 0;
    for (int block = 0; block < 5; ++block)
        total += Convert(conv, in).size() / 2;
    // 5000 input frames; the last few wait for the next block.
    EXPECT_GE(total, 4u * 5000 - 4);
    EXPECT_LE(total, 4u * 5000);
}

TEST(CAudioRing, MixesQueuedFramesAndCountsUnderruns)
{
    CAudioRing ring;
    ring.Configure(8);
    std::vector<int32_t> acc(8, 0);
    EXPECT_EQ(ring.MixInto(acc.data(), 4), 0u);
    EXPECT_EQ(ring.Underruns(), 0u) << "nothing was ever queued";

    const int16_t frames[] = {10, 20, 30, 40, 50, 60};
    EXPECT_EQ(ring.Write(frames, 3, 100), 3u);
    acc.assign(8, 1);
    EXPECT_EQ(ring.MixInto(acc.data(), 4), 3u);
    EXPECT_EQ(acc, (std::vector<int32_t>{11, 21, 31, 41, 51, 61, 1, 1}));
    EXPECT_EQ(ring.Underruns(), 1u);
    EXPECT_EQ(ring.Queued(), 0u);
}

TEST(CAudioRing, WrapsAroundInOrder)
{
    CAudioRing ring;
    ring.Configure(4);
    std::vector<int32_t> acc(8, 0);
    int16_t next = 0;
    std::vector<int32_t> seen;
    for (int round = 0; round < 5; ++round)
    {
        int16_t frames[6];
        for (int16_t& s : frames)
            s = next++;
        ASSERT_EQ(ring.Write(frames, 3, 100), 3u);
        acc.assign(8, 0);
        ASSERT_EQ(ring.MixInto(acc.data(), 3), 3u);
        seen.insert(seen.end(), acc.begin(), acc.begin() + 6);
    }
    for (size_t i = 0; i < seen.size(); ++i)
        EXPECT_EQ(seen[i], static_cast<int32_t>(i));
}

TEST(CAudioRing, FullRingBlocksTheWriterUntilTheReaderTakesFrames)
{
    CAudioRing ring;
    ring.Configure(4);
    std::vector<int16_t> frames(size_t{2} * 10, 7);
    std::atomic<size_t> written{0};
    std::thread writer([&] { written = ring.Write(frames.data(), 10, 5000); });
    std::vector<int32_t> acc(size_t{2} * 4);
    size_t read = 0;
    while (read < 10)
    {
        read += ring.MixInto(acc.data(), 4);
        std::this_thread::yield();
    }
    writer.join();
    EXPECT_EQ(written.load(), 10u);
    EXPECT_EQ(ring.Queued(), 0u);
}

TEST(CAudioRing, WriterGivesUpOnAStalledReaderOrAbort)
{
    CAudioRing ring;
    ring.Configure(4);
    std::vector<int16_t> frames(size_t{2} * 10, 7);
    EXPECT_EQ(ring.Write(frames.data(), 10, 20), 4u) << "nobody reads: only what fits";

    std::atomic<size_t> written{99};
    std::thread writer([&] { written = ring.Write(frames.data(), 10, 60000); });
    ring.Abort();
    writer.join();
    EXPECT_EQ(written.load(), 0u);
    EXPECT_EQ(ring.Write(frames.data(), 1, 60000), 0u);
}
