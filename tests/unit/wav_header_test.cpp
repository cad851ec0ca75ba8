// The WAV header: the layout a player reads, and the sizes for data of either parity up to the
// largest a RIFF file can describe.
#include <gtest/gtest.h>

#include "speech/wav_header.h"

namespace {

// One second of the export's format, spelt out as a player reads it.
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

// The RIFF size counts what follows its own field, pad byte included; the data size never
// counts the pad. Both must fit 32 bits up to the limit.
TEST(WavHeader, SizesCountTheWholeFileAndPadOddData) {
    auto u32 = [](const std::array<std::uint8_t, kWavHeaderSize>& h, std::size_t at) {
        return h[at] | h[at + 1] << 8 | h[at + 2] << 16 | static_cast<std::uint64_t>(h[at + 3]) << 24;
    };
    const std::uint64_t sizes[] = {0, 1, 2, 32001, kMaxWavDataBytes - 1, kMaxWavDataBytes};
    for (std::uint64_t data : sizes) {
        SCOPED_TRACE(data);
        auto h = WavHeader(kPcm16kHz16BitMono, static_cast<std::uint32_t>(data));
        std::uint64_t fileLength = kWavHeaderSize + data + data % 2;
        EXPECT_EQ(u32(h, 4), fileLength - 8);
        EXPECT_EQ(u32(h, 40), data);
    }
    EXPECT_GT(kWavHeaderSize + kMaxWavDataBytes + 1 + WavPadBytes(kMaxWavDataBytes + 1) - 8, 0xFFFFFFFFull)
        << "one byte more would still fit: the limit is too low";
}

}  // namespace
