// A WAV file as a SAPI output stream of our own. A voice given it with ISpVoice::SetOutput
// writes raw samples into it, in the format its ISpStreamFormat::GetFormat names; the stream
// keeps them in a RIFF WAV file whose header it completes on Close. SAPI's own file stream
// (SpFileStream) cannot bind to a file under Wine 10, and the program uses this one on Windows
// too, so one code path is tested.
//
// The file is written under a temporary name beside its target and replaces the target only
// when Close finds it complete, so an export that fails or is cancelled leaves an existing file
// as it was. The first write that fails (a full disk) fails the file: Close reports it.
//
// The program drives the file (SetFormat, Open, Close, Discard) on its own thread while the
// voice writes from the engine's thread, so every member is guarded by one lock. COM methods
// answer with HRESULTs and never throw.
#pragma once

#include <windows.h>

#include <sapi.h>

#include <atomic>
#include <cstdint>
#include <string>

#include "speech/wav_header.h"
#include "win/com.h"
#include "win/files_win.h"
#include "win/handles.h"

class WavFileStream final : public ISpStreamFormat {
public:
    // A stream with no file open, offering 22 kHz 16-bit mono as SAPI's file stream does.
    static ComPtr<WavFileStream> Create();

    // The format of the next file opened; a file already open keeps its own.
    void SetFormat(const PcmFormat& format);
    // Starts a file that will replace this one, behind a header for no data. A file still open
    // is discarded first. HRESULT_FROM_WIN32 of the system's reason on failure.
    HRESULT Open(const std::wstring& path);
    // Completes the header with the data's size and puts the file in place; S_OK when none is
    // open. A write that failed on the way, or a failure now, fails it: the unfinished file
    // goes and the target stays as it was. Later writes fail until the next Open.
    HRESULT Close();
    // Drops the open file unfinished; the target stays as it was.
    void Discard();
    // Notes that a voice was asked to speak text into the open file.
    void ExpectAudio();
    // The samples of the open file, or of the last one closed, and whether text was spoken
    // into it: text that left no samples means the voice could not write in this format.
    std::uint64_t DataBytes() const;
    bool AudioExpected() const;
    PcmFormat FileFormat() const;

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;
    // ISequentialStream: the stream is write-only.
    HRESULT STDMETHODCALLTYPE Read(void* buffer, ULONG size, ULONG* read) override;
    HRESULT STDMETHODCALLTYPE Write(const void* data, ULONG size, ULONG* written) override;
    // IStream: positions count from the first sample, as they do in SAPI's file stream.
    HRESULT STDMETHODCALLTYPE Seek(LARGE_INTEGER move, DWORD origin, ULARGE_INTEGER* position) override;
    HRESULT STDMETHODCALLTYPE SetSize(ULARGE_INTEGER size) override;
    HRESULT STDMETHODCALLTYPE CopyTo(IStream* target, ULARGE_INTEGER size, ULARGE_INTEGER* read,
                                     ULARGE_INTEGER* written) override;
    HRESULT STDMETHODCALLTYPE Commit(DWORD flags) override;
    HRESULT STDMETHODCALLTYPE Revert() override;
    HRESULT STDMETHODCALLTYPE LockRegion(ULARGE_INTEGER offset, ULARGE_INTEGER size, DWORD type) override;
    HRESULT STDMETHODCALLTYPE UnlockRegion(ULARGE_INTEGER offset, ULARGE_INTEGER size, DWORD type) override;
    HRESULT STDMETHODCALLTYPE Stat(STATSTG* stat, DWORD flags) override;
    HRESULT STDMETHODCALLTYPE Clone(IStream** clone) override;
    // ISpStreamFormat: SPDFID_WaveFormatEx with a PCM WAVEFORMATEX.
    HRESULT STDMETHODCALLTYPE GetFormat(GUID* formatId, WAVEFORMATEX** waveFormat) override;

private:
    WavFileStream() = default;
    ~WavFileStream();
    WavFileStream(const WavFileStream&) = delete;
    WavFileStream& operator=(const WavFileStream&) = delete;

    HRESULT WriteAt(std::uint64_t offset, const void* data, DWORD size);
    HRESULT FinishLocked();

    std::atomic<ULONG> refs_{1};
    mutable SectionLock lock_;
    PcmFormat nextFormat_ = kPcm22kHz16BitMono;
    PcmFormat fileFormat_ = kPcm22kHz16BitMono;
    ReplacingFile file_;
    HRESULT writeError_ = S_OK;   // the first write that failed in the open file
    std::uint64_t position_ = 0;  // from the first sample
    std::uint64_t dataBytes_ = 0;
    bool audioExpected_ = false;
};

// SPDFID_WaveFormatEx, which MinGW declares but no library defines.
extern const GUID kWaveFormatExId;
