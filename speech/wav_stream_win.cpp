// The WAV file stream: samples go straight to the file behind a provisional header, so a file
// left by a crash still opens as a WAV of no samples; Close writes the final sizes.
#include "speech/wav_stream_win.h"

#include <mmsystem.h>

#include <algorithm>

// "The stream carries a WAVEFORMATEX", {C31ADBAE-527F-4FF5-A230-F62BB61FF70C}.
const GUID kWaveFormatExId = {0xc31adbae, 0x527f, 0x4ff5, {0xa2, 0x30, 0xf6, 0x2b, 0xb6, 0x1f, 0xf7, 0x0c}};

namespace {

HRESULT LastError() {
    DWORD e = GetLastError();
    return e ? HRESULT_FROM_WIN32(e) : E_FAIL;
}

}  // namespace

ComPtr<WavFileStream> WavFileStream::Create() {
    ComPtr<WavFileStream> stream;
    stream.Attach(new WavFileStream());
    return stream;
}

// The last reference may go with a file still open (the program ended mid-export): the file
// is completed all the same, as far as the disk lets it.
WavFileStream::~WavFileStream() {
    if (file_) FinishLocked();
}

void WavFileStream::SetFormat(const PcmFormat& format) {
    std::lock_guard<std::mutex> hold(lock_);
    nextFormat_ = format;
}

HRESULT WavFileStream::Open(const std::wstring& path) {
    std::lock_guard<std::mutex> hold(lock_);
    if (file_) {
        FinishLocked();
        file_.reset();
    }
    position_ = dataBytes_ = 0;
    audioExpected_ = false;
    fileFormat_ = nextFormat_;
    // Others may read the file while it grows (a player, a test); nobody may write it.
    UniqueFile file(CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return LastError();
    file_ = std::move(file);
    HRESULT hr = FinishLocked();
    if (FAILED(hr)) file_.reset();
    return hr;
}

HRESULT WavFileStream::Close() {
    std::lock_guard<std::mutex> hold(lock_);
    if (!file_) return S_OK;
    HRESULT hr = FinishLocked();
    file_.reset();
    return hr;
}

void WavFileStream::ExpectAudio() {
    std::lock_guard<std::mutex> hold(lock_);
    if (file_) audioExpected_ = true;
}

std::uint64_t WavFileStream::DataBytes() const {
    std::lock_guard<std::mutex> hold(lock_);
    return dataBytes_;
}

bool WavFileStream::AudioExpected() const {
    std::lock_guard<std::mutex> hold(lock_);
    return audioExpected_;
}

PcmFormat WavFileStream::FileFormat() const {
    std::lock_guard<std::mutex> hold(lock_);
    return fileFormat_;
}

HRESULT WavFileStream::WriteAt(std::uint64_t offset, const void* data, DWORD size) {
    LARGE_INTEGER at;
    at.QuadPart = static_cast<LONGLONG>(offset);
    if (!SetFilePointerEx(file_.get(), at, nullptr, FILE_BEGIN)) return LastError();
    DWORD done = 0;
    if (!WriteFile(file_.get(), data, size, &done, nullptr)) return LastError();
    return done == size ? S_OK : STG_E_MEDIUMFULL;
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
    std::lock_guard<std::mutex> hold(lock_);
    // A closed file is complete: a voice still pointing here must not grow it unseen.
    if (!file_) return STG_E_REVERTED;
    if (position_ + size > kMaxWavDataBytes) return STG_E_MEDIUMFULL;
    HRESULT hr = WriteAt(kWavHeaderSize + position_, data, size);
    if (FAILED(hr)) return hr;
    position_ += size;
    dataBytes_ = std::max(dataBytes_, position_);
    if (written) *written = size;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE WavFileStream::Seek(LARGE_INTEGER move, DWORD origin, ULARGE_INTEGER* position) {
    std::lock_guard<std::mutex> hold(lock_);
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
    std::lock_guard<std::mutex> hold(lock_);
    *stat = {};
    stat->type = STGTY_STREAM;
    stat->cbSize.QuadPart = dataBytes_;
    stat->grfMode = STGM_WRITE;
    return S_OK;
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
    {
        std::lock_guard<std::mutex> hold(lock_);
        f = file_ ? fileFormat_ : nextFormat_;
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
