// The WAV header, written byte by byte in little-endian order whatever the host's order.
#include "speech/wav_header.h"

#include <cstring>

namespace {

struct Writer {
    std::uint8_t* p;
    void Tag(const char (&tag)[5]) {
        std::memcpy(p, tag, 4);
        p += 4;
    }
    void U16(std::uint16_t v) {
        *p++ = static_cast<std::uint8_t>(v);
        *p++ = static_cast<std::uint8_t>(v >> 8);
    }
    void U32(std::uint32_t v) {
        U16(static_cast<std::uint16_t>(v));
        U16(static_cast<std::uint16_t>(v >> 16));
    }
};

constexpr std::uint16_t kFormatPcm = 1;
constexpr std::uint32_t kFmtChunkSize = 16;  // PCM has no extension bytes

}  // namespace

std::array<std::uint8_t, kWavHeaderSize> WavHeader(const PcmFormat& format, std::uint32_t dataBytes) {
    std::array<std::uint8_t, kWavHeaderSize> h{};
    Writer w{h.data()};
    w.Tag("RIFF");
    w.U32(static_cast<std::uint32_t>(kWavHeaderSize - 8 + dataBytes + WavPadBytes(dataBytes)));
    w.Tag("WAVE");
    w.Tag("fmt ");
    w.U32(kFmtChunkSize);
    w.U16(kFormatPcm);
    w.U16(format.channels);
    w.U32(format.samplesPerSec);
    w.U32(format.AvgBytesPerSec());
    w.U16(format.BlockAlign());
    w.U16(format.bitsPerSample);
    w.Tag("data");
    w.U32(dataBytes);
    return h;
}
