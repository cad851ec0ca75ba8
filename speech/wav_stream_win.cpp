// The WAV file stream: samples go straight to a temporary file behind a provisional header;
// Close writes the final sizes and puts the file in its place.
#include "speech/wav_stream_win.h"

#include <mutex>

#include <mmsystem.h>

#include <algorithm>
#include <new>

#include "base/trace.h"

// "The stream carries a WAVEFORMATEX", {C31ADBAE-527F-4FF5-A230-F62BB61FF70C}.
const GUID kWaveFormatExId = {0xc31adbae, 0x527f, 0x4ff5, {0xa2, 0x30, 0xf6, 0x2b, 0xb6, 0x1f, 0xf7, 0x0c}};

namespace {

HRESULT LastError() {
    DWORD e = GetLastError();
    return e ? HRESULT_FROM_WIN32(e) : E_FAIL;
}

// The engine calls the COM methods on its own thread: an exception there (a lock that
// cannot be taken) becomes a failed call, never an unwinding through the engine. The engine
// learns only the code, so the reason goes to the trace.
template <typename F>
HRESULT Guarded(F call) noexcept {
    try {
        return call();
    } catch (const std::bad_alloc&) {
        TraceIgnored("WAV stream call");
        return E_OUTOFMEMORY;
    } catch (...) {
        TraceIgnored("WAV stream call");
        return E_UNEXPECTED;
    }
}

}  // namespace

ComPtr<WavFileStream> WavFileStream::Create() {
    ComPtr<WavFileStream> stream;
    stream.Attach(new WavFileStream());
    return stream;
}

// The last reference may go with a file still open (the program ended mid-export): the
// unfinished file goes with it, and the ReplacingFile member removes it.
WavFileStream::~WavFileStream() = default;

void WavFileStream::SetFormat(const PcmFormat& format) {
    std::lock_guard<SectionLock> hold(lock_);
    nextFormat_ = format;
}

HRESULT WavFileStream::Open(const std::wstring& path) {
    std::lock_guard<SectionLock> hold(lock_);
    file_.Discard();
    position_ = dataBytes_ = 0;
    writeError_ = S_OK;
    audioExpected_ = false;
    fileFormat_ = nextFormat_;
    if (DWORD e = file_.Create(path)) return HRESULT_FROM_WIN32(e);
    HRESULT hr = FinishLocked();
    if (FAILED(hr)) file_.Discard();
    return hr;
}

HRESULT WavFileStream::Close() {
    std::lock_guard<SectionLock> hold(lock_);
    if (!file_.Open()) return S_OK;
    HRESULT hr = FAILED(writeError_) ? writeError_ : FinishLocked();
    if (FAILED(hr)) {
        file_.Discard();
        return hr;
    }
    DWORD e = file_.Commit();
    return e ? HRESULT_FROM_WIN32(e) : S_OK;
}

void WavFileStream::Discard() {
    std::lock_guard<SectionLock> hold(lock_);
    file_.Discard();
}

void WavFileStream::ExpectAudio() {
    std::lock_guard<SectionLock> hold(lock_);
    if (file_.Open()) audioExpected_ = true;
}

std::uint64_t WavFileStream::DataBytes() const {
    std::lock_guard<SectionLock> hold(lock_);
    return dataBytes_;
}

bool WavFileStream::AudioExpected() const {
    std::lock_guard<SectionLock> hold(lock_);
    return audioExpected_;
}

PcmFormat WavFileStream::FileFormat() const {
    std::lock_guard<SectionLock> hold(lock_);
    return fileFormat_;
}

HRESULT WavFileStream::WriteAt(std::uint64_t offset, const void* data, DWORD size) {
    LARGE_INTEGER at;
    at.QuadPart = static_cast<LONGLONG>(offset);
    if (!SetFilePointerEx(file_.Handle(), at, nullptr, FILE_BEGIN)) return LastError();
    DWORD e = WriteWhole(file_.Handle(), data, size);
    return e ? HRESULT_FROM_WIN32(e) : S_OK;
}

// Pad byte for odd data, then the header for the data written so far.
HRESULT WavFileStream::FinishLocked() {
    if (WavPadBytes(dataBytes_)) {
        const std::uint8_t zero = 0;
        HRESULT hr = WriteAt(kWavHeaderSize + dataBytes_, &zero, 1);
        if (FAILED(hr)) return hr;
    }
    auto header = WavHeader(fileFormat_, static_cast<std::uint32_t>(dataBytes_));
    return WriteAt(0, header.data(), static_cast<DWORD>(header.size()));
}

HRESULT STDMETHODCALLTYPE WavFileStream::QueryInterface(REFIID iid, void** object) {
    if (!object) return E_POINTER;
    if (iid == __uuidof(IUnknown) || iid == __uuidof(ISequentialStream) || iid == __uuidof(IStream) ||
        iid == __uuidof(ISpStreamFormat)) {
        *object = static_cast<ISpStreamFormat*>(this);
        AddRef();
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

ULONG STDMETHODCALLTYPE WavFileStream::AddRef() { return ++refs_; }

ULONG STDMETHODCALLTYPE WavFileStream::Release() {
    ULONG left = --refs_;
    if (left == 0) delete this;
    return left;
}

HRESULT STDMETHODCALLTYPE WavFileStream::Read(void*, ULONG, ULONG* read) {
    if (read) *read = 0;
    return STG_E_ACCESSDENIED;
}

HRESULT STDMETHODCALLTYPE WavFileStream::Write(const void* data, ULONG size, ULONG* written) {
    if (written) *written = 0;
    if (!data && size) return STG_E_INVALIDPOINTER;
    return Guarded([&] {
        std::lock_guard<SectionLock> hold(lock_);
        // A closed file is complete: a voice still pointing here must not grow it unseen.
        if (!file_.Open()) return STG_E_REVERTED;
        // The engine may go on after a failed write; the file stays failed whatever follows.
        if (FAILED(writeError_)) return writeError_;
        HRESULT hr = position_ + size > kMaxWavDataBytes ? STG_E_MEDIUMFULL
                                                         : WriteAt(kWavHeaderSize + position_, data, size);
        if (FAILED(hr)) return writeError_ = hr;
        position_ += size;
        dataBytes_ = std::max(dataBytes_, position_);
        if (written) *written = size;
        return S_OK;
    });
}

HRESULT STDMETHODCALLTYPE WavFileStream::Seek(LARGE_INTEGER move, DWORD origin, ULARGE_INTEGER* position) {
    return Guarded([&] {
        std::lock_guard<SectionLock> hold(lock_);
        LONGLONG base;
        switch (origin) {
            case STREAM_SEEK_SET: base = 0; break;
            case STREAM_SEEK_CUR: base = static_cast<LONGLONG>(position_); break;
            case STREAM_SEEK_END: base = static_cast<LONGLONG>(dataBytes_); break;
            default: return STG_E_INVALIDFUNCTION;
        }
        LONGLONG target = base + move.QuadPart;
        if (target < 0) return STG_E_INVALIDFUNCTION;
        position_ = static_cast<std::uint64_t>(target);
        if (position) position->QuadPart = position_;
        return S_OK;
    });
}

HRESULT STDMETHODCALLTYPE WavFileStream::SetSize(ULARGE_INTEGER) { return E_NOTIMPL; }

HRESULT STDMETHODCALLTYPE WavFileStream::CopyTo(IStream*, ULARGE_INTEGER, ULARGE_INTEGER*, ULARGE_INTEGER*) {
    return E_NOTIMPL;
}

// Every write is already in the file; the header waits for Close.
HRESULT STDMETHODCALLTYPE WavFileStream::Commit(DWORD) { return S_OK; }

HRESULT STDMETHODCALLTYPE WavFileStream::Revert() { return E_NOTIMPL; }

HRESULT STDMETHODCALLTYPE WavFileStream::LockRegion(ULARGE_INTEGER, ULARGE_INTEGER, DWORD) {
    return STG_E_INVALIDFUNCTION;
}

HRESULT STDMETHODCALLTYPE WavFileStream::UnlockRegion(ULARGE_INTEGER, ULARGE_INTEGER, DWORD) {
    return STG_E_INVALIDFUNCTION;
}

HRESULT STDMETHODCALLTYPE WavFileStream::Stat(STATSTG* stat, DWORD) {
    if (!stat) return STG_E_INVALIDPOINTER;
    return Guarded([&] {
        std::lock_guard<SectionLock> hold(lock_);
        *stat = {};
        stat->type = STGTY_STREAM;
        stat->cbSize.QuadPart = dataBytes_;
        stat->grfMode = STGM_WRITE;
        return S_OK;
    });
}

HRESULT STDMETHODCALLTYPE WavFileStream::Clone(IStream** clone) {
    if (clone) *clone = nullptr;
    return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE WavFileStream::GetFormat(GUID* formatId, WAVEFORMATEX** waveFormat) {
    if (!formatId || !waveFormat) return E_POINTER;
    // The caller frees it with CoTaskMemFree.
    auto* wf = static_cast<WAVEFORMATEX*>(CoTaskMemAlloc(sizeof(WAVEFORMATEX)));
    if (!wf) return E_OUTOFMEMORY;
    PcmFormat f;
    HRESULT hr = Guarded([&] {
        std::lock_guard<SectionLock> hold(lock_);
        f = file_.Open() ? fileFormat_ : nextFormat_;
        return S_OK;
    });
    if (FAILED(hr)) {
        CoTaskMemFree(wf);
        return hr;
    }
    *wf = {};
    wf->wFormatTag = WAVE_FORMAT_PCM;
    wf->nChannels = f.channels;
    wf->nSamplesPerSec = f.samplesPerSec;
    wf->nAvgBytesPerSec = f.AvgBytesPerSec();
    wf->nBlockAlign = f.BlockAlign();
    wf->wBitsPerSample = f.bitsPerSample;
    *formatId = kWaveFormatExId;
    *waveFormat = wf;
    return S_OK;
}
