// The WAV header: the layout a player reads, and the sizes for data of every parity up to the
// largest a RIFF file can describe.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "speech/wav_header.h"

namespace {

std::uint32_t U32At(const std::array<std::uint8_t, kWavHeaderSize>& h, std::size_t at) {
    return h[at] | h[at + 1] << 8 | h[at + 2] << 16 | static_cast<std::uint32_t>(h[at + 3]) << 24;
}

// One second of the export's format, spelt out as a hex dump of a file a player accepts.
TEST(WavHeader, LaysOutOneSecondOf16kHzMonoAsPlayersReadIt) {
    const std::uint8_t expected[kWavHeaderSize] = {
        'R', 'I', 'F', 'F', 0x24, 0x7d, 0x00, 0x00, 'W', 'A', 'V', 'E',  // 36 + 32000
        'f', 'm', 't', ' ', 0x10, 0x00, 0x00, 0x00,                      // 16-byte PCM format
        0x01, 0x00, 0x01, 0x00,                                          // PCM, one channel
        0x80, 0x3e, 0x00, 0x00, 0x00, 0x7d, 0x00, 0x00,                  // 16000 Hz, 32000 bytes/s
        0x02, 0x00, 0x10, 0x00,                                          // 2-byte frames, 16 bits
        'd', 'a', 't', 'a', 0x00, 0x7d, 0x00, 0x00};                     // 32000 data bytes
    auto h = WavHeader(kPcm16kHz16BitMono, 32000);
    for (std::size_t i = 0; i < kWavHeaderSize; ++i) EXPECT_EQ(h[i], expected[i]) << "byte " << i;
}

// The RIFF size is what follows its own field: the file's length less 8, pad byte included;
// the data size never counts the pad.
TEST(WavHeader, SizesCountTheWholeFileAndPadOddData) {
    const std::uint64_t sizes[] = {0, 1, 2, 3, 32000, 0x7fffffff, kMaxWavDataBytes - 1, kMaxWavDataBytes};
    for (std::uint64_t data : sizes) {
        SCOPED_TRACE(data);
        auto h = WavHeader(kPcm16kHz16BitMono, static_cast<std::uint32_t>(data));
        std::uint64_t fileLength = kWavHeaderSize + data + WavPadBytes(data);
        EXPECT_EQ(U32At(h, 4), fileLength - 8);
        EXPECT_EQ(U32At(h, 40), data);
        EXPECT_EQ(WavPadBytes(data), data % 2);
    }
    // One byte more than the limit, padded, would not fit the RIFF size field.
    std::uint64_t over = kMaxWavDataBytes + 1;
    EXPECT_GT(kWavHeaderSize - 8 + over + WavPadBytes(over), 0xFFFFFFFFull);
}

TEST(WavHeader, DescribesEachFormatsFrames) {
    struct Case {
        PcmFormat format;
        std::uint32_t avgBytes;
        std::uint16_t blockAlign;
    } cases[] = {
        {kPcm16kHz16BitMono, 32000, 2},
        {kPcm22kHz16BitMono, 44100, 2},
        {{44100, 2, 16}, 176400, 4},
        {{8000, 1, 8}, 8000, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.format.samplesPerSec);
        auto h = WavHeader(c.format, 0);
        EXPECT_EQ(h[22] | h[23] << 8, c.format.channels);
        EXPECT_EQ(U32At(h, 24), c.format.samplesPerSec);
        EXPECT_EQ(U32At(h, 28), c.avgBytes);
        EXPECT_EQ(h[32] | h[33] << 8, c.blockAlign);
        EXPECT_EQ(h[34] | h[35] << 8, c.format.bitsPerSample);
    }
}

}  // namespace
