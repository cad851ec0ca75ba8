// The RIFF WAV layout of a PCM file: a 44-byte header (RIFF chunk, "fmt " chunk, "data" chunk
// header) followed by the samples. A file is written with a header whose sizes are filled in
// when the data is complete, so the header is built from the final data size.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

struct PcmFormat {
    std::uint32_t samplesPerSec;
    std::uint16_t channels;
    std::uint16_t bitsPerSample;

    std::uint16_t BlockAlign() const { return static_cast<std::uint16_t>(channels * bitsPerSample / 8); }
    std::uint32_t AvgBytesPerSec() const { return samplesPerSec * BlockAlign(); }
};

// What the WAV export writes, and what a file stream offers when nothing else was asked for.
constexpr PcmFormat kPcm16kHz16BitMono{16000, 1, 16};
constexpr PcmFormat kPcm22kHz16BitMono{22050, 1, 16};

constexpr std::size_t kWavHeaderSize = 44;

// RIFF sizes are 32-bit: the RIFF chunk counts "WAVE", the fmt chunk and the data chunk with
// its pad byte, so that is the most data a file can describe.
constexpr std::uint64_t kMaxWavDataBytes = 0xFFFFFFFFull - 36 - 1;

// A chunk of odd size is followed by a zero pad byte that its size does not count.
constexpr std::uint64_t WavPadBytes(std::uint64_t dataBytes) { return dataBytes & 1; }

// The header for dataBytes of samples (at most kMaxWavDataBytes) in the given format.
std::array<std::uint8_t, kWavHeaderSize> WavHeader(const PcmFormat& format, std::uint32_t dataBytes);
